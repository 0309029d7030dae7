// The whole receive path, from raw datagrams to the device list and on: the host's
// addresses, StartNetwork, a discovery on every interface, the selection, every query
// and one settings transaction, all through the fuzz socket layer.
//
// Input: 11 bytes of set-up, then the socket layer's script (fuzz_socket_layer.h):
//   0    host: bits 0-1 how many addresses it lists (0 to 3); bits 6 and 7 both set:
//        the socket layer does not start
//   1-3  each address: bit 0 up, bit 1 loopback, bit 2 its send socket fails, bit 3
//        its receive socket fails, bits 4-5 its interface's index
//   4-5  discovery's selectors (0 accepts any byte)
//   6    the selection: that record (modulo the list's length plus one; one past the
//        end selects an address no device has)
//   7    the settings transaction (fuzz_exchanges.h)
//   8    pending settings, 9 credentials (fuzz_session.h)
//   10   how many of the ClientId's last bytes are zero (modulo 7)
#include <stdint.h>
#include <string.h>

#include <vector>

#include "fuzz_check.h"
#include "fuzz_exchanges.h"
#include "fuzz_expect.h"
#include "fuzz_input.h"
#include "fuzz_session.h"
#include "fuzz_socket_layer.h"
#include "protocol.h"

namespace {

const char* const kHostAddresses[] = {"198.51.100.1", "203.0.113.1", "127.0.0.1"};

FuzzHost HostFrom(const uint8_t* setup)
{
    FuzzHost host{};
    host.startupFails = (setup[0] & 0xC0) == 0xC0;
    host.clientIdZeros = setup[10] % 7;
    host.count = setup[0] & 3;
    if (host.count > 3)
        host.count = 3;
    for (int k = 0; k < host.count; ++k) {
        FuzzHostAddress& address = host.addresses[k];
        CopyTextTo(address.text, kHostAddresses[k]);
        address.up = setup[1 + k] & 1;
        address.loopback = setup[1 + k] & 2;
        address.sendFails = setup[1 + k] & 4;
        address.receiveFails = setup[1 + k] & 8;
        address.deviceIndex = 1 + ((setup[1 + k] >> 4) & 3);
    }
    return host;
}

// The interface table takes the up addresses that are not loopback, in interface
// order (listed order within one interface), or only when there are none the up
// loopback ones.
void CheckInterfaceTable(const FuzzHost& host)
{
    const FuzzHostAddress* expected[kFuzzMaxHostAddresses];
    int count = 0;
    for (bool loopback : {false, true}) {
        if (count > 0)
            break;  // loopback addresses only when no other address is up
        for (unsigned index = 1; index <= 4; ++index) {
            for (int k = 0; k < host.count; ++k) {
                const FuzzHostAddress& a = host.addresses[k];
                if (a.up && a.loopback == loopback && a.deviceIndex == index)
                    expected[count++] = &a;
            }
        }
    }
    FUZZ_CHECK(interfaceTable.interfaceCount == count);
    for (int i = 0; i < count; ++i) {
        const InterfaceEntry& entry = interfaceTable.entries[i];
        FUZZ_CHECK(strcmp(entry.addressText, expected[i]->text) == 0);
        FUZZ_CHECK((entry.sendSocket == kNoSocket) == expected[i]->sendFails);
        FUZZ_CHECK((entry.receiveSocket == kNoSocket) == expected[i]->receiveFails);
    }
}

// What discovery must list: every accepted answer's address once, interface by
// interface in table order and on each in arrival order, with the record read from its
// first answer there and that interface.
struct Expected {
    unsigned char selector1, selector2;
    std::vector<DeviceRecord> answers;  // every accepted answer, in arrival order
} expected;

void ObserveAnswer(int interfaceIndex, const unsigned char* datagram, int length)
{
    if (!ExpectAccepted(datagram, length, expected.selector1, expected.selector2))
        return;
    DeviceRecord record;
    ExpectRecord(datagram, length, &record);
    record.interfaceIndex = interfaceIndex;
    expected.answers.push_back(record);
}

void CheckDiscovered()
{
    CheckDeviceList(interfaceTable.interfaceCount, true);
    std::vector<const DeviceRecord*> listed;
    for (int index = 0; index < interfaceTable.interfaceCount; ++index) {
        for (const DeviceRecord& answer : expected.answers) {
            bool known = answer.interfaceIndex != index;
            for (const DeviceRecord* r : listed)
                known = known || strcmp(r->address, answer.address) == 0;
            if (!known)
                listed.push_back(&answer);
        }
    }
    FUZZ_CHECK(deviceList.count == static_cast<int>(listed.size()));
    size_t i = 0;
    for (const DeviceRecord* r = deviceList.head; r != nullptr && i < listed.size(); r = r->next, ++i) {
        CheckSameRecord(*r, *listed[i]);
        FUZZ_CHECK(r->interfaceIndex == listed[i]->interfaceIndex);
    }
}

void Select(uint8_t choice)
{
    int index = choice % (deviceList.count + 1);
    const DeviceRecord* r = deviceList.head;
    while (r != nullptr && index-- > 0)
        r = r->next;
    CopyTextTo(protocolSession.selectedAddress, r != nullptr ? r->address : "198.51.100.250");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    uint8_t setup[11];
    for (uint8_t& byte : setup)
        byte = input.Byte();
    FuzzSessionReset(setup[8], setup[9]);
    const FuzzHost host = HostFrom(setup);
    size_t scriptSize = 0;
    const uint8_t* script = input.Rest(&scriptSize);
    FuzzNetworkBegin(host, script, scriptSize);

    const int started = StartNetwork();
    FUZZ_CHECK(started == (host.startupFails ? 0 : 1));
    if (started)
        CheckInterfaceTable(host);

    expected.selector1 = setup[4];
    expected.selector2 = setup[5];
    expected.answers.clear();
    FuzzSetObserver(ObserveAnswer);
    Discover(setup[4], setup[5]);
    FuzzSetObserver(nullptr);
    CheckDiscovered();

    Select(setup[6]);
    RunCheckedQueries();
    RunCheckedSetting(setup[7]);
    CheckDeviceList(interfaceTable.interfaceCount, false);

    FuzzNetworkEnd();
    ClearDevices();
    ClearVolumes(&volumeList);
    return 0;
}
