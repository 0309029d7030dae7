// UDP sockets of the simulator, one per interface it serves: bound to the protocol port
// on any address but tied to its interface, so that it sees exactly the multicast and
// unicast datagrams that arrive there and sends its replies out through it.
#pragma once

#include <netinet/in.h>

#include <memory>
#include <optional>
#include <string>

#include "bytes.h"

namespace devsim {

// Owns a file descriptor; closes it when destroyed.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

struct Datagram {
    Bytes bytes;      // what was read, at most the receive buffer
    size_t size = 0;  // the datagram's real size, possibly larger than bytes.size()
    sockaddr_in from{};
    std::optional<in_addr> destination;  // group or own address, when the kernel said
};

std::string FormatEndpoint(const sockaddr_in& address);

class InterfaceSocket {
public:
    // `address` must belong to an interface of this network namespace.
    static std::unique_ptr<InterfaceSocket> Open(const std::string& address, std::string* error);

    int fd() const { return fd_.get(); }
    const std::string& address() const { return address_; }
    const std::string& interfaceName() const { return interfaceName_; }

    enum class ReadStatus { kDatagram, kEmpty, kError };
    ReadStatus Read(Datagram* out, std::string* error);
    bool Send(const Bytes& datagram, const sockaddr_in& to, std::string* error);

private:
    InterfaceSocket(UniqueFd fd, std::string address, std::string interfaceName)
        : fd_(std::move(fd)), address_(std::move(address)), interfaceName_(std::move(interfaceName))
    {}

    UniqueFd fd_;
    std::string address_;
    std::string interfaceName_;
    Bytes buffer_;
};

}  // namespace devsim
