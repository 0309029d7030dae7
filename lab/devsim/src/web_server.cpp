#include "web_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace devsim {

namespace {

using nlohmann::ordered_json;

// Connections taken from one listener per wake, so a flood cannot starve the protocol.
constexpr int kAcceptsPerWake = 16;

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// The oldest error OpenSSL has queued, and an empty queue for the next call.
std::string TakeTlsError()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "connection closed";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

UniqueFd OpenListener(const std::string& address, uint16_t port, std::string* error)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int one = 1;
    // SO_REUSEADDR: a device that comes back must get its port while old connections linger.
    if (!fd || ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 || ::listen(fd.get(), 64) != 0) {
        *error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return UniqueFd();
    }
    return fd;
}

// Closing with a zero linger resets the connection: the refused client learns at once.
void Reset(int fd)
{
    const linger now{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
}

}  // namespace

struct WebServer::Listener {
    std::string address;
    uint16_t port;
    UniqueFd fd;
};

struct WebServer::Connection {
    enum class Phase { kHandshake, kRequest, kAnswer, kClosing };
    UniqueFd fd;
    bool tls = false;
    std::unique_ptr<SSL, SslFree> ssl;  // with tls, once the connection is taken
    std::string address;                // the device address the client connected to
    std::string client;
    Phase phase = Phase::kRequest;
    bool wantWrite = false;
    std::string received;
    std::string answer;
    size_t sent = 0;
    int64_t deadline = 0;
    const char* Scheme() const { return tls ? "https" : "http"; }
};

void WebServer::TlsContextFree::operator()(ssl_ctx_st* context) const
{
    SSL_CTX_free(context);
}

WebServer::WebServer(EventLog& log, int64_t startMs) : log_(log), startMs_(startMs) {}

WebServer::~WebServer() = default;

bool WebServer::LoadTls(const std::string& certPath, const std::string& keyPath, std::string* error)
{
    std::unique_ptr<SSL_CTX, TlsContextFree> context(SSL_CTX_new(TLS_server_method()));
    if (!context) {
        *error = "TLS: " + TakeTlsError();
        return false;
    }
    if (SSL_CTX_use_certificate_chain_file(context.get(), certPath.c_str()) != 1) {
        *error = certPath + ": " + TakeTlsError();
        return false;
    }
    if (SSL_CTX_use_PrivateKey_file(context.get(), keyPath.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context.get()) != 1) {
        *error = keyPath + ": " + TakeTlsError();
        return false;
    }
    SSL_CTX_set_mode(context.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    tls_ = std::move(context);
    return true;
}

std::vector<std::string> WebServer::SetSites(const std::vector<Site>& sites)
{
    std::vector<std::string> problems;
    std::map<std::pair<std::string, uint16_t>, bool> wanted;
    sites_.clear();
    for (const Site& site : sites) {
        sites_[site.address] = site;
        wanted[{site.address, kHttpPort}] = false;
        if (site.tls && tls_)
            wanted[{site.address, kHttpsPort}] = false;
    }
    for (auto it = listeners_.begin(); it != listeners_.end();) {
        auto w = wanted.find({it->second->address, it->second->port});
        if (w == wanted.end()) {
            it = listeners_.erase(it);
        } else {
            w->second = true;
            ++it;
        }
    }
    for (const auto& [key, present] : wanted) {
        if (present)
            continue;
        std::string error;
        UniqueFd fd = OpenListener(key.first, key.second, &error);
        if (!fd) {
            problems.push_back(error);
            continue;
        }
        listeners_.emplace(nextId_++, std::make_unique<Listener>(Listener{key.first, key.second, std::move(fd)}));
    }
    return problems;
}

void WebServer::AddPollFds(std::vector<pollfd>* fds)
{
    polled_.clear();
    for (const auto& [id, listener] : listeners_) {
        fds->push_back(pollfd{listener->fd.get(), POLLIN, 0});
        polled_.push_back(id);
    }
    for (const auto& [id, c] : connections_) {
        fds->push_back(pollfd{c->fd.get(), static_cast<short>(c->wantWrite ? POLLOUT : POLLIN), 0});
        polled_.push_back(id);
    }
}

void WebServer::HandlePolled(const pollfd* fds, size_t count, int64_t nowMs)
{
    for (size_t i = 0; i < count && i < polled_.size(); ++i) {
        if (!fds[i].revents)
            continue;
        const uint64_t id = polled_[i];
        if (auto l = listeners_.find(id); l != listeners_.end()) {
            Accept(*l->second, nowMs);
        } else if (auto c = connections_.find(id); c != connections_.end()) {
            if (!Step(*c->second, nowMs))
                connections_.erase(c);
        }
    }
}

std::optional<int64_t> WebServer::NextDeadline() const
{
    std::optional<int64_t> next;
    for (const auto& [id, c] : connections_) {
        if (!next || c->deadline < *next)
            next = c->deadline;
    }
    return next;
}

void WebServer::ExpireDue(int64_t nowMs)
{
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& c = *it->second;
        if (c.deadline > nowMs) {
            ++it;
            continue;
        }
        // A client that has its answer and keeps the connection open is no failure.
        if (c.phase != Connection::Phase::kClosing)
            LogFailure(c, nowMs,
                       c.phase == Connection::Phase::kAnswer ? "answer not taken in time" : "no request in time");
        Reset(c.fd.get());
        it = connections_.erase(it);
    }
}

