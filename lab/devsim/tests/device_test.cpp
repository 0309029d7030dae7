// What a device answers, request by request, and how settings change what it answers next.
#include <gtest/gtest.h>

#include <string>

#include "config.h"
#include "device.h"
#include "port_table.h"

namespace devsim {
namespace {

const ClientId kClient{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};

DeviceConfig Config(const std::string& extra = "")
{
    const ConfigResult r = ParseConfig(
        R"({"generation": 1, "interfaces": ["198.51.100.2"], "devices": [{"identity": "02a1b2c3d4e5",
          "address": "198.51.100.20", "netmask": "255.255.255.0", "gateway": "198.51.100.1",
          "name": "Office", "dhcpAddress": "198.51.100.77")" +
        (extra.empty() ? "" : ", " + extra) + "}]}");
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok ? r.config.devices.at(0) : DeviceConfig{};
}

DeviceId Id(Ipv4 address)
{
    return DeviceId{0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, address[0], address[1], address[2], address[3]};
}
const DeviceId kId = Id({198, 51, 100, 20});

Request Discovery()
{
    Request r;
    r.opcode = kDiscoveryRequest;
    r.clientId = kClient;
    return r;
}

Request Query(uint8_t subcode, DeviceId id = kId, Bytes data = {})
{
    Request r;
    r.opcode = kQueryRequest;
    r.clientId = kClient;
    r.deviceId = id;
    r.subcode = subcode;
    r.data = std::move(data);
    return r;
}

Request Setting(uint8_t subcode, DeviceId id, Bytes data = {}, std::string netmask = "", std::string gateway = "")
{
    Request r = Query(subcode, id, std::move(data));
    r.opcode = kSettingRequest;
    r.netmask = std::move(netmask);
    r.gateway = std::move(gateway);
    return r;
}

std::string Value(const Answer& a)
{
    EXPECT_TRUE(a.hasReply);
    EXPECT_GE(a.reply.size(), 28u);
    if (a.reply.size() < 28)
        return {};
    return std::string(a.reply.begin() + 28, a.reply.end());
}

DeviceId ReplyId(const Answer& a)
{
    DeviceId id{};
    if (a.reply.size() >= 21)
        std::copy(a.reply.begin() + 11, a.reply.begin() + 21, id.begin());
    return id;
}

// The 120-byte table as the utility sends it: LAN1 record at 0, LAN2 at 60, each with
// name (10), address (16), netmask (16), gateway (16) and DHCP flag (2).
Bytes Table(const std::string& lan1Address, const std::string& lan1Dhcp)
{
    Bytes out(kPortTableSize, 0);
    auto put = [&out](size_t at, const std::string& s) {
        std::copy(s.begin(), s.end(), out.begin() + static_cast<long>(at));
    };
    put(0, "LAN1"), put(10, lan1Address), put(26, "255.255.0.0"), put(58, lan1Dhcp);
    put(60, "LAN2"), put(70, "203.0.113.20"), put(86, "255.255.255.0"), put(102, "203.0.113.1"), put(118, "1");
    return out;
}

TEST(Device, DiscoveryReplyEchoesTheClientAndCarriesTheDeviceId)
{
    Device d(Config(R"("layout": 7, "selectors": [3, 4], "delayMs": 250)"));
    const Answer a = d.Handle(Discovery());
    ASSERT_TRUE(a.engaged && a.hasReply);
    EXPECT_EQ(a.reply[0], 7);
    EXPECT_TRUE(std::equal(kClient.begin(), kClient.end(), a.reply.begin() + 1));
    EXPECT_EQ(ReplyId(a), kId);
    EXPECT_EQ(a.reply[56], 3);
    EXPECT_EQ(a.reply[57], 4);
    EXPECT_EQ(a.delayMs, 250u);
}

TEST(Device, ForeignClientIdDiffersInEveryComparedByte)
{
    Device d(Config(R"("foreignClientId": true)"));
    for (const Answer& a : {d.Handle(Discovery()), d.Handle(Query(3)), d.Handle(Setting(10, kId))}) {
        ASSERT_TRUE(a.hasReply);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_NE(a.reply[1 + i], kClient[i]) << i;
        for (size_t i = 6; i < 10; ++i)
            EXPECT_EQ(a.reply[1 + i], kClient[i]) << i;
    }
}

TEST(Device, QueriesAnswerOnlyTheirDeviceUnlessAnswerAll)
{
    const DeviceId other = Id({198, 51, 100, 99});
    Device plain(Config(R"("values": {"3": "HDD_1:USB1"})"));
    EXPECT_FALSE(plain.Handle(Query(3, other)).engaged);
    EXPECT_EQ(Value(plain.Handle(Query(3))), "HDD_1:USB1");

    Device greedy(Config(R"("answerAll": true, "values": {"3": "HDD_1"})"));
    const Answer a = greedy.Handle(Query(3, other));
    ASSERT_TRUE(a.engaged);
    EXPECT_EQ(ReplyId(a), kId);  // its own id: a "wrong device" reply
    EXPECT_EQ(Value(a), "HDD_1");
    // answerAll is about queries only; settings still need the right DeviceId.
    EXPECT_FALSE(greedy.Handle(Setting(10, other)).engaged);
}

TEST(Device, ValuesRawBytesAndMissingValues)
{
    Device d(Config(R"("values": {"19": "1"}, "valuesHex": {"3": "e697a53a00ff"})"));
    EXPECT_EQ(Value(d.Handle(Query(19))), "1");
    EXPECT_EQ(Value(d.Handle(Query(3))), std::string("\xe6\x97\xa5:\x00\xff", 6));
    const Answer empty = d.Handle(Query(18));
    EXPECT_EQ(empty.reply.size(), 28u);  // an empty value is answered, not ignored
    EXPECT_EQ(Value(d.Handle(Query(77))), "");
}

TEST(Device, AdministratorCheckComparesTheWholeData)
{
    auto data = [](const std::string& user, const std::string& password) {
        Bytes b = ToBytes(user);
        b.push_back(0x55);
        b.push_back(0xAA);
        const Bytes p = ToBytes(password);
        b.insert(b.end(), p.begin(), p.end());
        return b;
    };
    Device open(Config());  // admin with an empty password, verdict 1
    EXPECT_EQ(Value(open.Handle(Query(4, kId, data("admin", "")))), "\x01");
    EXPECT_EQ(Value(open.Handle(Query(4, kId, data("admin", "x")))), std::string(1, '\0'));
    EXPECT_EQ(Value(open.Handle(Query(4, kId, ToBytes("admin")))), std::string(1, '\0'));

    Device locked(Config(R"("admin": {"user": "root", "password": "s3cret", "verdict": 200})"));
    EXPECT_EQ(Value(locked.Handle(Query(4, kId, data("root", "s3cret")))), "\xc8");
    EXPECT_EQ(Value(locked.Handle(Query(4, kId, data("admin", "")))), std::string(1, '\0'));
    EXPECT_EQ(Value(locked.Handle(Query(4, kId, data("root", "s3cre")))), std::string(1, '\0'));
    EXPECT_EQ(Value(locked.Handle(Query(4, kId, data("root", "s3cret!")))), std::string(1, '\0'));
}

TEST(Device, UnansweredSubcodesAndDelays)
{
    Device d(Config(R"("unanswered": [19, 1], "delayMs": 100, "subcodeDelayMs": {"3": 1500, "10": 5})"));
    Answer a = d.Handle(Query(19));
    EXPECT_TRUE(a.engaged);
    EXPECT_FALSE(a.hasReply);
    EXPECT_EQ(d.Handle(Query(3)).delayMs, 1500u);
    EXPECT_EQ(d.Handle(Query(9)).delayMs, 100u);
    EXPECT_EQ(d.Handle(Setting(10, kId)).delayMs, 5u);
    // An unanswered address change is not applied either.
    a = d.Handle(Setting(1, kId, ToBytes("198.51.100.30")));
    EXPECT_TRUE(a.engaged);
    EXPECT_FALSE(a.hasReply);
    EXPECT_EQ(d.AddressText(), "198.51.100.20");
}

TEST(Device, AddressChangeMovesTheDeviceToItsNewId)
{
    Device d(Config(R"("dhcp": "1", "values": {"3": "HDD_1"})"));
    const Answer a = d.Handle(Setting(1, kId, ToBytes("198.51.100.30"), "255.255.0.0", "198.51.100.254"));
    ASSERT_TRUE(a.hasReply);
    EXPECT_EQ(a.reply.size(), 21u);
    const DeviceId moved = Id({198, 51, 100, 30});
    EXPECT_EQ(ReplyId(a), moved);
    EXPECT_FALSE(d.Handle(Query(3, kId)).engaged);
    EXPECT_EQ(Value(d.Handle(Query(3, moved))), "HDD_1");
    const Answer disc = d.Handle(Discovery());
    EXPECT_EQ(ReplyId(disc), moved);
    EXPECT_EQ(disc.reply[21], '0');  // a fixed address ends DHCP
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&disc.reply[24])), "255.255.0.0");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&disc.reply[40])), "198.51.100.254");
}

