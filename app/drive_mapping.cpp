#include "app/drive_mapping.h"

#include <cstring>

#include "app/app_state.h"
#include "app/login_dialog.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

// PrepareMapping has switched the login dialog to the share user.
void PromptShareUser(HWND owner)
{
    RunLoginDialog(owner, adminLoginMode);
}

Seam<MappingSystem> mappingSystem{SystemMappingCalls(PromptShareUser)};

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

DWORD ConnectVolume(HWND owner, const char* server, const char* volume, const char* localName)
{
    return ConnectVolumeWith(*mappingSystem, owner, server, volume, localName);
}

std::string DescribeMappingError(DWORD error)
{
    return DescribeMappingErrorWith(*mappingSystem, error);
}

bool DisconnectDrive(const char* localName)
{
    return DisconnectDriveWith(*mappingSystem, localName);
}
