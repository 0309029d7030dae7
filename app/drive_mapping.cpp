#include "app/drive_mapping.h"

#include <cstring>

#include "app/app_state.h"
#include "app/login_dialog.h"
#include "framework/busy.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

// PrepareMapping has switched the login dialog to the share user.
void PromptShareUser(HWND owner)
{
    RunLoginDialog(owner, adminLoginMode);
}

Seam<MappingSystem> mappingSystem{SystemMappingCalls(PromptShareUser)};

// The window runs the shared connection steps with each networking call off its
// thread (a server that does not answer holds a call for seconds); the login dialog
// stays on the window's thread between them. A provider's extended error belongs to
// the thread that made the call and lasts until its next networking call, so a failed
// try's reason is read in the same step.
struct BusyConnection {
    HWND owner = nullptr;
    std::string reason;
};
BusyConnection* busyConnection = nullptr;  // for the length of one ConnectVolume
// A call whose step failed (its worker threw) did not happen: not NO_ERROR.
constexpr DWORD kStepFailed = ERROR_NOT_ENOUGH_MEMORY;

DWORD BusyAddConnection(HWND promptOwner, NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    return RunBusy(
        busyConnection->owner,
        [&] {
            const DWORD error = mappingSystem->addConnection(promptOwner, resource, password, user, flags);
            busyConnection->reason = error == NO_ERROR ? std::string() : DescribeMappingError(error);
            return error;
        },
        kStepFailed);
}

DWORD BusyCancelConnection(const char* name, DWORD flags, BOOL force)
{
    return RunBusy(
        busyConnection->owner, [&] { return mappingSystem->cancelConnection(name, flags, force); }, kStepFailed);
}

DWORD BusyGetUser(const char* name, char* user, DWORD* length)
{
    return RunBusy(
        busyConnection->owner, [&] { return mappingSystem->getUser(name, user, length); }, kStepFailed);
}

int BusyQueryDomain()
{
    return RunBusy(busyConnection->owner, [] { return mappingSystem->queryDomain(); });
}

}  // namespace

MappingSystem SetMappingSystem(const MappingSystem& system)
{
    return mappingSystem.Replace(system);
}

void PrepareMapping()
{
    std::memset(protocolSession.adminUser, 0, kCredentialLength);
    std::memset(protocolSession.adminPassword, 0, kCredentialLength);
    adminLoginMode = 0;
}

DWORD ConnectVolume(HWND owner, const char* server, const char* volume, const char* localName, std::string* reason)
{
    BusyConnection connection;
    connection.owner = owner;
    busyConnection = &connection;
    MappingSystem steps = *mappingSystem;
    steps.addConnection = BusyAddConnection;
    steps.cancelConnection = BusyCancelConnection;
    steps.getUser = BusyGetUser;
    steps.queryDomain = BusyQueryDomain;
    const DWORD error = ConnectVolumeWith(steps, owner, server, volume, localName);
    busyConnection = nullptr;
    if (reason)
        *reason = error == NO_ERROR ? std::string() : connection.reason;
    return error;
}

std::string DescribeMappingError(DWORD error)
{
    return DescribeMappingErrorWith(*mappingSystem, error);
}

bool DisconnectDrive(const char* localName)
{
    return DisconnectDriveWith(*mappingSystem, localName) == NO_ERROR;
}
