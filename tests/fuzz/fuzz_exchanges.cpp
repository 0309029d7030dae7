#include "fuzz_exchanges.h"

#include <string.h>

#include <string>

#include "fuzz_check.h"
#include "fuzz_expect.h"
#include "fuzz_socket_layer.h"

namespace {

// One exchange as the socket layer saw it.
struct Exchange {
    int done;
    bool selected;                 // a device was selected: the exchange had someone to ask
    DeviceRecord device;           // the selected record as it was before
    const unsigned char* request;  // null when nothing was sent
    int requestLength;
    const unsigned char* reply;  // the datagram that answered, when done
    int replyLength;
};

// Runs one exchange with the selected device and checks what every exchange must do:
// send nothing when no device is selected, otherwise one request when the device's
// interface can send, of the given opcode, sub-code and DeviceId; then spend one
// attempt per empty wait (all and one more when it fails, fewer when the reply came;
// datagrams that are not the reply spend none), and end with a reply of the reply
// opcode, this instance's ClientId and DeviceId and, when matchAddress, the selected
// address.
template <typename Run>
Exchange RunExchange(Run run, unsigned char opcode, unsigned char subCode, int attemptLimit, bool matchAddress)
{
    Exchange x{};
    const DeviceRecord* device = FindSelectedDevice();
    x.selected = device != nullptr;
    if (x.selected)
        x.device = *device;
    const std::string selectedAddress = protocolSession.selectedAddress;
    FuzzTakeCounts();
    x.done = run();
    const FuzzCounts counts = FuzzTakeCounts();
    if (!x.selected) {
        FUZZ_CHECK(!x.done && counts.requests == 0 && counts.deliveries == 0);
        return x;
    }
    const bool canSend = interfaceTable.entries[x.device.interfaceIndex].sendSocket != kNoSocket;
    FUZZ_CHECK(counts.requests == (canSend ? 1 : 0));
    if (canSend) {
        x.request = FuzzLastRequest(&x.requestLength);
        FUZZ_CHECK(x.request[0] == opcode);
        FUZZ_CHECK(memcmp(x.request + 11, x.device.deviceId, kDeviceIdSize) == 0);
        FUZZ_CHECK(x.request[21] == subCode && x.request[22] == 0 && x.request[23] == 0);
    }
    if (!x.done) {
        FUZZ_CHECK(counts.emptyWaitsSinceSend == attemptLimit + 1);
        return x;
    }
    FUZZ_CHECK(counts.emptyWaitsSinceSend <= attemptLimit);
    x.reply = FuzzLastDelivery(&x.replyLength);
    FUZZ_CHECK(x.reply != nullptr && x.reply[0] == opcode + 1 && ExpectOwn(x.reply, x.replyLength));
    // A reply counts only with its layout's fixed fields: up to the value of a query
    // reply, up to the end of the DeviceId of a setting reply.
    FUZZ_CHECK(x.replyLength >= (opcode + 1 == kOpQueryReply ? kQueryHeaderSize : kSettingReplySize));
    if (matchAddress)
        FUZZ_CHECK(ExpectAddress(x.reply, x.replyLength) == selectedAddress);
    return x;
}

unsigned long LengthField(const unsigned char* at)
{
    return at[0] | (at[1] << 8) | (static_cast<unsigned long>(at[2]) << 16) | (static_cast<unsigned long>(at[3]) << 24);
}

// A request's data: the length field and the bytes after the header.
void CheckRequestData(const Exchange& x, int header, const void* data, size_t length)
{
    if (x.request == nullptr)
        return;
    FUZZ_CHECK(x.requestLength == header + static_cast<int>(length));
    FUZZ_CHECK(LengthField(x.request + header - 4) == length);
    FUZZ_CHECK(length == 0 || memcmp(x.request + header, data, length) == 0);
}

// A 16-byte text field of a request: the text cut to 15 bytes, zero-padded.
void CheckTextField(const unsigned char* field, const char* text)
{
    unsigned char expected[16] = {};
    memcpy(expected, text, strnlen(text, 15));
    FUZZ_CHECK(memcmp(field, expected, sizeof expected) == 0);
}

// Every record by value and the selection, to tell what an exchange moved.
struct Snapshot {
    enum { kMaxRecords = 64 };
    DeviceRecord records[kMaxRecords];
    const DeviceRecord* pointers[kMaxRecords];
    int count;
    char selectedAddress[16];
};

void TakeSnapshot(Snapshot* s)
{
    s->count = 0;
    for (const DeviceRecord* r = deviceList.head; r != nullptr && s->count < Snapshot::kMaxRecords; r = r->next) {
        s->records[s->count] = *r;
        s->pointers[s->count++] = r;
    }
    memcpy(s->selectedAddress, protocolSession.selectedAddress, sizeof s->selectedAddress);
}

// Every record but `moved` kept every byte; without a moved record the selection
// stayed too. Returns the snapshot's copy of `moved` (null when none).
const DeviceRecord* CheckUnchanged(const Snapshot& before, const DeviceRecord* moved)
{
    const DeviceRecord* old = nullptr;
    int i = 0;
    for (const DeviceRecord* r = deviceList.head; r != nullptr && i < before.count; r = r->next, ++i) {
        FUZZ_CHECK(r == before.pointers[i]);
        if (r == moved)
            old = &before.records[i];
        else
            FUZZ_CHECK(memcmp(r, &before.records[i], sizeof *r) == 0);
    }
    if (moved == nullptr)
        FUZZ_CHECK(strcmp(protocolSession.selectedAddress, before.selectedAddress) == 0);
    return old;
}

// After a successful address change the selected record holds the new address, and
// its DeviceId the address bytes when there are some; the selection follows it.
void CheckMoved(const Snapshot& before, const DeviceRecord* selected, const char* address,
                const unsigned char* addressBytes)
{
    FUZZ_CHECK(strncmp(protocolSession.selectedAddress, address, 15) == 0);
    FUZZ_CHECK(Terminated(protocolSession.selectedAddress));
    const DeviceRecord* old = CheckUnchanged(before, selected);
    FUZZ_CHECK(old != nullptr);
    FUZZ_CHECK(strcmp(selected->address, protocolSession.selectedAddress) == 0);
    FUZZ_CHECK(memcmp(selected->deviceId, old->deviceId, 6) == 0);
    FUZZ_CHECK(memcmp(selected->deviceId + 6, addressBytes != nullptr ? addressBytes : old->deviceId + 6, 4) == 0);
    FUZZ_CHECK(memcmp(selected->name, old->name, sizeof old->name) == 0);
    FUZZ_CHECK(selected->interfaceIndex == old->interfaceIndex);
}

struct TextQuery {
    int (*run)();
    char* field;
    size_t size;
    unsigned char subCode;
    int attemptLimit;
};

void CheckedTextQuery(const TextQuery& query)
{
    memset(query.field, 'S', query.size - 1);  // a stale value that must not survive
    query.field[query.size - 1] = '\0';
    const Exchange x = RunExchange(query.run, kOpQuery, query.subCode, query.attemptLimit, true);
    CheckRequestData(x, kQueryHeaderSize, nullptr, 0);
    FUZZ_CHECK(memchr(query.field, 0, query.size) != nullptr);
    if (!x.done) {
        FUZZ_CHECK(query.field[0] == '\0');
        return;
    }
    FUZZ_CHECK(ExpectValue(x.reply, x.replyLength).substr(0, query.size - 1) == query.field);
}

void CheckedVolumes()
{
    const Exchange x = RunExchange(QueryVolumes, kOpQuery, kSubVolumes, kAttemptsQuery, true);
    CheckRequestData(x, kQueryHeaderSize, nullptr, 0);
    CheckVolumeList(x.done ? ExpectVolumes(ExpectValue(x.reply, x.replyLength)) : std::vector<std::string>());
}

void CheckedPortConfig()
{
    const PortConfigTable before = protocolSession.portConfig;
    const Exchange x = RunExchange(QueryPortConfig, kOpQuery, kSubPortConfig, kAttemptsQuery, true);
    CheckRequestData(x, kQueryHeaderSize, nullptr, 0);
    if (!x.done) {
        FUZZ_CHECK(memcmp(&protocolSession.portConfig, &before, sizeof before) == 0);
        return;
    }
    CheckPortTable(protocolSession.portConfig, ExpectPortConfig(ExpectValue(x.reply, x.replyLength), before));
}

void CheckedAdminVerdict()
{
    Snapshot before;
    TakeSnapshot(&before);
    int verdict = 1;
    const Exchange x =
        RunExchange([&] { return AskAdminVerdict(&verdict); }, kOpQuery, kSubAdminCheck, kAttemptsShort, true);
    // user, 0x55 0xAA, password, without terminators.
    const std::string data = std::string(protocolSession.adminUser) + "\x55\xAA" + protocolSession.adminPassword;
    CheckRequestData(x, kQueryHeaderSize, data.data(), data.size());
    const int expected = x.done ? static_cast<signed char>(ExpectByte(x.reply, x.replyLength, 28)) : 0;
    FUZZ_CHECK(verdict == expected);
    CheckUnchanged(before, nullptr);
}

void CheckedAddressSettings()
{
    Snapshot before;
    TakeSnapshot(&before);
    DeviceRecord* selected = FindSelectedDevice();
    const bool twoPorts = protocolSession.portConfig.lan1.portName[0] != '\0';
    const Exchange x =
        RunExchange(ApplyAddressSettings, kOpSetting, twoPorts ? kSubPortTable : kSubAddress, kAttemptsAddress, false);
    if (x.request != nullptr) {
        CheckTextField(x.request + 24, protocolSession.pendingNetmask);
        CheckTextField(x.request + 40, protocolSession.pendingGateway);
        if (twoPorts)
            CheckRequestData(x, kSettingHeaderSize, &protocolSession.portConfig, sizeof protocolSession.portConfig);
        else
            CheckRequestData(x, kSettingHeaderSize, protocolSession.pendingAddress,
                             strlen(protocolSession.pendingAddress));
    }
    if (!x.done) {
        CheckUnchanged(before, nullptr);
        return;
    }
    unsigned char bytes[4];
    const bool parsed = ParseDottedOctets(protocolSession.pendingAddress, bytes);
    CheckMoved(before, selected, protocolSession.pendingAddress, parsed ? bytes : nullptr);
    FUZZ_CHECK(strcmp(selected->netmask, protocolSession.pendingNetmask) == 0);
    FUZZ_CHECK(strcmp(selected->gateway, protocolSession.pendingGateway) == 0);
}

void CheckedDhcp()
{
    Snapshot before;
    TakeSnapshot(&before);
    DeviceRecord* selected = FindSelectedDevice();
    const bool twoPorts = protocolSession.portConfig.lan1.portName[0] != '\0';
    const Exchange x = RunExchange(EnableDhcpClient, kOpSetting, kSubDhcpClient, kAttemptsDhcp, false);
    if (x.request != nullptr) {
        CheckTextField(x.request + 24, "");
        CheckTextField(x.request + 40, "");
        if (twoPorts)
            CheckRequestData(x, kSettingHeaderSize, &protocolSession.portConfig, sizeof protocolSession.portConfig);
        else
            CheckRequestData(x, kSettingHeaderSize, nullptr, 0);
    }
    if (!x.done) {
        CheckUnchanged(before, nullptr);
        return;
    }
    // The record moves to the address the device reports, and takes its bytes.
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(ExpectByte(x.reply, x.replyLength, 17 + i));
    CheckMoved(before, selected, ExpectAddress(x.reply, x.replyLength).c_str(), bytes);
}

void CheckedTextSetting(int (*set)(const char*), unsigned char subCode, const char* text)
{
    Snapshot before;
    TakeSnapshot(&before);
    const Exchange x = RunExchange([&] { return set(text); }, kOpSetting, subCode, kAttemptsShort, true);
    if (x.request != nullptr) {
        CheckTextField(x.request + 24, protocolSession.pendingNetmask);
        CheckTextField(x.request + 40, protocolSession.pendingGateway);
        CheckRequestData(x, kSettingHeaderSize, text, strlen(text));
    }
    CheckUnchanged(before, nullptr);
}

}  // namespace

