#include "app/drive_mapping.h"

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/login_dialog.h"
#include "app/windows_version.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

constexpr int kNtAttempts = 6;

DWORD SystemAddConnection(NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
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

// PrepareMapping has switched the login dialog to the share user.
void PromptShareUser(HWND owner)
{
    RunLoginDialog(owner, adminLoginMode);
}

Seam<MappingSystem> mappingSystem{
    {SystemAddConnection, SystemCancelConnection, SystemGetUser, DescribeWindowsVersion, QueryDomain, PromptShareUser}};

bool Connect(NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    return mappingSystem->addConnection(resource, password, user, flags) == NO_ERROR;
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

bool ConnectVolume(HWND owner, const char* server, const char* volume, const char* localName)
{
    char version[64] = {};
    int code = 0;
    mappingSystem->describeVersion(version, sizeof version, &code);

    std::string remote = std::string("\\\\") + server + "\\" + volume;
    std::string local = localName;
    // Whatever used the letter goes first; for a free letter this fails harmlessly.
    mappingSystem->cancelConnection(local.c_str(), CONNECT_UPDATE_PROFILE, TRUE);

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
        for (int attempt = 0; attempt < kNtAttempts; ++attempt) {
            if (Connect(&resource, password, user, CONNECT_UPDATE_PROFILE))
                return true;
        }
        return false;
    }

    // First the logged-on user within the device's domain, or no credentials at all.
    protocolSession.domainValue[0] = '\0';
    mappingSystem->queryDomain();
    const char* domain = protocolSession.domainValue;
    bool connected;
    if (domain[0]) {
        char windowsUser[260] = {};
        DWORD length = sizeof windowsUser;
        if (mappingSystem->getUser(nullptr, windowsUser, &length) != NO_ERROR)
            windowsUser[0] = '\0';
        windowsUser[sizeof windowsUser - 1] = '\0';
        connected = Connect(&resource, nullptr, QualifiedUser(domain, windowsUser).c_str(), CONNECT_UPDATE_PROFILE);
    } else {
        connected = Connect(&resource, "", "", CONNECT_UPDATE_PROFILE);
    }
    if (connected)
        return true;

    // Version 6 systems ask for credentials themselves; the others ask through ours.
    if (std::strstr(version, "Vista"))
        return Connect(&resource, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE);
    mappingSystem->prompt(owner);
    return Connect(&resource, password, QualifiedUser(domain, user).c_str(), CONNECT_UPDATE_PROFILE);
}

bool DisconnectDrive(const char* localName)
{
    return mappingSystem->cancelConnection(localName, CONNECT_UPDATE_PROFILE, TRUE) == NO_ERROR;
}
