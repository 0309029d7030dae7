#include "app/drive_mapping.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/login_dialog.h"
#include "app/windows_version.h"
#include "framework/busy.h"
#include "framework/seam.h"
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

// PrepareMapping has switched the login dialog to the share user.
void PromptShareUser(HWND owner)
{
    RunLoginDialog(owner, adminLoginMode);
}

Seam<MappingSystem> mappingSystem{{SystemAddConnection, SystemCancelConnection, SystemGetUser, DescribeWindowsVersion,
                                   QueryDomain, PromptShareUser, SystemErrorText}};

// Tries to connect up to `attempts` times, off the window's thread. A provider's
// extended error belongs to the thread that made the call and lasts until its next
// networking call: the reason of a failure is read in the same step. promptOwner
// names the window of the system's credentials prompt (an interactive try); the
// prompt then belongs to the worker, its owner to the window's thread.
DWORD Connect(HWND owner, std::string* reason, NETRESOURCEA* resource, const char* password, const char* user,
              DWORD flags, int attempts = 1, HWND promptOwner = nullptr)
{
    return RunBusy(owner, [&] {
        DWORD error = NO_ERROR;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            error = mappingSystem->addConnection(promptOwner, resource, password, user, flags);
            if (error == NO_ERROR)
                break;
        }
        if (reason)
            *reason = error == NO_ERROR ? std::string() : DescribeMappingError(error);
        return error;
    });
}

// "domain\user", or the user alone without a domain.
std::string QualifiedUser(const char* domain, const char* user)
{
    return domain[0] ? std::string(domain) + "\\" + user : std::string(user);
}

}  // namespace

MappingSystem SetMappingSystem(const MappingSystem& system)
{
    return mappingSystem.Replace(system);
}

void PrepareMapping()
{
    std::memset(protocolSession.adminUser, 0, 16);
    std::memset(protocolSession.adminPassword, 0, 16);
    adminLoginMode = 0;
}

DWORD ConnectVolume(HWND owner, const char* server, const char* volume, const char* localName, std::string* reason)
{
    char version[64] = {};
    int code = 0;
    mappingSystem->describeVersion(version, sizeof version, &code);

    std::string remote = std::string("\\\\") + server + "\\" + volume;
    std::string local = localName;
    // Whatever used the letter goes first; for a free letter this fails harmlessly.
    RunBusy(owner, [&] { mappingSystem->cancelConnection(local.c_str(), CONNECT_UPDATE_PROFILE, TRUE); });

    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = &local[0];
    resource.lpRemoteName = &remote[0];
    resource.lpProvider = nullptr;

    const char* password = protocolSession.adminPassword;
    const char* user = protocolSession.adminUser;
    if (std::strstr(version, "NT")) {
        // NT 4 has no way to find the user itself: ask, then insist a few times.
        mappingSystem->prompt(owner);
        return Connect(owner, reason, &resource, password, user, CONNECT_UPDATE_PROFILE, kNtAttempts);
    }

    // First the logged-on user within the device's domain, or no credentials at all.
    protocolSession.domainValue[0] = '\0';
    const char* domain = protocolSession.domainValue;
    char windowsUser[260] = {};
    RunBusy(owner, [&] {
        mappingSystem->queryDomain();
        DWORD length = sizeof windowsUser;
        if (domain[0] && mappingSystem->getUser(nullptr, windowsUser, &length) != NO_ERROR)
            windowsUser[0] = '\0';
        windowsUser[sizeof windowsUser - 1] = '\0';
    });
    const DWORD error = domain[0] ? Connect(owner, reason, &resource, nullptr,
                                            QualifiedUser(domain, windowsUser).c_str(), CONNECT_UPDATE_PROFILE)
                                  : Connect(owner, reason, &resource, "", "", CONNECT_UPDATE_PROFILE);
    if (error == NO_ERROR)
        return NO_ERROR;

    // Version 6 systems ask for credentials themselves; the others ask through ours.
    if (std::strstr(version, "Vista"))
        return Connect(owner, reason, &resource, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE, 1, owner);
    mappingSystem->prompt(owner);
    return Connect(owner, reason, &resource, password, QualifiedUser(domain, user).c_str(), CONNECT_UPDATE_PROFILE);
}

std::string DescribeMappingError(DWORD error)
{
    char text[512] = {};
    if (mappingSystem->errorText(error, text, sizeof text)) {
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

bool DisconnectDrive(const char* localName)
{
    return mappingSystem->cancelConnection(localName, CONNECT_UPDATE_PROFILE, TRUE) == NO_ERROR;
}