TEST(Device, AddressChangeRefusesTextThatIsNoAddress)
{
    Device d(Config());
    for (const char* bad : {"", "198.51.100", "198.51.100.300", "not an address"}) {
        const Answer a = d.Handle(Setting(1, kId, ToBytes(bad)));
        EXPECT_TRUE(a.engaged) << bad;
        EXPECT_FALSE(a.hasReply) << bad;
        EXPECT_FALSE(a.effect.empty());
    }
    // A client that adds a terminating zero still gets its change.
    Bytes withZero = ToBytes("198.51.100.31");
    withZero.push_back(0);
    EXPECT_TRUE(d.Handle(Setting(1, kId, withZero)).hasReply);
    EXPECT_EQ(d.AddressText(), "198.51.100.31");
}

TEST(Device, DhcpClientTakesItsDhcpAddress)
{
    Device d(Config());
    const Answer a = d.Handle(Setting(2, kId));
    ASSERT_TRUE(a.hasReply);
    EXPECT_EQ(ReplyId(a), Id({198, 51, 100, 77}));
    EXPECT_EQ(d.Handle(Discovery()).reply[21], '1');

    // Without dhcpAddress the device keeps the address it has.
    const ConfigResult r = ParseConfig(
        R"({"generation": 1, "interfaces": ["198.51.100.2"], "devices": [{"identity": "02a1b2c3d4e5", "address": "198.51.100.20"}]})");
    ASSERT_TRUE(r.ok);
    Device keeps(r.config.devices.at(0));
    EXPECT_EQ(ReplyId(keeps.Handle(Setting(2, kId))), kId);
}