void WebServer::Accept(Listener& listener, int64_t nowMs)
{
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        UniqueFd fd(
            ::accept4(listener.fd.get(), reinterpret_cast<sockaddr*>(&from), &size, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd)
            return;
        auto c = std::make_unique<Connection>();
        c->fd = std::move(fd);
        c->address = listener.address;
        c->client = FormatEndpoint(from);
        c->deadline = nowMs + kRequestTimeoutMs;
        c->tls = listener.port == kHttpsPort;
        if (connections_.size() >= kMaxConnections) {
            LogFailure(*c, nowMs, "refused: " + std::to_string(kMaxConnections) + " connections open");
            Reset(c->fd.get());
            continue;
        }
        if (c->tls) {
            c->ssl.reset(SSL_new(tls_.get()));
            if (!c->ssl || SSL_set_fd(c->ssl.get(), c->fd.get()) != 1) {
                LogFailure(*c, nowMs, "TLS: " + TakeTlsError());
                Reset(c->fd.get());
                continue;
            }
            c->phase = Connection::Phase::kHandshake;
        }
        connections_.emplace(nextId_++, std::move(c));
    }
}

bool WebServer::Step(Connection& c, int64_t nowMs)
{
    for (;;) {
        switch (c.phase) {
        case Connection::Phase::kHandshake: {
            const int result = SSL_accept(c.ssl.get());
            if (result == 1) {
                c.phase = Connection::Phase::kRequest;
                continue;
            }
            const int why = SSL_get_error(c.ssl.get(), result);
            if (why == SSL_ERROR_WANT_READ || why == SSL_ERROR_WANT_WRITE) {
                c.wantWrite = why == SSL_ERROR_WANT_WRITE;
                return true;
            }
            // A reachability check connects and closes without a word: not a TLS failure.
            const bool eof =
                why == SSL_ERROR_SYSCALL ||
                (why == SSL_ERROR_SSL && ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING);
            const std::string error = TakeTlsError();
            LogFailure(c, nowMs,
                       eof && SSL_in_before(c.ssl.get()) ? "closed before a request"
                                                         : "TLS handshake failed: " + error);
            return false;
        }
        case Connection::Phase::kRequest:
            if (!ReadRequest(c, nowMs))
                return false;
            if (c.phase == Connection::Phase::kRequest)
                return true;  // waiting for more of the head
            continue;
        case Connection::Phase::kAnswer: {
            while (c.sent < c.answer.size()) {
                const char* data = c.answer.data() + c.sent;
                const size_t left = c.answer.size() - c.sent;
                ssize_t n;
                if (c.tls) {
                    const int result = SSL_write(c.ssl.get(), data, static_cast<int>(left));
                    n = result;
                    if (result <= 0) {
                        const int why = SSL_get_error(c.ssl.get(), result);
                        if (why == SSL_ERROR_WANT_READ || why == SSL_ERROR_WANT_WRITE) {
                            c.wantWrite = why == SSL_ERROR_WANT_WRITE;
                            return true;
                        }
                        TakeTlsError();
                        return false;
                    }
                } else {
                    n = ::send(c.fd.get(), data, left, MSG_NOSIGNAL);
                    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                        c.wantWrite = true;
                        return true;
                    }
                    if (n <= 0)
                        return false;
                }
                c.sent += static_cast<size_t>(n);
            }
            // Close our side and wait for the client's: closing at once with unread bytes
            // queued would reset the connection and could cost the client its answer.
            if (c.tls) {
                SSL_shutdown(c.ssl.get());
                ERR_clear_error();
            }
            ::shutdown(c.fd.get(), SHUT_WR);
            c.phase = Connection::Phase::kClosing;
            c.wantWrite = false;
            c.deadline = nowMs + kCloseTimeoutMs;
            continue;
        }
        case Connection::Phase::kClosing: {
            char sink[4096];
            for (int i = 0; i < 16; ++i) {
                const ssize_t n = ::recv(c.fd.get(), sink, sizeof sink, 0);
                if (n < 0 && (errno == EAGAIN || errno == EINTR))
                    return true;
                if (n <= 0)
                    return false;
            }
            return true;
        }
        }
    }
}

