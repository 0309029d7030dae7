// Drives the device simulator of the lab from a test: writes its configuration, waits
// until it has been applied, and reads its log of received and sent datagrams.
// Works natively and under Wine (where the lab's files are reached through Z:).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

using nlohmann::json;

// The simulator's two addresses and the client's addresses facing them.
extern const char* const kSimLan0;     // 198.51.100.2
extern const char* const kSimLan1;     // 203.0.113.2
extern const char* const kClientLan0;  // 198.51.100.1
extern const char* const kClientLan1;  // 203.0.113.1

// A path from the lab's environment, in the form this build's file functions take.
std::string LabPath(const char* variable);

// Writes a configuration with these devices and a new generation, and waits for the
// simulator to acknowledge it. Returns false when it was not applied in time.
bool ApplySimDevices(const json& devices);

// A device with the given identity and address and nothing else set.
json SimDevice(const char* identity, const char* address);

// Log lines the simulator has written since the given mark (a byte offset).
size_t SimLogMark();
std::vector<json> SimLogSince(size_t mark);

// Index of the interface with this address in the interface table, -1 if none.
int InterfaceIndexOf(const char* address);

// Reads and throws away everything queued on every receive socket until they have
// been quiet for quietMs. Returns the number of datagrams thrown away.
int FlushReceiveSockets(int quietMs = 60);

// Another program's socket on the first client address and the protocol's port, held
// for itself while this object lives: exclusively on Windows (SO_EXCLUSIVEADDRUSE),
// without SO_REUSEADDR on Linux and tied to lan0, so that the second interface stays
// free. Starts and ends the socket layer of Windows itself.
class PortHolder {
public:
    PortHolder();
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;
    bool bound() const { return bound_; }

private:
    intptr_t socket_;
    bool bound_ = false;
};

// Lowercase hex of bytes.
std::string Hex(const unsigned char* bytes, size_t count);
