#include "app/mapping/volume_connection.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "app/mapping/windows_version.h"
#include "protocol.h"

namespace {

constexpr int kNtAttempts = 6;

// An interactive try names the window that owns the system's credentials prompt, so
// that the prompt is modal to it instead of floating free.
DWORD SystemAddConnection(HWND owner, NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    if (owner)
        return WNetAddConnection3A(owner, resource, password, user, flags);
    return WNetAddConnection2A(resource, password, user, flags);
}

DWORD SystemCancelConnection(const char* name, DWORD flags, BOOL force)
{
    return WNetCancelConnection2A(name, flags, force);
}

DWORD SystemGetUser(const char* name, char* user, DWORD* length)
{
    return WNetGetUserA(name, user, length);
}

bool FormatSystemMessage(DWORD flags, HMODULE source, DWORD error, char* text, DWORD capacity)
{
    return FormatMessageA(flags | FORMAT_MESSAGE_IGNORE_INSERTS, source, error, 0, text, capacity, nullptr) > 0;
}

// The provider's own text when it reported an extended error; the system's message
// for the code otherwise, in the user's language. An NTSTATUS that a provider passed
// on as it was (0xC...) has its text in ntdll's table, not the system's.
bool SystemErrorText(DWORD error, char* text, DWORD capacity)
{
    if (error == ERROR_EXTENDED_ERROR) {
        DWORD providerError = 0;
        char provider[128] = {};
        if (WNetGetLastErrorA(&providerError, text, capacity, provider, sizeof provider) == NO_ERROR && text[0])
            return true;
    }
    if (FormatSystemMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error, text, capacity))
        return true;
    return (error & 0xC0000000) == 0xC0000000 &&
           FormatSystemMessage(FORMAT_MESSAGE_FROM_HMODULE, GetModuleHandleA("ntdll.dll"), error, text, capacity);
}

// "domain\user", or the user alone without a domain.
std::string QualifiedUser(const char* domain, const char* user)
{
    return domain[0] ? std::string(domain) + "\\" + user : std::string(user);
}

}  // namespace

MappingSystem SystemMappingCalls(std::function<void(HWND owner)> prompt)
{
    return {SystemAddConnection, SystemCancelConnection, SystemGetUser,  DescribeWindowsVersion,
            QueryDomain,         std::move(prompt),      SystemErrorText};
}

DWORD ConnectVolume(const MappingSystem& system, HWND owner, const char* server, const char* volume,
                    const char* localName)
{
    auto connect = [&system](NETRESOURCEA* resource, const char* password, const char* user, DWORD flags,
                             HWND interactiveOwner = nullptr) {
        return system.addConnection(interactiveOwner, resource, password, user, flags);
    };
    char version[64] = {};
    int code = 0;
    system.describeVersion(version, sizeof version, &code);

    std::string remote = std::string("\\\\") + server + "\\" + volume;
    std::string local = localName;
    // Whatever used the letter goes first; for a free letter this fails harmlessly.
    system.cancelConnection(local.c_str(), CONNECT_UPDATE_PROFILE, TRUE);

    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = &local[0];
    resource.lpRemoteName = &remote[0];
    resource.lpProvider = nullptr;

    const char* password = protocolSession.adminPassword;
    const char* user = protocolSession.adminUser;
    if (std::strstr(version, "NT")) {
        // NT 4 has no way to find the user itself: ask, then insist a few times.
        system.prompt(owner);
        DWORD error = NO_ERROR;
        for (int attempt = 0; attempt < kNtAttempts; ++attempt) {
            error = connect(&resource, password, user, CONNECT_UPDATE_PROFILE);
            if (error == NO_ERROR)
                break;
        }
        return error;
    }

    // First the logged-on user within the device's domain, or no credentials at all.
    protocolSession.domainValue[0] = '\0';
    system.queryDomain();
    const char* domain = protocolSession.domainValue;
    DWORD error;
    if (domain[0]) {
        char windowsUser[260] = {};
        DWORD length = sizeof windowsUser;
        if (system.getUser(nullptr, windowsUser, &length) != NO_ERROR)
            windowsUser[0] = '\0';
        windowsUser[sizeof windowsUser - 1] = '\0';
        error = connect(&resource, nullptr, QualifiedUser(domain, windowsUser).c_str(), CONNECT_UPDATE_PROFILE);
    } else {
        error = connect(&resource, "", "", CONNECT_UPDATE_PROFILE);
    }
    if (error == NO_ERROR)
        return NO_ERROR;

    // Version 6 systems ask for credentials themselves; the others ask through ours.
    if (std::strstr(version, "Vista"))
        return connect(&resource, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE, owner);
    system.prompt(owner);
    return connect(&resource, password, QualifiedUser(domain, user).c_str(), CONNECT_UPDATE_PROFILE);
}

std::string DescribeMappingError(const MappingSystem& system, DWORD error)
{
    char text[512] = {};
    if (system.errorText(error, text, sizeof text)) {
        std::string reason = text;
        // The system's messages end in a line end, some in a blank as well.
        while (!reason.empty() && std::strchr("\r\n ", reason.back()))
            reason.pop_back();
        if (!reason.empty())
            return reason;
    }
    // Without a text, the number the user can look up: Win32 codes in decimal, as
    // Windows prints them; an NTSTATUS in hexadecimal.
    char number[32];
    std::snprintf(number, sizeof number, (error & 0xC0000000) == 0xC0000000 ? "Error 0x%08lX." : "Error %lu.",
                  static_cast<unsigned long>(error));
    return number;
}

DWORD DisconnectDrive(const MappingSystem& system, const char* localName)
{
    return system.cancelConnection(localName, CONNECT_UPDATE_PROFILE, TRUE);
}
