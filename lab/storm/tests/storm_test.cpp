// The storm's datagrams checked against what a correct client would take from them,
// judged here from the layouts alone, and the guards that keep it inside a lab.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <set>
#include <string>

#include "datagrams.h"
#include "lab_guard.h"

namespace {

using namespace storm;

const ClientIdBytes kOwn = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
const Ipv4 kTarget = {198, 51, 100, 20};
const Ipv4 kOther = {198, 51, 100, 31};

bool CarriesOwnId(const std::vector<uint8_t>& d)
{
    return d.size() >= 7 && std::equal(kOwn.begin(), kOwn.end(), d.begin() + 1);
}

Ipv4 AddressOf(const std::vector<uint8_t>& d)
{
    return {d[17], d[18], d[19], d[20]};
}

// What a correct client would accept from the datagram: a discovery answer of a valid
// layout (which would list a device), or a query or setting reply naming the target.
bool WouldBeTaken(const std::vector<uint8_t>& d)
{
    if (d.empty() || d.size() > kClientDatagramLimit || !CarriesOwnId(d))
        return false;
    const size_t fixed = FixedSize(d[0]);
    if (fixed == 0 || d.size() < fixed)
        return false;
    if (d[0] == 4 || d[0] == 6)
        return AddressOf(d) == kTarget;
    return true;
}

TEST(StormDatagrams, NoKindMakesAnAnswerTheClientWouldTake)
{
    Plan plan;
    plan.clientId = kOwn;
    plan.devices = {kTarget, kOther};
    plan.target = kTarget;
    DatagramMaker maker(plan, 7);
    std::vector<uint8_t> d;
    for (const KindInfo& info : AllKinds()) {
        SCOPED_TRACE(info.name);
        std::set<int> opcodes, lengths;
        std::set<Ipv4> replyAddresses;
        bool nameLengthsRunPast = true;
        for (int i = 0; i < 20000; ++i) {
            maker.Make(info.kind, &d);
            ASSERT_FALSE(WouldBeTaken(d)) << "datagram " << i << " of " << d.size() << " bytes";
            ASSERT_LE(d.size(), kMaxOverLong);
            if (!d.empty())
                opcodes.insert(d[0]);
            lengths.insert(static_cast<int>(d.size()));
            // Only the own kinds carry the client's ClientId.
            if (!info.needsClientId) {
                ASSERT_FALSE(CarriesOwnId(d));
            }
            if (info.kind == Kind::OwnQueryOther || info.kind == Kind::OwnSettingOther)
                replyAddresses.insert(AddressOf(d));
            if (info.kind == Kind::LongLength) {
                const size_t fixed = FixedSize(d[0]);
                const uint32_t claimed =
                    d[fixed - 4] | d[fixed - 3] << 8 | d[fixed - 2] << 16 | static_cast<uint32_t>(d[fixed - 1]) << 24;
                nameLengthsRunPast = nameLengthsRunPast && claimed > d.size() - fixed;
            }
        }
        switch (info.kind) {
        case Kind::WrongOpcode:
        case Kind::OwnWrongOpcode:
            EXPECT_EQ(opcodes.size(), 251u);  // every opcode but the five answers
            break;
        case Kind::OverLong:
        case Kind::OwnOverLong:
            EXPECT_GT(*lengths.begin(), static_cast<int>(kClientDatagramLimit));
            break;
        case Kind::Truncated:
        case Kind::OwnTruncated:
            EXPECT_EQ(opcodes, (std::set<int>{2, 4, 6, 7, 8}));
            EXPECT_EQ(*lengths.begin(), 0);
            EXPECT_EQ(*lengths.rbegin(), 103);
            break;
        case Kind::RandomBytes:
        case Kind::RandomOpcode:
            EXPECT_EQ(opcodes.size(), 256u);
            EXPECT_LE(*lengths.rbegin(), static_cast<int>(kMaxRandomBytes));
            break;
        case Kind::LongLength:
            EXPECT_EQ(opcodes, (std::set<int>{2, 7, 8}));
            EXPECT_TRUE(nameLengthsRunPast);
            break;
        case Kind::Large:
            EXPECT_EQ(opcodes, (std::set<int>{2, 4, 6, 7, 8}));
            EXPECT_EQ(*lengths.begin(), static_cast<int>(kLargeMin));
            EXPECT_EQ(*lengths.rbegin(), static_cast<int>(kLargeMax));
            break;
        case Kind::ReplyFragment:
            EXPECT_EQ(opcodes, (std::set<int>{4, 6}));
            EXPECT_EQ(*lengths.rbegin(), 27);
            break;
        case Kind::OwnQueryOther:
        case Kind::OwnSettingOther:
            // Real other devices and phantom ones, never the target.
            EXPECT_TRUE(replyAddresses.count(kOther));
            EXPECT_GT(replyAddresses.size(), 2u);
            break;
        default:
            EXPECT_EQ(opcodes, (std::set<int>{2, 4, 6, 7, 8}));
        }
    }
}

TEST(StormDatagrams, WithoutATargetOwnRepliesNameOnlyPhantomDevices)
{
    Plan plan;
    plan.clientId = kOwn;
    plan.devices = {kTarget, kOther};
    DatagramMaker maker(plan, 3);
    std::vector<uint8_t> d;
    for (int i = 0; i < 5000; ++i) {
        maker.Make(i % 2 ? Kind::OwnQueryOther : Kind::OwnSettingOther, &d);
        ASSERT_NE(AddressOf(d), kTarget);
        ASSERT_NE(AddressOf(d), kOther);
        ASSERT_TRUE(IsLabAddress(AddressOf(d)));
    }
}

TEST(StormGuards, OnlyLabDestinationsAndLabNamespaces)
{
    EXPECT_EQ(ParseIpv4("198.51.100.1"), (Ipv4{198, 51, 100, 1}));
    for (const char* bad : {"198.51.100", "198.51.100.1.", "256.1.1.1", "1.2.3.4 ", "", "a.b.c.d", "1..2.3"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
    for (const char* ok : {"198.51.100.1", "198.51.100.255", "203.0.113.40", "224.0.0.1"})
        EXPECT_TRUE(IsAllowedDestination(*ParseIpv4(ok))) << ok;
    for (const char* no : {"224.0.0.2", "239.255.255.250", "255.255.255.255", "192.168.1.1", "10.0.0.1", "198.51.101.1",
                           "203.0.112.1", "127.0.0.1", "0.0.0.0"})
        EXPECT_FALSE(IsAllowedDestination(*ParseIpv4(no))) << no;

    EXPECT_TRUE(IsLabDeviceNamespaceName("kv1a2b3c4d"));
    for (const char* no : {"kv1a2b3c4c", "kvp123c", "kvd", "kv1A2d", "lab1d", ""})
        EXPECT_FALSE(IsLabDeviceNamespaceName(no)) << no;

    // The machine's own namespace: refused before any socket is opened.
    FILE* run = popen(STORM_BINARY " --to 198.51.100.1 --via 198.51.100.2 --count 1 2>&1", "r");
    ASSERT_NE(run, nullptr);
    char buffer[512] = {};
    const size_t n = fread(buffer, 1, sizeof buffer - 1, run);
    const int status = pclose(run);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(std::string(buffer, n).find("only in a lab's device namespace"), std::string::npos) << buffer;
}

}  // namespace
