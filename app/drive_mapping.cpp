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

// A call whose step failed (its worker threw) did not happen: not NO_ERROR.
constexpr DWORD kStepFailed = ERROR_NOT_ENOUGH_MEMORY;

}  // namespace

MappingSystem SetMappingSystem(const MappingSystem& system)
{
    return mappingSystem.Replace(system);
}

const MappingSystem& MappingCalls()
{
    return *mappingSystem;
}

void PrepareMapping()
{
    std::memset(protocolSession.adminUser, 0, kCredentialLength);
    std::memset(protocolSession.adminPassword, 0, kCredentialLength);
    adminLoginMode = 0;
}

MappingSystem MappingStepsOf(HWND owner, std::string* reason)
{
    // A server that does not answer holds a networking call for seconds. A provider's
    // extended error belongs to the thread that made the call and lasts until its next
    // networking call, so a failed try's reason is read in the same step.
    const MappingSystem calls = *mappingSystem;
    MappingSystem steps = calls;
    steps.addConnection = [owner, reason, calls](HWND promptOwner, NETRESOURCEA* resource, const char* password,
                                                 const char* user, DWORD flags) {
        return RunBusy(
            owner,
            [&] {
                const DWORD error = calls.addConnection(promptOwner, resource, password, user, flags);
                *reason = error == NO_ERROR ? std::string() : DescribeMappingError(calls, error);
                return error;
            },
            kStepFailed);
    };
    steps.cancelConnection = [owner, calls](const char* name, DWORD flags, BOOL force) {
        return RunBusy(
            owner, [&] { return calls.cancelConnection(name, flags, force); }, kStepFailed);
    };
    steps.getUser = [owner, calls](const char* name, char* user, DWORD* length) {
        return RunBusy(
            owner, [&] { return calls.getUser(name, user, length); }, kStepFailed);
    };
    steps.queryDomain = [owner, calls] { return RunBusy(owner, [&] { return calls.queryDomain(); }); };
    return steps;
}
