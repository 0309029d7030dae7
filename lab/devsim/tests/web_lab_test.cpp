// The simulated devices' web pages, fetched across the lab's veth pairs with a client of
// its own (plain sockets, OpenSSL for https). Started by `lab/lab run --sim
// default.json -- devsim_web_client`; refuses to connect anywhere outside a lab.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <openssl/ssl.h>

#include "lab_client_env.h"

namespace {

using json = nlohmann::json;

// The client namespace's first interface: the pages are fetched through lan0.
const lab_client::LabInterface kLabInterfaces[1] = {{"lan0", "198.51.100.1"}};

using lab_client::Env;
using lab_client::NowMs;

class Socket {
public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    Socket(Socket&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Socket(const Socket&) = delete;
    ~Socket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

struct Connected {
    Socket socket;
    int error = 0;  // errno of a failed connect
    int64_t tookMs = 0;
};

Connected Connect(const std::string& address, int port)
{
    Connected c{Socket(socket(AF_INET, SOCK_STREAM, 0))};
    timeval limit{5, 0};
    setsockopt(c.socket.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    setsockopt(c.socket.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    const int64_t start = NowMs();
    if (connect(c.socket.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
        c.error = errno;
    c.tookMs = NowMs() - start;
    return c;
}

struct Fetched {
    int error = 0;  // errno of the connect
    std::string response;
};

// Sends `request` and reads until the server closes.
Fetched Fetch(const std::string& address, bool tls, const std::string& request)
{
    Connected c = Connect(address, tls ? 443 : 80);
    Fetched f{c.error, {}};
    if (c.error)
        return f;
    char buffer[4096];
    if (!tls) {
        send(c.socket.get(), request.data(), request.size(), MSG_NOSIGNAL);
        for (ssize_t n; (n = recv(c.socket.get(), buffer, sizeof buffer, 0)) > 0;)
            f.response.append(buffer, size_t(n));
        return f;
    }
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    SSL* ssl = SSL_new(context);  // the lab's certificate is self-signed: not verified
    SSL_set_fd(ssl, c.socket.get());
    if (SSL_connect(ssl) == 1) {
        SSL_write(ssl, request.data(), int(request.size()));
        for (int n; (n = SSL_read(ssl, buffer, sizeof buffer)) > 0;)
            f.response.append(buffer, size_t(n));
    }
    SSL_free(ssl);
    SSL_CTX_free(context);
    return f;
}

std::string Get(const std::string& address, bool tls = false)
{
    return Fetch(address, tls, "GET / HTTP/1.1\r\nHost: " + address + "\r\nUser-Agent: web-lab-test\r\n\r\n").response;
}

std::vector<json> Log()
{
    std::vector<json> lines;
    std::ifstream in(Env("KAVRON_SIM_LOG"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(json::parse(line, nullptr, false));
    return lines;
}

std::vector<json> WebLog(const std::string& device)
{
    std::vector<json> lines;
    for (const json& line : Log()) {
        if (line.contains("scheme") && line.value("device", "") == device)
            lines.push_back(line);
    }
    return lines;
}

json DefaultConfig()
{
    std::ifstream in(DEVSIM_DEFAULT_CONFIG);
    return json::parse(in, nullptr, false);
}

std::string Ack()
{
    std::ifstream in(Env("KAVRON_SIM_CONFIG") + ".ack");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int generation = 500;

void Apply(json config)
{
    config["generation"] = ++generation;
    const std::string path = Env("KAVRON_SIM_CONFIG");
    std::ofstream(path + ".next") << config.dump();
    ASSERT_EQ(rename((path + ".next").c_str(), path.c_str()), 0);
    for (const int64_t until = NowMs() + 5000; Ack() != std::to_string(generation) && NowMs() < until;)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(Ack(), std::to_string(generation));
}

// A setting request (opcode 5) that gives a device a new address, sent to the group on lan1.
void MoveDevice(const std::string& identity, const std::string& from, const std::string& to)
{
    std::vector<uint8_t> b{5, 0xc1, 0x1e, 0x47, 0x77, 1, 2, 0, 0, 0, 0};
    for (size_t i = 0; i < identity.size(); i += 2)
        b.push_back(uint8_t(std::stoi(identity.substr(i, 2), nullptr, 16)));
    in_addr address{};
    inet_pton(AF_INET, from.c_str(), &address);
    const auto* p = reinterpret_cast<const uint8_t*>(&address);
    b.insert(b.end(), p, p + 4);
    b.insert(b.end(), {1, 0, 0});  // sub-code 1, two zero bytes
    const std::string mask = "255.255.255.0";
    std::vector<uint8_t> fields(32, 0);
    std::copy(mask.begin(), mask.end(), fields.begin());
    b.insert(b.end(), fields.begin(), fields.end());
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(to.size() >> (8 * i)));
    b.insert(b.end(), to.begin(), to.end());

    Socket s(socket(AF_INET, SOCK_DGRAM, 0));
    in_addr lan1{};
    inet_pton(AF_INET, "203.0.113.1", &lan1);
    setsockopt(s.get(), IPPROTO_IP, IP_MULTICAST_IF, &lan1, sizeof lan1);
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(13579);
    inet_pton(AF_INET, "224.0.0.1", &group.sin_addr);
    ASSERT_EQ(sendto(s.get(), b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group),
              ssize_t(b.size()));
}

class WebLab : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lab_client::InsideLab(kLabInterfaces))
            << "run me through lab/lab run --sim ...: I connect only inside a lab";
        Apply(DefaultConfig());
    }
};

TEST_F(WebLab, EachDeviceServesAPageNamingItOverHttpAndHttpsWhenSslIsOn)
{
    const std::string office = Get("198.51.100.20");
    EXPECT_EQ(office.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << office;
    EXPECT_NE(office.find("<title>Kavron device Office Storage</title>"), std::string::npos) << office;
    EXPECT_NE(office.find("device-address: 198.51.100.20\n"), std::string::npos);
    EXPECT_NE(office.find("device-identity: 02a1b2c3d4e5\n"), std::string::npos);
    EXPECT_NE(Get("203.0.113.40").find("<title>Kavron device Backup Vault</title>"), std::string::npos);

    // SSL "1": the same page with TLS on 443; SSL "0": nothing listens on 443.
    const std::string media = Get("198.51.100.31", true);
    EXPECT_NE(media.find("<title>Kavron device Living Room Media</title>"), std::string::npos) << media;
    EXPECT_NE(media.find("device-scheme: https\n"), std::string::npos);
    EXPECT_EQ(Fetch("198.51.100.20", true, "").error, ECONNREFUSED);

    const std::vector<json> lines = WebLog("198.51.100.31");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back()["scheme"], "https");
    EXPECT_EQ(lines.back()["path"], "/");
    EXPECT_EQ(lines.back()["status"], 200);
    EXPECT_EQ(lines.back()["name"], "Living Room Media");
    EXPECT_EQ(lines.back()["userAgent"], "web-lab-test");
    EXPECT_EQ(lines.back()["client"].get<std::string>().rfind("198.51.100.1:", 0), 0u);
}

TEST_F(WebLab, RemovedDeviceRefusesAtOnceAndAnAddressChangeMovesThePage)
{
    // Reached once, so the client knows the device's link address when it goes away.
    ASSERT_NE(Get("198.51.100.31").find("Living Room Media"), std::string::npos);
    json config = DefaultConfig();
    config["devices"].erase(1);
    Apply(config);
    const Connected gone = Connect("198.51.100.31", 80);
    EXPECT_EQ(gone.error, ECONNREFUSED);
    EXPECT_LT(gone.tookMs, 500);
    EXPECT_EQ(Connect("198.51.100.31", 443).error, ECONNREFUSED);

    // A setting moves the fixed-address device; its page follows it.
    MoveDevice("02a1b2c3a840", "203.0.113.40", "203.0.113.41");
    // The simulator logs the setting once the device has its new address.
    bool applied = false;
    for (const int64_t until = NowMs() + 3000; !applied && NowMs() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const json& line : Log())
            applied = applied ||
                      line.value("effects", json::array()).dump().find("address 203.0.113.41") != std::string::npos;
    }
    ASSERT_TRUE(applied);
    const std::string moved = Get("203.0.113.41");
    EXPECT_NE(moved.find("<title>Kavron device Backup Vault</title>"), std::string::npos) << moved;
    EXPECT_NE(moved.find("device-address: 203.0.113.41\n"), std::string::npos);
    EXPECT_EQ(Connect("203.0.113.40", 80).error, ECONNREFUSED);

    // The next configuration brings the device back where it was configured.
    Apply(DefaultConfig());
    EXPECT_NE(Get("203.0.113.40").find("device-address: 203.0.113.40\n"), std::string::npos);
    EXPECT_NE(Get("198.51.100.31", true).find("Living Room Media"), std::string::npos);
}

TEST_F(WebLab, SlowMalformedAndTooManyClientsStallNobody)
{
    // Silent clients, one with half a request and one stuck in the TLS handshake.
    std::vector<Connected> idle;
    for (int i = 0; i < 3; ++i)
        idle.push_back(Connect("198.51.100.20", 80));
    send(idle[0].socket.get(), "GET / HT", 8, MSG_NOSIGNAL);
    idle.push_back(Connect("198.51.100.31", 443));
    send(idle.back().socket.get(), "\x16\x03\x01", 3, MSG_NOSIGNAL);

    const int64_t start = NowMs();
    EXPECT_NE(Get("198.51.100.20").find("Office Storage"), std::string::npos);
    EXPECT_EQ(Fetch("198.51.100.20", false, "\x01\x02garbage\r\n\r\n").response.rfind("HTTP/1.1 400 ", 0), 0u);
    EXPECT_EQ(Fetch("198.51.100.20", false, "GET / HTTP/1.1\r\nX: " + std::string(9000, 'a'))
                  .response.rfind("HTTP/1.1 431 ", 0),
              0u);
    EXPECT_EQ(Fetch("198.51.100.20", false, "POST / HTTP/1.1\r\n\r\n").response.rfind("HTTP/1.1 405 ", 0), 0u);
    EXPECT_LT(NowMs() - start, 1000) << "the idle clients held nobody up";

    // Past the connection limit, the simulator resets new clients instead of queueing them.
    std::vector<Connected> crowd;
    for (int i = 0; i < 40; ++i)
        crowd.push_back(Connect("198.51.100.20", 80));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int reset = 0;
    for (Connected& c : crowd) {
        char byte;
        reset += recv(c.socket.get(), &byte, 1, MSG_DONTWAIT) == -1 && errno == ECONNRESET;
    }
    EXPECT_EQ(reset, 40 + int(idle.size()) - 32);
    crowd.clear();

    // The idle clients are let go after the request deadline, and the page is served again.
    for (Connected& c : idle) {
        timeval limit{8, 0};
        setsockopt(c.socket.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char byte;
        EXPECT_LE(recv(c.socket.get(), &byte, 1, 0), 0);
    }
    EXPECT_GE(NowMs() - start, 4500);
    EXPECT_NE(Get("198.51.100.20").find("Office Storage"), std::string::npos);
    int timedOut = 0;
    for (const json& line : WebLog("198.51.100.20"))
        timedOut += line.value("error", "") == "no request in time";
    EXPECT_GE(timedOut, 3);
}

}  // namespace
