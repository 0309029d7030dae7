// Serves every device's page from the simulator's event loop: port 80 of the device's
// address, and port 443 with TLS when the device has SSL on. All sockets are
// non-blocking and every connection has a deadline, so a slow or broken client costs a
// descriptor for a few seconds and never holds up the protocol.
#pragma once

#include <poll.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "event_log.h"
#include "net.h"
#include "web_page.h"

struct ssl_ctx_st;

namespace devsim {

class WebServer {
public:
    static constexpr uint16_t kHttpPort = 80;
    static constexpr uint16_t kHttpsPort = 443;
    static constexpr size_t kMaxConnections = 32;
    static constexpr int64_t kRequestTimeoutMs = 5000;  // from accept to a complete request
    static constexpr int64_t kCloseTimeoutMs = 2000;    // to send the answer and see the client close

    WebServer(EventLog& log, int64_t startMs);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Loads the certificate and key that port 443 presents; without them TLS is not served.
    bool LoadTls(const std::string& certPath, const std::string& keyPath, std::string* error);

    // Listens for exactly these sites from now on. Connections already accepted are answered
    // with the site as it is when their request is complete. Returns what failed.
    std::vector<std::string> SetSites(const std::vector<Site>& sites);

    // The event loop's side: descriptors to poll (appended), their results, and deadlines.
    void AddPollFds(std::vector<pollfd>* fds);
    void HandlePolled(const pollfd* fds, size_t count, int64_t nowMs);
    std::optional<int64_t> NextDeadline() const;
    void ExpireDue(int64_t nowMs);

private:
    struct Listener;
    struct Connection;
    void Accept(Listener& listener, int64_t nowMs);
    // Advances a connection as far as its socket allows; false when it is finished.
    bool Step(Connection& c, int64_t nowMs);
    bool ReadRequest(Connection& c, int64_t nowMs);
    void Answer(Connection& c, int64_t nowMs);
    void LogFailure(const Connection& c, int64_t nowMs, const std::string& why);

    struct TlsContextFree {
        void operator()(ssl_ctx_st* context) const;
    };

    EventLog& log_;
    int64_t startMs_;
    std::unique_ptr<ssl_ctx_st, TlsContextFree> tls_;
    std::map<std::string, Site> sites_;  // by address
    uint64_t nextId_ = 1;
    std::map<uint64_t, std::unique_ptr<Listener>> listeners_;
    std::map<uint64_t, std::unique_ptr<Connection>> connections_;
    std::vector<uint64_t> polled_;  // the id behind each descriptor AddPollFds appended
};

}  // namespace devsim
