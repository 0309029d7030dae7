// The codec against byte vectors written out by hand from the layout tables.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "wire.h"

namespace devsim {
namespace {

// Concatenates hex pieces (spaces ignored) into bytes.
Bytes H(std::initializer_list<std::string> pieces)
{
    std::string all;
    for (const auto& p : pieces)
        for (char c : p)
            if (c != ' ')
                all.push_back(c);
    auto bytes = FromHex(all);
    EXPECT_TRUE(bytes.has_value()) << all;
    return bytes.value_or(Bytes{});
}
std::string Repeat(const std::string& hex, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += hex;
    return out;
}
std::string Z(size_t n)
{
    return Repeat("00", n);
}

const ClientId kClient{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};
const DeviceId kDevice{0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 198, 51, 100, 20};

const std::string kClientHex = "112233445566 00000000";
const std::string kDeviceHex = "02a1b2c3d4e5 c6336414";
const std::string kMaskHex = "3235352e3235352e3235352e30" + Z(3);   // "255.255.255.0"
const std::string kGatewayHex = "3139382e35312e3130302e31" + Z(4);  // "198.51.100.1"

DiscoveryReplyFields Fields(uint8_t layout)
{
    DiscoveryReplyFields f;
    f.layout = layout;
    f.clientId = kClient;
    f.deviceId = kDevice;
    f.dhcpFlag = '0';
    f.netmask = "255.255.255.0";
    f.gateway = "198.51.100.1";
    f.selector1 = 3;
    f.selector2 = 4;
    f.model = "ZKM-150";
    f.name = ToBytes("NAS");
    f.nameLength = 3;
    return f;
}

TEST(DiscoveryReply, LayoutsPutEveryFieldAtItsOffset)
{
    // Common bytes 0..55, then the layout's own tail.
    auto common = [](const char* opcode) {
        return std::string(opcode) + kClientHex + kDeviceHex + "30" + Z(2) + kMaskHex + kGatewayHex;
    };
    EXPECT_EQ(EncodeDiscoveryReply(Fields(2)), H({common("02"), "03000000", "4e4153"}));
    EXPECT_EQ(EncodeDiscoveryReply(Fields(7)), H({common("07"), "0304", Z(10), "03000000", "4e4153"}));
    EXPECT_EQ(EncodeDiscoveryReply(Fields(8)),
              H({common("08"), "0304", Z(10), "5a4b4d2d313530" + Z(25), "03000000", "4e4153"}));
    EXPECT_EQ(EncodeDiscoveryReply(Fields(2)).size(), 63u);
    EXPECT_EQ(EncodeDiscoveryReply(Fields(7)).size(), 75u);
    EXPECT_EQ(EncodeDiscoveryReply(Fields(8)).size(), 107u);
}

TEST(DiscoveryReply, CutsOverlongTextsAndWritesLyingLengths)
{
    DiscoveryReplyFields f = Fields(8);
    f.netmask = "255.255.255.255.255";  // 19 bytes: 15 kept, then the field's zero
    f.gateway = "";
    f.model = std::string(40, 'M');                // 31 kept
    f.name = Bytes{0xe6, 0x97, 0xa5, 0x00, 0xff};  // raw bytes, an embedded zero included
    f.nameLength = 300;
    f.dhcpFlag = '1';
    const Bytes out = EncodeDiscoveryReply(f);
    EXPECT_EQ(out, H({"08", kClientHex, kDeviceHex, "31", Z(2), "3235352e3235352e3235352e323535" + Z(1), Z(16), "0304",
                      Z(10), Repeat("4d", 31), Z(1), "2c010000", "e697a500ff"}));
}

TEST(QueryAndSettingReplies, HeaderThenValueWithoutTerminator)
{
    EXPECT_EQ(EncodeQueryReply(kClient, kDevice, ToBytes("HDD_1")),
              H({"04", kClientHex, kDeviceHex, Z(7), "4844445f31"}));
    EXPECT_EQ(EncodeQueryReply(kClient, kDevice, {}), H({"04", kClientHex, kDeviceHex, Z(7)}));
    EXPECT_EQ(EncodeSettingReply(kClient, kDevice), H({"06", kClientHex, kDeviceHex}));
    Bytes noise = EncodeNoise(9);
    EXPECT_EQ(noise, H({"09", Z(59)}));
}

TEST(DecodeRequest, ReadsTheThreeRequestLayouts)
{
    const Bytes discovery = H({"01", kClientHex});
    DecodeResult d = DecodeRequest(discovery.data(), discovery.size());
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.request.opcode, 1);
    EXPECT_EQ(d.request.clientId, kClient);