void RunCheckedQueries()
{
    ProtocolSession& s = protocolSession;
    CheckedVolumes();
    CheckedTextQuery({QueryCodepage, s.codepageValue, sizeof s.codepageValue, kSubCodepage, kAttemptsShort});
    CheckedTextQuery({QueryDiskState, s.diskStateValue, sizeof s.diskStateValue, kSubDiskState, kAttemptsQuery});
    CheckedTextQuery({QueryShareName, s.shareNameValue, sizeof s.shareNameValue, kSubShareName, kAttemptsQuery});
    CheckedTextQuery({QueryBtFirmware, s.btFirmwareValue, sizeof s.btFirmwareValue, kSubBtFirmware, kAttemptsQuery});
    CheckedTextQuery({QueryDomain, s.domainValue, sizeof s.domainValue, kSubDomain, kAttemptsQuery});
    CheckedTextQuery({QuerySsl, s.sslValue, sizeof s.sslValue, kSubSsl, kAttemptsQuery});
    CheckedPortConfig();
}

void RunCheckedSetting(uint8_t kind)
{
    switch (kind % kCheckedSettingKinds) {
    case 0:
        CheckedAddressSettings();
        break;
    case 1:
        CheckedDhcp();
        break;
    case 2:
        CheckedAdminVerdict();
        break;
    case 3:
        CheckedTextSetting(SetCodepage, kSubSetCodepage, "950");
        break;
    case 4:
        CheckedTextSetting(SetAccessMode, kSubAccessMode, "1");
        break;
    case 5:
        CheckedTextSetting(SendStop, kSubStop, "reboot");
        break;
    default:
        CheckedTextSetting(NotifyAddonInstalled, kSubAddonInstalled, "bt");
        break;
    }
}