bool WebServer::ReadRequest(Connection& c, int64_t nowMs)
{
    char buffer[4096];
    while (c.received.size() <= kMaxRequestHead) {
        ssize_t n;
        if (c.tls) {
            const int result = SSL_read(c.ssl.get(), buffer, sizeof buffer);
            n = result;
            if (result <= 0) {
                const int why = SSL_get_error(c.ssl.get(), result);
                if (why == SSL_ERROR_WANT_READ || why == SSL_ERROR_WANT_WRITE) {
                    c.wantWrite = why == SSL_ERROR_WANT_WRITE;
                    return true;
                }
                TakeTlsError();
                n = 0;  // the client is gone, politely or not
            }
        } else {
            n = ::recv(c.fd.get(), buffer, sizeof buffer, 0);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                c.wantWrite = false;
                return true;
            }
        }
        if (n <= 0) {
            LogFailure(c, nowMs, c.received.empty() ? "closed before a request" : "closed in the middle of a request");
            return false;
        }
        c.received.append(buffer, static_cast<size_t>(n));
        if (ParseRequestHead(c.received).status != RequestHead::Status::kIncomplete)
            break;
    }
    Answer(c, nowMs);
    return true;
}

void WebServer::Answer(Connection& c, int64_t nowMs)
{
    const RequestHead head = ParseRequestHead(c.received);
    ordered_json line;
    line["t_ms"] = nowMs - startMs_;
    line["scheme"] = c.Scheme();
    line["device"] = c.address;
    line["client"] = c.client;
    int status = 200;
    std::string body;
    auto site = sites_.find(c.address);
    if (head.status == RequestHead::Status::kBad) {
        status = head.errorStatus;
        line["error"] = head.error;
    } else {
        line["method"] = head.method;
        line["path"] = head.target;
        if (!head.userAgent.empty())
            line["userAgent"] = head.userAgent;
        if (head.method != "GET" && head.method != "HEAD") {
            status = 405;
        } else if (site == sites_.end()) {
            // The device went away between the connection and its request.
            line["error"] = "device gone";
            status = 0;
        } else {
            body = RenderPage(site->second, c.Scheme());
        }
    }
    if (site != sites_.end())
        line["name"] = std::string(site->second.name.begin(), site->second.name.end());
    if (status != 0)
        line["status"] = status;
    log_.Write(line);
    if (status == 0) {
        c.answer.clear();
    } else {
        if (status != 200)
            body = "<!DOCTYPE html>\n<html><body>" + std::to_string(status) + "</body></html>\n";
        c.answer = RenderResponse(status, body, head.method == "HEAD");
    }
    c.phase = Connection::Phase::kAnswer;
    c.wantWrite = true;
}

void WebServer::LogFailure(const Connection& c, int64_t nowMs, const std::string& why)
{
    ordered_json line;
    line["t_ms"] = nowMs - startMs_;
    line["scheme"] = c.Scheme();
    line["device"] = c.address;
    line["client"] = c.client;
    line["error"] = why;
    log_.Write(line);
}

}  // namespace devsim
