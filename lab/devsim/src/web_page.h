// A device's web page and the little HTTP/1.x the simulator speaks to serve it: one
// request per connection, answered and closed. Pure logic: no sockets.
#pragma once

#include <string>
#include <string_view>

#include "bytes.h"

namespace devsim {

// What the page of one device shows, and whether the device also serves it with TLS.
struct Site {
    std::string address;  // dotted; the page is served on this address only
    Bytes name;
    std::string identity;  // 12 hex digits
    std::string model;
    bool tls = false;  // its SSL value (sub-code 19) contains "1"
};

// Longest request head (request line and headers) a client may send.
constexpr size_t kMaxRequestHead = 8192;

struct RequestHead {
    enum class Status { kIncomplete, kComplete, kBad };
    Status status = Status::kIncomplete;
    int errorStatus = 0;  // with kBad: the HTTP status to answer (400 or 431)
    std::string error;    // with kBad: why
    std::string method;
    std::string target;
    std::string userAgent;
};

// Reads the head from the bytes received so far (a body, if any, is ignored).
RequestHead ParseRequestHead(std::string_view received);

// The page: "<title>Kavron device NAME</title>" and one "device-...: value" line each for
// the name, address, identity, model and the scheme it was fetched with.
std::string RenderPage(const Site& site, const std::string& scheme);

// A whole response that closes the connection; HEAD gets the headers only.
std::string RenderResponse(int status, const std::string& body, bool headOnly);

}  // namespace devsim
