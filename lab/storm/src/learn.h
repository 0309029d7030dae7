// Learning the client's ClientId: the storm listens on one interface for the next
// request the client sends to the protocol's port and takes its bytes 1 to 6. A query
// or setting request also names the device it is for (bytes 17 to 20), which the storm
// then leaves out of the replies it forges.
//
// The simulator owns port 13579 in the device namespace, so the storm does not bind it:
// it reads copies of the arriving UDP datagrams from a raw socket.
#pragma once

#include <optional>
#include <string>

#include "datagrams.h"
#include "unique_fd.h"

namespace storm {

struct LearnedRequest {
    uint8_t opcode = 0;
    ClientIdBytes clientId{};
    std::optional<Ipv4> target;  // for queries and settings
    Ipv4 from{};
};

class RequestListener {
public:
    // Opens the raw socket on the interface; false (with the reason) when it cannot.
    bool Open(const std::string& interfaceName, std::string* error);

    // Waits for a request with the opcode (0: any of 1, 3 and 5) sent to the group or to
    // the interface's address. Nothing after timeoutMs.
    std::optional<LearnedRequest> Next(const Ipv4& interfaceAddress, int opcode, int timeoutMs);

private:
    UniqueFd fd_;
};

}  // namespace storm