TEST(Device, PortTableIsStoredAndAnswersTheNextPortQuery)
{
    Device d(Config(R"("model": "ZKM-150", "values": {"20": "LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0"})"));
    const Answer a = d.Handle(Setting(21, kId, Table("198.51.100.25", "0")));
    ASSERT_TRUE(a.hasReply);
    const DeviceId moved = Id({198, 51, 100, 25});
    EXPECT_EQ(ReplyId(a), moved);
    EXPECT_EQ(Value(d.Handle(Query(20, moved))),
              "LAN1:198.51.100.25:255.255.0.0::0:LAN2:203.0.113.20:255.255.255.0:203.0.113.1:1");
    const Answer disc = d.Handle(Discovery());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&disc.reply[24])), "255.255.0.0");
    EXPECT_EQ(disc.reply[40], 0);  // LAN1 has no gateway

    // A later address change updates LAN1 in the stored table.
    d.Handle(Setting(1, moved, ToBytes("198.51.100.26"), "255.255.255.0", "198.51.100.1"));
    EXPECT_EQ(Value(d.Handle(Query(20, Id({198, 51, 100, 26})))),
              "LAN1:198.51.100.26:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0:203.0.113.1:1");

    // A table of the wrong size is refused and changes nothing.
    Device fresh(Config());
    const Answer refused = fresh.Handle(Setting(21, kId, Bytes(119, 0)));
    EXPECT_TRUE(refused.engaged);
    EXPECT_FALSE(refused.hasReply);
    EXPECT_EQ(fresh.AddressText(), "198.51.100.20");
}

TEST(Device, PortTableWithoutUsableLan1AddressKeepsTheAddress)
{
    Device d(Config());
    const Answer a = d.Handle(Setting(21, kId, Table("NULL", "1")));
    ASSERT_TRUE(a.hasReply);
    EXPECT_EQ(ReplyId(a), kId);
    EXPECT_EQ(d.Handle(Discovery()).reply[21], '1');
}

TEST(Device, CodepageSettingBecomesTheCodepageValue)
{
    Device d(Config(R"("values": {"9": "950"})"));
    EXPECT_EQ(Value(d.Handle(Query(9))), "950");
    ASSERT_TRUE(d.Handle(Setting(8, kId, ToBytes("865"))).hasReply);
    EXPECT_EQ(Value(d.Handle(Query(9))), "865");
    // Other settings are acknowledged and say what they carried.
    const Answer stop = d.Handle(Setting(13, kId, ToBytes("stop")));
    EXPECT_TRUE(stop.hasReply);
    EXPECT_NE(stop.effect.find("stop"), std::string::npos);
}

}  // namespace
}  // namespace devsim
