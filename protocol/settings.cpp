#include "settings.h"

#include <string.h>

#include "cadence.h"
#include "codec.h"
#include "devices.h"
#include "network_rules.h"
#include "text_util.h"
#include "transport.h"

namespace {

enum {
    kReplyAddress = 17,  // the device's address in an opcode-6 reply, bytes 17 to 20
};

struct Setting {
    unsigned char subCode;
    int attemptLimit;
    bool matchAddress;   // only a reply from the selected device's address counts
    bool pendingFields;  // netmask and gateway travel in the header
};

// One setting exchange with the selected device; 1 with the reply. A reply queued
// from an earlier exchange is not drained first.
int RunSetting(const Setting& setting, const void* data, size_t dataLength, ReplyBuffer* reply)
{
    const DeviceRecord* device = FindSelectedDevice();
    if (device == nullptr)
        return 0;
    RequestBuffer request;
    memset(&request, 0, sizeof request);
    const char* netmask = setting.pendingFields ? protocolSession.pendingNetmask : nullptr;
    const char* gateway = setting.pendingFields ? protocolSession.pendingGateway : nullptr;
    const int length = BuildSettingRequest(&request, *device, setting.subCode, netmask, gateway, data, dataLength);
    if (length == 0)
        return 0;
    memset(reply, 0, sizeof *reply);
    SendRequest(device->interfaceIndex, request.bytes, length);
    const char* match = setting.matchAddress ? protocolSession.selectedAddress : nullptr;
    return AwaitReply(device->interfaceIndex, kOpSettingReply, match, setting.attemptLimit, reply);
}

int RunTextSetting(unsigned char subCode, const char* text)
{
    const Setting setting = {subCode, kAttemptsShort, true, true};
    ReplyBuffer reply;
    return RunSetting(setting, text, text ? strlen(text) : 0, &reply);
}

// The selected record takes its new address, and its DeviceId the address bytes
// (unless there are none); the selection follows it.
void MoveSelectedDevice(const char* address, const unsigned char* addressBytes)
{
    DeviceRecord* record = FindSelectedDevice();
    if (record != nullptr) {
        CopyTextTo(record->address, address);
        if (addressBytes != nullptr)
            memcpy(record->deviceId + kDeviceIdAddress, addressBytes, 4);
    }
    CopyTextTo(protocolSession.selectedAddress, address);
}

}  // namespace

bool IsPortConfigEmpty(const PortConfigTable& table)
{
    return table.lan1.portName[0] == '\0';
}

int AskAdminVerdict(int* verdict)
{
    *verdict = 0;
    const DeviceRecord* device = FindSelectedDevice();
    if (device == nullptr)
        return 0;
    // user, 0x55 0xAA, password: no terminators.
    unsigned char data[sizeof protocolSession.adminUser + 2 + sizeof protocolSession.adminPassword];
    const size_t user = strnlen(protocolSession.adminUser, sizeof protocolSession.adminUser - 1);
    const size_t password = strnlen(protocolSession.adminPassword, sizeof protocolSession.adminPassword - 1);
    memcpy(data, protocolSession.adminUser, user);
    data[user] = 0x55;
    data[user + 1] = 0xAA;
    memcpy(data + user + 2, protocolSession.adminPassword, password);

    RequestBuffer request;
    memset(&request, 0, sizeof request);
    const int length = BuildQueryRequest(&request, *device, kSubAdminCheck, data, user + 2 + password);
    ReplyBuffer reply;
    // The verdict is one byte of a query reply, and any answer the device gives to an
    // earlier question reads as one ("1" accepts). So nothing may be left to come:
    // what is queued is drained as the queries do, and answers the device still owes
    // (a query that gave up on a slow device) are waited for first.
    DrainReplies(device->interfaceIndex, kDrainAttempts, &reply);
    AwaitOwedAnswers(device->interfaceIndex, device->deviceId + kDeviceIdAddress);
    memset(&reply, 0, sizeof reply);
    SendRequest(device->interfaceIndex, request.bytes, length);
    if (!AwaitReply(device->interfaceIndex, kOpQueryReply, protocolSession.selectedAddress, kAttemptsShort, &reply))
        return 0;
    *verdict = ReplyVerdict(reply);
    return 1;
}

int VerifyAdminPassword()
{
    int verdict = 0;
    AskAdminVerdict(&verdict);
    return verdict;
}

int ApplyAddressSettings()
{
    ReplyBuffer reply;
    const bool twoPorts = !IsPortConfigEmpty(protocolSession.portConfig);
    const Setting setting = {twoPorts ? static_cast<unsigned char>(kSubPortTable)
                                      : static_cast<unsigned char>(kSubAddress),
                             kAttemptsAddress, false, true};
    const int done =
        twoPorts ? RunSetting(setting, &protocolSession.portConfig, sizeof protocolSession.portConfig, &reply)
                 : RunSetting(setting, protocolSession.pendingAddress, strlen(protocolSession.pendingAddress), &reply);
    if (!done)
        return 0;
    DeviceRecord* record = FindSelectedDevice();
    if (record != nullptr) {
        CopyTextTo(record->netmask, protocolSession.pendingNetmask);
        CopyTextTo(record->gateway, protocolSession.pendingGateway);
    }
    // The DeviceId keeps its old address bytes if the pending text is no address
    // (the panel and kavronctl validate it first).
    unsigned char bytes[4];
    const bool parsed = ParseDottedOctets(protocolSession.pendingAddress, bytes);
    MoveSelectedDevice(protocolSession.pendingAddress, parsed ? bytes : nullptr);
    return 1;
}

int EnableDhcpClient()
{
    ReplyBuffer reply;
    const bool twoPorts = !IsPortConfigEmpty(protocolSession.portConfig);
    const Setting setting = {kSubDhcpClient, kAttemptsDhcp, false, false};
    const int done = twoPorts
                         ? RunSetting(setting, &protocolSession.portConfig, sizeof protocolSession.portConfig, &reply)
                         : RunSetting(setting, nullptr, 0, &reply);
    if (!done)
        return 0;
    char address[16];
    ReplyAddressText(reply, address);
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(ReplyByte(reply, kReplyAddress + i));
    MoveSelectedDevice(address, bytes);
    return 1;
}

int SetCodepage(const char* codepage)
{
    return RunTextSetting(kSubSetCodepage, codepage);
}

int SetAccessMode(const char* mode)
{
    return RunTextSetting(kSubAccessMode, mode);
}

int SendStop(const char* text)
{
    return RunTextSetting(kSubStop, text);
}

int NotifyAddonInstalled(const char* text)
{
    return RunTextSetting(kSubAddonInstalled, text);
}
