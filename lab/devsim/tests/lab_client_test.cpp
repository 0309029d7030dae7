// Talks to the real simulator across the lab's veth pairs with a small client of its own.
// Started by `lab/lab run --sim default.json -- devsim_lab_client`: it runs in the lab's
// client namespace (198.51.100.1 on lan0, 203.0.113.1 on lan1) and refuses to send
// anything anywhere else.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

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

#include "lab_client_env.h"

namespace {

using json = nlohmann::json;
using Bytes = std::vector<uint8_t>;

// The client namespace's two interfaces, as lab/lab makes them.
const lab_client::LabInterface kLabInterfaces[2] = {{"lan0", "198.51.100.1"}, {"lan1", "203.0.113.1"}};

using lab_client::Env;
using lab_client::NowMs;

struct Received {
    Bytes bytes;
    int64_t atMs;
    std::string destination;
};

Bytes Hex(const std::string& hex)
{
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const Bytes& b, size_t from = 0, size_t count = SIZE_MAX)
{
    std::string out;
    char buf[3];
    for (size_t i = from; i < b.size() && i - from < count; ++i) {
        snprintf(buf, sizeof buf, "%02x", b[i]);
        out += buf;
    }
    return out;
}

std::string Text(const Bytes& b, size_t at)
{
    std::string s;
    while (at < b.size() && b[at])
        s.push_back(char(b[at++]));
    return s;
}

uint32_t Le32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

std::string AddressAt(const Bytes& b, size_t at)
{
    return std::to_string(b[at]) + "." + std::to_string(b[at + 1]) + "." + std::to_string(b[at + 2]) + "." +
           std::to_string(b[at + 3]);
}

class LabClient : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        inLab_ = lab_client::InsideLab(kLabInterfaces);
        if (!inLab_)
            return;
        for (int i = 0; i < 2; ++i) {
            // Receives what arrives on one port for 224.0.0.1:13579 or our own address:13579.
            int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
            const int one = 1, zero = 0;
            setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
            setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, kLabInterfaces[i].name,
                       socklen_t(strlen(kLabInterfaces[i].name)));
            setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &zero, sizeof zero);
            setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(13579);
            bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any);
            ip_mreq m{};
            inet_pton(AF_INET, "224.0.0.1", &m.imr_multiaddr);
            inet_pton(AF_INET, kLabInterfaces[i].address, &m.imr_interface);
            setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
            receive_[i] = fd;
        }
        send_ = socket(AF_INET, SOCK_DGRAM, 0);
        const unsigned char loop = 0;
        setsockopt(send_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
    }

    static void TearDownTestSuite()
    {
        for (int& fd : receive_)
            close(fd);
        close(send_);
    }

    void SetUp() override
    {
        ASSERT_TRUE(inLab_) << "run me through lab/lab run --sim ...: I send only inside a lab";
        Drain(0), Drain(1);
    }

    void Send(int port, const Bytes& datagram)
    {
        in_addr from{};
        inet_pton(AF_INET, kLabInterfaces[port].address, &from);
        setsockopt(send_, IPPROTO_IP, IP_MULTICAST_IF, &from, sizeof from);
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_port = htons(13579);
        inet_pton(AF_INET, "224.0.0.1", &group.sin_addr);
        ASSERT_EQ(sendto(send_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group),
                  ssize_t(datagram.size()));
    }

    // Everything that arrives on a port within `ms`, with arrival times relative to now.
    std::vector<Received> Collect(int port, int ms)
    {
        std::vector<Received> out;
        const int64_t start = NowMs();
        for (int64_t left = ms; left > 0; left = start + ms - NowMs()) {
            pollfd p{receive_[port], POLLIN, 0};
            if (poll(&p, 1, int(left)) <= 0)
                continue;
            Bytes buffer(8192);
            char control[64];
            iovec iov{buffer.data(), buffer.size()};
            msghdr msg{};
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = recvmsg(receive_[port], &msg, 0);
            if (n < 0)
                continue;
            buffer.resize(size_t(n));
            std::string destination;
            for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                    in_pktinfo info;
                    memcpy(&info, CMSG_DATA(c), sizeof info);
                    char text[INET_ADDRSTRLEN];
                    inet_ntop(AF_INET, &info.ipi_addr, text, sizeof text);
                    destination = text;
                }
            }
            out.push_back(Received{buffer, NowMs() - start, destination});
        }
        return out;
    }

    void Drain(int port) { Collect(port, 30); }

    // Writes a configuration the way tests are told to (temporary name, rename) and waits
    // for its acknowledgement.
    static void WriteConfig(const std::string& text)
    {
        const std::string path = Env("KAVRON_SIM_CONFIG");
        std::ofstream(path + ".next") << text;
        ASSERT_EQ(rename((path + ".next").c_str(), path.c_str()), 0);
    }

    static std::string Ack()
    {
        std::ifstream in(Env("KAVRON_SIM_CONFIG") + ".ack");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    void Apply(json config)
    {
        config["generation"] = ++generation_;
        WriteConfig(config.dump());
        const int64_t until = NowMs() + 5000;
        while (Ack() != std::to_string(generation_) && NowMs() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(Ack(), std::to_string(generation_));
    }

    static json DefaultConfig()
    {
        std::ifstream in(DEVSIM_DEFAULT_CONFIG);
        return json::parse(in, nullptr, false);
    }

    static std::vector<json> Log()
    {
        std::vector<json> lines;
        std::ifstream in(Env("KAVRON_SIM_LOG"));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(json::parse(line, nullptr, false));
            EXPECT_FALSE(lines.back().is_discarded()) << line;
        }
        return lines;
    }

    // Requests carry a ClientId per test, so each test finds its own lines in the log.
    static Bytes ClientId(uint8_t tag) { return Bytes{0xc1, 0x1e, 0x47, tag, 0x01, 0x02, 0, 0, 0, 0}; }

    static Bytes Discovery(const Bytes& client)
    {
        Bytes b{1};
        b.insert(b.end(), client.begin(), client.end());
        return b;
    }

    static Bytes Addressed(uint8_t opcode, const Bytes& client, const std::string& identity, const std::string& address,
                           uint8_t subcode, const std::string& data, const std::string& netmask = "",
                           const std::string& gateway = "")
    {
        Bytes b{opcode};
        b.insert(b.end(), client.begin(), client.end());
        Bytes id = Hex(identity);
        in_addr a{};
        inet_pton(AF_INET, address.c_str(), &a);
        const auto* p = reinterpret_cast<const uint8_t*>(&a.s_addr);
        id.insert(id.end(), p, p + 4);
        b.insert(b.end(), id.begin(), id.end());
        b.push_back(subcode), b.push_back(0), b.push_back(0);
        if (opcode == 5) {
            for (const std::string* t : {&netmask, &gateway}) {
                Bytes field(16, 0);
                std::copy(t->begin(), t->end(), field.begin());
                b.insert(b.end(), field.begin(), field.end());
            }
        }
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(data.size() >> (8 * i)));
        b.insert(b.end(), data.begin(), data.end());
        return b;
    }

    static bool inLab_;
    static int receive_[2];
    static int send_;
    static int generation_;
};

