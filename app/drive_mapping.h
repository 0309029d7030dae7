// Connecting a volume of the selected device to a drive letter, and disconnecting a
// letter, with the system's networking functions. The way a connection is tried
// depends on the Windows version: NT 4 asks for a share user first and tries up to
// six times; version 6 systems let the system ask on the second try, in a prompt owned
// by the caller's window; the others try the device's domain with the logged-on user,
// then ask and try once more. The messages are the caller's; the system's reason for
// a failure is DescribeMappingError's.
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <cstddef>
#include <string>

// The calls the mapping makes. The program uses the real ones; tests play a network
// provider, a Windows version, the device's domain and a user.
struct MappingSystem {
    // owner: the window of the system's credentials prompt (interactive tries), else null.
    DWORD (*addConnection)(HWND owner, NETRESOURCEA* resource, const char* password, const char* user, DWORD flags);
    DWORD (*cancelConnection)(const char* name, DWORD flags, BOOL force);
    DWORD (*getUser)(const char* name, char* user, DWORD* length);
    bool (*describeVersion)(char* text, size_t capacity, int* code);
    int (*queryDomain)();        // fills protocolSession.domainValue
    void (*prompt)(HWND owner);  // the login dialog for a share user
    // The system's text for a failed connection's error; false when it has none.
    bool (*errorText)(DWORD error, char* text, DWORD capacity);
};
MappingSystem SetMappingSystem(const MappingSystem& system);  // returns the previous one

// Empties the share credentials and switches the login dialog to the share user.
void PrepareMapping();

// Maps \\server\volume to localName ("Y:"), dropping whatever used that letter first.
// NO_ERROR when the connection was made, else the error of the last try, and in
// *reason (when given) DescribeMappingError's text for it, read where the try was
// made. The system's calls run off owner's thread (framework/busy.h), the login
// dialog on it.
DWORD ConnectVolume(HWND owner, const char* server, const char* volume, const char* localName,
                    std::string* reason = nullptr);

// Windows' own words for a mapping error, on one or more lines without a trailing line
// end, so that the user can act on it; "Error N." when the system has none.
std::string DescribeMappingError(DWORD error);

// Drops the connection of localName, even with files open. True on success.
bool DisconnectDrive(const char* localName);

// The same three through the given calls rather than the utility's (volume_connection.cpp,
// no window code: kavronctl links it with a prompt of its own).
MappingSystem SystemMappingCalls(void (*prompt)(HWND owner));  // the real calls
DWORD ConnectVolumeWith(const MappingSystem& system, HWND owner, const char* server, const char* volume,
                        const char* localName);
std::string DescribeMappingErrorWith(const MappingSystem& system, DWORD error);
DWORD DisconnectDriveWith(const MappingSystem& system, const char* localName);  // the system's answer
