// Records of the device protocol: what the process knows about the network, the
// devices on it and the device the user works with.
//
// The state is process-wide, as plain global records (no accessor functions):
//   deviceList       devices found by the last Discover
//   volumeList       volumes of the selected device (last QueryVolumes)
//   protocolSession  selected device, pending settings, credentials, query values
//   interfaceTable   the local IPv4 interfaces with their sockets
//   clientId         the 10 bytes that mark this instance's requests
// Nothing here is locked: one thread at a time touches it. In the utility an exchange
// runs as a step on a worker thread (RunBusy, framework/busy.h), one step at a time,
// while the window's thread only pumps messages; the window's thread reads and writes
// the records between steps. The thread's start and the wait for its end order the two.
// kavronctl uses them from its main thread only.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    kMaxInterfaces = 8,
    kDatagramCapacity = 4096,  // largest datagram sent or accepted
    kClientIdSize = 10,
    // A DeviceId: six identity bytes the device chose (0 to 5), then its IPv4 address
    // (6 to 9).
    kDeviceIdSize = 10,
    kDeviceIdIdentityBytes = 6,
    kDeviceIdAddress = kDeviceIdIdentityBytes,
    // Characters of a user name or password: the administrator's, which the device
    // checks, and the share user's of a drive mapping.
    kCredentialLength = 16,
    kProtocolPort = 13579,
};

// Marks this instance's requests: six pseudo-random bytes, then four zero bytes.
typedef unsigned char ClientId[kClientIdSize];

// Socket handle of either platform (SOCKET on Windows, a descriptor on Linux).
typedef intptr_t ProtocolSocket;
const ProtocolSocket kNoSocket = -1;

struct InterfaceEntry {
    char addressText[16];
    ProtocolSocket sendSocket;
    ProtocolSocket receiveSocket;
    // 0, or the system's error code when the receive socket could not be opened or
    // bound to the address and port (see receive_failures.h).
    int receiveError;
    // Linux only: the device that owns the address, so that the receive socket can be
    // tied to it. Empty / 0 on Windows.
    char deviceName[16];
    unsigned deviceIndex;
};

struct InterfaceTable {
    InterfaceEntry entries[kMaxInterfaces];
    int interfaceCount;
    int open;  // 1 between StartNetwork and the first StopNetwork
};

struct DeviceRecord {
    char name[256];
    char address[16];
    char netmask[16];
    char gateway[16];
    char dhcpFlag[8];
    unsigned char deviceId[kDeviceIdSize];
    char model[34];
    int32_t interfaceIndex;
    DeviceRecord* next;
};

struct DeviceList {
    int32_t count;
    DeviceRecord* head;
    DeviceRecord* tail;
};

struct VolumeEntry {
    char name[256];
    VolumeEntry* next;
};

struct VolumeList {
    int32_t count;
    VolumeEntry* head;
    VolumeEntry* tail;
};

// One LAN port of the two-port model; exchanged with the device byte for byte.
struct PortConfig {
    char portName[10];
    char address[16];
    char netmask[16];
    char gateway[16];
    char dhcpFlag[2];
};
static_assert(sizeof(PortConfig) == 60, "PortConfig travels as 60 bytes");
static_assert(offsetof(PortConfig, portName) == 0, "PortConfig layout");
static_assert(offsetof(PortConfig, address) == 10, "PortConfig layout");
static_assert(offsetof(PortConfig, netmask) == 26, "PortConfig layout");
static_assert(offsetof(PortConfig, gateway) == 42, "PortConfig layout");
static_assert(offsetof(PortConfig, dhcpFlag) == 58, "PortConfig layout");

struct PortConfigTable {
    PortConfig lan1;
    PortConfig lan2;
};
static_assert(sizeof(PortConfigTable) == 120, "PortConfigTable travels as 120 bytes");
static_assert(offsetof(PortConfigTable, lan2) == 60, "PortConfigTable layout");

struct ProtocolSession {
    char selectedAddress[16];
    char pendingAddress[16];
    char pendingNetmask[16];
    char pendingGateway[16];
    char adminUser[kCredentialLength + 1];
    char adminPassword[kCredentialLength + 1];
    PortConfigTable portConfig;
    char codepageValue[64];
    char diskStateValue[8];
    char shareNameValue[16];
    char btFirmwareValue[8];
    char domainValue[128];
    char sslValue[8];
};

extern DeviceList deviceList;
extern VolumeList volumeList;
extern ProtocolSession protocolSession;
extern InterfaceTable interfaceTable;
extern ClientId clientId;