bool LabClient::inLab_ = false;
int LabClient::receive_[2] = {-1, -1};
int LabClient::send_ = -1;
int LabClient::generation_ = 100;

const std::string kZkm = "02a1b2c3d4e5";
const std::string kVault = "02a1b2c3a840";

TEST_F(LabClient, DefaultDevicesAnswerDiscoveryOnTheirInterfaces)
{
    Apply(DefaultConfig());
    const Bytes client = ClientId(1);
    Send(0, Discovery(client));
    std::vector<Received> lan0 = Collect(0, 300);
    Send(1, Discovery(client));
    std::vector<Received> lan1 = Collect(1, 300);

    ASSERT_EQ(lan0.size(), 2u);
    ASSERT_EQ(lan1.size(), 2u);
    for (const auto* set : {&lan0, &lan1}) {
        for (const Received& r : *set) {
            EXPECT_EQ(ToHex(r.bytes, 1, 10), ToHex(client)) << "ClientId echoed";
            EXPECT_EQ(r.destination, "224.0.0.1");
        }
    }
    // The two-port device answers on both ports, with the full layout.
    for (const auto* set : {&lan0, &lan1}) {
        const Bytes& zkm = (*set)[0].bytes[0] == 8 ? (*set)[0].bytes : (*set)[1].bytes;
        ASSERT_EQ(zkm[0], 8);
        EXPECT_EQ(ToHex(zkm, 11, 6), kZkm);
        EXPECT_EQ(AddressAt(zkm, 17), "198.51.100.20");
        EXPECT_EQ(zkm[21], '0');
        EXPECT_EQ(Text(zkm, 24), "255.255.255.0");
        EXPECT_EQ(Text(zkm, 40), "198.51.100.1");
        EXPECT_EQ(zkm[56], 3);
        EXPECT_EQ(zkm[57], 3);
        EXPECT_EQ(Text(zkm, 68), "ZKM-150");
        ASSERT_EQ(Le32(zkm, 100), 14u);
        EXPECT_EQ(std::string(zkm.begin() + 104, zkm.end()), "Office Storage");
    }
    const Bytes& media = lan0[0].bytes[0] == 7 ? lan0[0].bytes : lan0[1].bytes;
    ASSERT_EQ(media[0], 7);
    EXPECT_EQ(media[21], '1');
    EXPECT_EQ(Le32(media, 68), media.size() - 72);
    const Bytes& vault = lan1[0].bytes[0] == 2 ? lan1[0].bytes : lan1[1].bytes;
    ASSERT_EQ(vault[0], 2);
    EXPECT_EQ(AddressAt(vault, 17), "203.0.113.40");
    EXPECT_EQ(Text(vault, 40), "");
    EXPECT_EQ(std::string(vault.begin() + 60, vault.end()), "Backup Vault");

    // Every request is logged on arrival, every reply when it leaves.
    int requests = 0, sent = 0;
    for (const json& line : Log()) {
        if (line.value("clientId", "") == ToHex(client) && line.value("opcode", 0) == 1) {
            ++requests;
            EXPECT_EQ(line["from"].get<std::string>().rfind(
                          line["iface"] == "198.51.100.2" ? "198.51.100.1:" : "203.0.113.1:", 0),
                      0u);
            EXPECT_EQ(line["len"], 11);
            EXPECT_EQ(line["hex"], ToHex(Discovery(client)));
            EXPECT_FALSE(line.contains("subcode"));
        }
        if (line.value("sent", false) && line.value("hex", "").find(ToHex(client)) == 2) {
            ++sent;
            EXPECT_EQ(line["to"], "224.0.0.1:13579");
        }
    }
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(sent, 4);
}