    // Administrator check: "admin", 55 aa, "pw"; data length 9 little-endian.
    const Bytes query = H({"03", kClientHex, kDeviceHex, "04", "0000", "09000000", "61646d696e55aa7077"});
    d = DecodeRequest(query.data(), query.size());
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.request.opcode, 3);
    EXPECT_EQ(d.request.deviceId, kDevice);
    EXPECT_EQ(d.request.subcode, 4);
    EXPECT_EQ(d.request.data, H({"61646d696e55aa7077"}));

    // Address change: netmask field full to the brim (16 bytes, no zero) reads as 15.
    const Bytes setting = H({"05", kClientHex, kDeviceHex, "01", "0000", std::string(32, '3'),
                             "3139382e35312e3130302e31" + Z(4), "0d000000", "3139382e35312e3130302e3330"});
    d = DecodeRequest(setting.data(), setting.size());
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.request.subcode, 1);
    EXPECT_EQ(d.request.netmask, std::string(15, '3'));
    EXPECT_EQ(d.request.gateway, "198.51.100.1");
    EXPECT_EQ(std::string(d.request.data.begin(), d.request.data.end()), "198.51.100.30");
}

TEST(DecodeRequest, RefusesTruncatedAndLyingDatagrams)
{
    const Bytes query = H({"03", kClientHex, kDeviceHex, "03", "0000", "02000000", "4142"});
    const Bytes setting = H({"05", kClientHex, kDeviceHex, "08", "0000", Z(32), "03000000", "383635"});
    const Bytes discovery = H({"01", kClientHex});
    // Every cut of a request, down to nothing, is refused without reading past the end.
    for (const Bytes* full : {&query, &setting, &discovery}) {
        for (size_t n = 0; n < full->size(); ++n) {
            Bytes cut(full->begin(), full->begin() + static_cast<long>(n));
            EXPECT_FALSE(DecodeRequest(cut.data(), cut.size()).ok) << "opcode " << int((*full)[0]) << " cut to " << n;
        }
        EXPECT_TRUE(DecodeRequest(full->data(), full->size()).ok);
    }
    // Length fields that claim more than is there, including values that would wrap.
    for (const char* length : {"03000000", "ffffffff", "e4ffffff", "00000080"}) {
        const Bytes lying = H({"03", kClientHex, kDeviceHex, "03", "0000", length, "4142"});
        const DecodeResult r = DecodeRequest(lying.data(), lying.size());
        EXPECT_FALSE(r.ok) << length;
        EXPECT_NE(r.error.find("length field"), std::string::npos) << r.error;
    }
    // Replies and unknown opcodes are not requests.
    for (uint8_t op : {0, 2, 4, 6, 7, 8, 9, 255}) {
        Bytes other = query;
        other[0] = op;
        EXPECT_FALSE(DecodeRequest(other.data(), other.size()).ok) << int(op);
    }
}

TEST(DecodeRequest, ToleratesBytesAfterTheDeclaredData)
{
    const Bytes query = H({"03", kClientHex, kDeviceHex, "0b", "0000", "01000000", "41", "424344"});
    const DecodeResult r = DecodeRequest(query.data(), query.size());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.request.data, Bytes{0x41});
}

TEST(Helpers, HexAndAddresses)
{
    EXPECT_EQ(ToHex(H({"00ff10"})), "00ff10");
    EXPECT_FALSE(FromHex("abc").has_value());
    EXPECT_FALSE(FromHex("zz").has_value());
    EXPECT_EQ(ParseIpv4("198.51.100.20"), (Ipv4{198, 51, 100, 20}));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1.2.3.1234", " 1.2.3.4", "1..2.3", "a.b.c.d"}) {
        EXPECT_FALSE(ParseIpv4(bad).has_value()) << bad;
    }
    EXPECT_EQ(FormatIpv4({0, 0, 0, 0}), "0.0.0.0");
}

}  // namespace
}  // namespace devsim
