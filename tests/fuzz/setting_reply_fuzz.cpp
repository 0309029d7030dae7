// Setting replies and what follows them: the administrator check, an address or DHCP
// change (the record and the selection move to the new address) and the small
// settings, each against a device list given by the input, with the replies played
// by the fuzz socket layer on one interface.
//
// Input: 9 bytes of set-up, then the socket layer's script (fuzz_socket_layer.h):
//   0  devices: 1 + bits 0-1 records; bits 2-3 the selected one; bit 4 selects an
//      address no record has; bit 5 gives the session a two-port table
//   1  the transaction (fuzz_exchanges.h)
//   2  pending settings, 3 credentials (fuzz_session.h)
//   4-7 each record's address, from a small set that includes the pending ones
//   8  how many of the ClientId's last bytes are zero (modulo 7)
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "fuzz_check.h"
#include "fuzz_exchanges.h"
#include "fuzz_expect.h"
#include "fuzz_input.h"
#include "fuzz_session.h"
#include "fuzz_socket_layer.h"
#include "protocol.h"

namespace {

const unsigned char kAddresses[][4] = {{198, 51, 100, 2}, {198, 51, 100, 3}, {203, 0, 113, 2}, {198, 51, 100, 77}};

void AddRecord(int k, const unsigned char (&address)[4])
{
    DeviceRecord record;
    memset(&record, 0, sizeof record);
    snprintf(record.name, sizeof record.name, "device %d", k);
    snprintf(record.address, sizeof record.address, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
    CopyTextTo(record.netmask, "255.255.255.0");
    CopyTextTo(record.dhcpFlag, "0");
    const unsigned char identity[6] = {0x02, 0xa1, 0xb2, 0xc3, 0xd4, static_cast<unsigned char>(k)};
    memcpy(record.deviceId, identity, 6);
    memcpy(record.deviceId + 6, address, 4);
    CopyTextTo(record.model, "KV-2");
    record.interfaceIndex = 0;
    AddDevice(record);
}

void GiveTwoPorts()
{
    PortConfigTable& table = protocolSession.portConfig;
    CopyTextTo(table.lan1.portName, "LAN1");
    CopyTextTo(table.lan1.address, "198.51.100.2");
    CopyTextTo(table.lan1.netmask, "255.255.255.0");
    CopyTextTo(table.lan1.dhcpFlag, "0");
    CopyTextTo(table.lan2.portName, "LAN2");
    CopyTextTo(table.lan2.dhcpFlag, "1");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    uint8_t setup[9];
    for (uint8_t& byte : setup)
        byte = input.Byte();
    FuzzSessionReset(setup[2], setup[3]);
    const int records = 1 + (setup[0] & 3);
    for (int k = 0; k < records; ++k)
        AddRecord(k, kAddresses[setup[4 + k] % 4]);
    const DeviceRecord* selected = deviceList.head;
    for (int k = (setup[0] >> 2) & 3; k > 0 && selected->next != nullptr; --k)
        selected = selected->next;
    CopyTextTo(protocolSession.selectedAddress, (setup[0] & 0x10) ? "198.51.100.250" : selected->address);
    if (setup[0] & 0x20)
        GiveTwoPorts();

    size_t scriptSize = 0;
    const uint8_t* script = input.Rest(&scriptSize);
    FuzzNetworkBegin(FuzzSingleInterfaceHost(setup[8] % 7), script, scriptSize);
    FUZZ_CHECK(StartNetwork() == 1);
    RunCheckedSetting(setup[1]);
    CheckDeviceList(interfaceTable.interfaceCount, false);
    FuzzNetworkEnd();
    ClearDevices();
    return 0;
}