TEST_F(LabClient, QueriesAndAnAddressChangeOverTheWire)
{
    Apply(DefaultConfig());
    const Bytes client = ClientId(2);
    Send(0, Addressed(3, client, kZkm, "198.51.100.20", 3, ""));
    std::vector<Received> got = Collect(0, 300);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].bytes[0], 4);
    EXPECT_EQ(ToHex(got[0].bytes, 21, 7), "00000000000000");
    EXPECT_EQ(std::string(got[0].bytes.begin() + 28, got[0].bytes.end()), "HDD_1:USB1:B\xc3\xbcrodaten:Scans");

    Send(0, Addressed(3, client, kZkm, "198.51.100.20", 4, std::string("admin\x55\xaa", 7)));
    got = Collect(0, 300);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(ToHex(got[0].bytes, 28), "01");

    // The fixed-address device moves; afterwards only its new DeviceId reaches it.
    Send(1, Addressed(5, client, kVault, "203.0.113.40", 1, "203.0.113.41", "255.255.255.0", ""));
    got = Collect(1, 300);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].bytes.size(), 21u);
    EXPECT_EQ(got[0].bytes[0], 6);
    EXPECT_EQ(AddressAt(got[0].bytes, 17), "203.0.113.41");
    Send(1, Addressed(3, client, kVault, "203.0.113.40", 12, ""));
    EXPECT_TRUE(Collect(1, 300).empty());
    Send(1, Addressed(3, client, kVault, "203.0.113.41", 12, ""));
    got = Collect(1, 300);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(std::string(got[0].bytes.begin() + 28, got[0].bytes.end()), "HDD_1");

    bool logged = false;
    for (const json& line : Log()) {
        if (line.value("clientId", "") == ToHex(client) && line.value("opcode", 0) == 5) {
            logged = true;
            EXPECT_EQ(line["subcode"], 1);
            EXPECT_EQ(line["deviceId"], kVault + "cb007128");
        }
    }
    EXPECT_TRUE(logged);
}

