// Connecting a volume of a device to a drive letter, and disconnecting a letter, with
// the system's networking functions, without a window: the utility
// (app/drive_mapping.h) and kavronctl give the calls, each with its own prompt. The way
// a connection is tried depends on the Windows version: NT 4 asks for a share user
// first and tries up to six times; version 6 systems let the system ask on the second
// try, in a prompt owned by the caller's window; the others try the device's domain
// with the logged-on user, then ask and try once more. The messages are the caller's;
// the system's reason for a failure is DescribeMappingError's.
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <cstddef>
#include <functional>
#include <string>

// The calls the mapping makes. SystemMappingCalls gives the real ones; a front end
// wraps them (the utility runs each on a worker, kavronctl answers on the console) and
// tests play a network provider, a Windows version, the device's domain and a user.
struct MappingSystem {
    // owner: the window of the system's credentials prompt (interactive tries), else null.
    std::function<DWORD(HWND owner, NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)>
        addConnection;
    std::function<DWORD(const char* name, DWORD flags, BOOL force)> cancelConnection;
    std::function<DWORD(const char* name, char* user, DWORD* length)> getUser;
    std::function<bool(char* text, size_t capacity, int* code)> describeVersion;
    std::function<int()> queryDomain;        // fills protocolSession.domainValue
    std::function<void(HWND owner)> prompt;  // asks for a share user into protocolSession
    // The system's text for a failed connection's error; false when it has none.
    std::function<bool(DWORD error, char* text, DWORD capacity)> errorText;
};
// The system's own calls, with the given prompt for a share user.
MappingSystem SystemMappingCalls(std::function<void(HWND owner)> prompt);

// Maps \\server\volume to localName ("Y:") through system's calls, dropping whatever
// used that letter first. NO_ERROR when the connection was made, else the error of the
// last try. owner owns the prompts.
DWORD ConnectVolume(const MappingSystem& system, HWND owner, const char* server, const char* volume,
                    const char* localName);

// Windows' own words for a mapping error (system's errorText), on one or more lines
// without a trailing line end, so that the user can act on it; "Error N." when the
// system has none. Read at once: a provider's extended error lasts until the thread's
// next networking call.
std::string DescribeMappingError(const MappingSystem& system, DWORD error);

// Drops the connection of localName, even with files open: the system's answer.
DWORD DisconnectDrive(const MappingSystem& system, const char* localName);