TEST_F(LabClient, DelaysUnicastRepliesDoublesAndNoise)
{
    json config = {{"interfaces", {"198.51.100.2", "203.0.113.2"}},
                   {"devices",
                    {{{"identity", "0a0000000001"},
                      {"address", "198.51.100.50"},
                      {"layout", 2},
                      {"name", "slow"},
                      {"reply", "unicast"},
                      {"delayMs", 400},
                      {"on", {"198.51.100.2"}}},
                     {{"identity", "0a0000000002"},
                      {"address", "198.51.100.51"},
                      {"layout", 2},
                      {"name", "twice"},
                      {"answerTwice", true},
                      {"on", {"198.51.100.2"}}},
                     {{"identity", "0a0000000003"},
                      {"address", "198.51.100.52"},
                      {"layout", 2},
                      {"name", "stranger"},
                      {"foreignClientId", true},
                      {"on", {"198.51.100.2"}},
                      {"noise", {{"opcode", 9}, {"count", 5}, {"intervalMs", 30}}}}}}};
    Apply(config);
    const Bytes client = ClientId(3);
    Send(0, Discovery(client));
    const std::vector<Received> got = Collect(0, 700);

    std::vector<const Received*> slow, twice, stranger, noise;
    for (const Received& r : got) {
        if (r.bytes[0] == 9) {
            noise.push_back(&r);
            continue;
        }
        const std::string name(r.bytes.begin() + 60, r.bytes.end());
        (name == "slow" ? slow : name == "twice" ? twice : stranger).push_back(&r);
    }
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_GE(slow[0]->atMs, 350);  // the wait of one device holds up nobody else
    EXPECT_EQ(slow[0]->destination, "198.51.100.1") << "unicast to the asker, port 13579";
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_EQ(twice[0]->bytes, twice[1]->bytes);
    EXPECT_LT(twice[0]->atMs, 200);
    ASSERT_EQ(stranger.size(), 1u);
    for (int i = 1; i <= 6; ++i)
        EXPECT_NE(stranger[0]->bytes[i], client[i - 1]);
    ASSERT_EQ(noise.size(), 5u);
    for (const Received* n : noise) {
        EXPECT_EQ(n->bytes.size(), 60u);
        EXPECT_EQ(ToHex(n->bytes, 1), std::string(118, '0'));
    }
    EXPECT_GE(noise.back()->atMs - noise.front()->atMs, 60) << "spread out, not one burst";
}

TEST_F(LabClient, BadConfigurationKeepsThePreviousOneAndGetsNoAck)
{
    Apply(DefaultConfig());
    const std::string before = Ack();
    WriteConfig(R"({"generation": )" + std::to_string(generation_ + 1) +
                R"(, "interfaces": ["198.51.100.2"], "devicez": []})");
    // The refusal is reported on stderr, which the lab keeps in devsim.out.
    std::string report;
    for (const int64_t until = NowMs() + 3000; report.find("devicez") == std::string::npos && NowMs() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream out(Env("KAVRON_LAB_DIR") + "/devsim.out");
        std::stringstream text;
        text << out.rdbuf();
        report = text.str();
    }
    EXPECT_NE(report.find("configuration not applied"), std::string::npos) << report;
    EXPECT_NE(report.find("devicez"), std::string::npos) << report;
    EXPECT_EQ(Ack(), before);

    Send(1, Discovery(ClientId(4)));
    EXPECT_EQ(Collect(1, 300).size(), 2u) << "the previous devices still answer";

    // A good file after the bad one is applied: only the one device remains.
    json one = DefaultConfig();
    one["devices"] = json::array({one["devices"][2]});
    Apply(one);
    Send(1, Discovery(ClientId(4)));
    const std::vector<Received> got = Collect(1, 300);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(AddressAt(got[0].bytes, 17), "203.0.113.40");
}

TEST_F(LabClient, MalformedDatagramsAreLoggedAndIgnored)
{
    Apply(DefaultConfig());
    const Bytes client = ClientId(5);
    Bytes truncated = Addressed(3, client, kZkm, "198.51.100.20", 3, "");
    truncated.pop_back();
    Bytes lying = Addressed(3, client, kZkm, "198.51.100.20", 3, "ab");
    lying[24] = 0xff;
    Bytes oversized = Discovery(client);
    oversized.resize(5000, 0x01);
    Bytes unknown = Discovery(client);
    unknown[0] = 42;
    for (const Bytes* b : {&truncated, &lying, &oversized, &unknown})
        Send(0, *b);
    EXPECT_TRUE(Collect(0, 300).empty());
    Send(0, Discovery(client));
    EXPECT_EQ(Collect(0, 300).size(), 2u) << "still answering";

    int ignored = 0;
    for (const json& line : Log()) {
        if (line.value("clientId", "") == ToHex(client) && line.contains("ignored")) {
            ++ignored;
            if (line["len"] == 5000) {
                EXPECT_EQ(line["hex"].get<std::string>().size(), 8192u);
            }
        }
    }
    EXPECT_EQ(ignored, 4);
}

}  // namespace
