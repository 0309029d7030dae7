// Request and reply layouts, checked against byte vectors written from the layout
// tables rather than from the builders.
#include <gtest/gtest.h>

#include "test_bytes.h"

namespace {

const unsigned char kAddress[4] = {198, 51, 100, 20};

DeviceRecord TestDevice()
{
    DeviceRecord device;
    memset(&device, 0, sizeof device);
    const unsigned char id[kDeviceIdSize] = {0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 198, 51, 100, 20};
    memcpy(device.deviceId, id, sizeof id);
    CopyTextTo(device.address, "198.51.100.20");
    return device;
}

Bytes Sent(const RequestBuffer& request, int length)
{
    return Bytes(request.bytes, request.bytes + length);
}

TEST(Requests, DiscoveryIsOpcodeAndClientId)
{
    TestClientId();
    RequestBuffer request{};
    int length = BuildDiscoveryRequest(&request);
    EXPECT_EQ(Sent(request, length), (Bytes{1, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0}));
}

TEST(Requests, QueryCarriesHeaderAndDataLength)
{
    TestClientId();
    const Bytes header = {3,    0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0,  0,   0,  0,  //
                          0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 198,  51, 100, 20,     //
                          19,   0,    0};
    RequestBuffer request{};
    int length = BuildQueryRequest(&request, TestDevice(), kSubSsl, nullptr, 0);
    Bytes expected = header;
    PutLength32(expected, 24, 0);
    EXPECT_EQ(Sent(request, length), expected);

    // The administrator check: name, 0x55 0xAA, password, no terminators.
    RequestBuffer check{};
    const char data[] = "admin\x55\xaa";
    length = BuildQueryRequest(&check, TestDevice(), kSubAdminCheck, data, 7);
    expected = header;
    expected[21] = 4;
    PutLength32(expected, 24, 7);
    PutText(expected, 28, "admin\x55\xaa");
    EXPECT_EQ(Sent(check, length), expected);
}

TEST(Requests, SettingCarriesTextFieldsAndData)
{
    TestClientId();
    RequestBuffer request{};
    const unsigned char table[120] = {'L', 'A', 'N', '1'};
    int length = BuildSettingRequest(&request, TestDevice(), kSubPortTable, "255.255.255.0", "198.51.100.1", table,
                                     sizeof table);
    ASSERT_EQ(length, 180);
    Bytes expected(180, 0);
    expected[0] = 5;
    memcpy(expected.data() + 1, TestClientId(), 10);
    memcpy(expected.data() + 11, TestDevice().deviceId, 10);
    expected[21] = 21;
    PutText(expected, 24, "255.255.255.0");
    PutText(expected, 40, "198.51.100.1");
    PutLength32(expected, 56, 120);
    PutText(expected, 60, "LAN1");
    EXPECT_EQ(Sent(request, length), expected);

    // Without texts (switching to DHCP) both fields stay zero; an over-long text is
    // cut so that its field keeps a terminator.
    RequestBuffer dhcp{};
    length = BuildSettingRequest(&dhcp, TestDevice(), kSubDhcpClient, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(length, 60);
    EXPECT_EQ(Bytes(dhcp.bytes + 24, dhcp.bytes + 60), Bytes(36, 0));
    RequestBuffer longText{};
    BuildSettingRequest(&longText, TestDevice(), kSubAddress, "0123456789abcdefXYZ", "", "a", 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(longText.bytes + 24)), "0123456789abcde");
    EXPECT_EQ(longText.bytes[40], 0);
}

TEST(Requests, DataThatCannotFitIsRefused)
{
    static unsigned char data[kDatagramCapacity];
    RequestBuffer request{};
    EXPECT_EQ(BuildQueryRequest(&request, TestDevice(), kSubAdminCheck, data, kDatagramCapacity - 28),
              kDatagramCapacity);
    EXPECT_EQ(BuildQueryRequest(&request, TestDevice(), kSubAdminCheck, data, kDatagramCapacity - 27), 0);
    EXPECT_EQ(BuildSettingRequest(&request, TestDevice(), 8, "", "", data, kDatagramCapacity - 59), 0);
}

// A full answer of "ZKM-150" named "Office NAS".
Bytes FullAnswer()
{
    Bytes bytes = ReplyHeader(kOpAnswerFull, kAddress, 104);
    bytes[21] = '1';
    bytes[22] = 0x7f;  // not read
    PutText(bytes, 24, "255.255.255.0");
    PutText(bytes, 40, "198.51.100.1");
    bytes[56] = 3;
    bytes[57] = 3;
    PutText(bytes, 68, "ZKM-150");
    PutLength32(bytes, 100, 10);
    PutText(bytes, 104, "Office NAS");
    return bytes;
}

TEST(DiscoveryAnswers, ThreeLayoutsFillTheRecord)
{
    DeviceRecord full{};
    ASSERT_TRUE(ReadDeviceAnswer(MakeReply(FullAnswer()), 1, &full));
    EXPECT_STREQ(full.name, "Office NAS");
    EXPECT_STREQ(full.address, "198.51.100.20");
    EXPECT_STREQ(full.netmask, "255.255.255.0");
    EXPECT_STREQ(full.gateway, "198.51.100.1");
    EXPECT_STREQ(full.dhcpFlag, "1");
    EXPECT_STREQ(full.model, "ZKM-150");
    EXPECT_EQ(full.interfaceIndex, 1);
    const unsigned char id[kDeviceIdSize] = {0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 198, 51, 100, 20};
    EXPECT_EQ(memcmp(full.deviceId, id, sizeof id), 0);

    Bytes basic = ReplyHeader(kOpAnswerBasic, kAddress, 60);
    PutLength32(basic, 56, 4);
    PutText(basic, 60, "Shed");
    DeviceRecord basicRecord{};
    ASSERT_TRUE(ReadDeviceAnswer(MakeReply(basic), 0, &basicRecord));
    EXPECT_STREQ(basicRecord.name, "Shed");
    EXPECT_STREQ(basicRecord.model, "");
    EXPECT_STREQ(basicRecord.dhcpFlag, "");

    Bytes extended = ReplyHeader(kOpAnswerExtended, kAddress, 72);
    PutText(extended, 68 - 10, "ZKM-150");  // bytes 58..67 are not a model field here
    PutLength32(extended, 68, 3);
    PutText(extended, 72, "Den");
    DeviceRecord extendedRecord{};
    ASSERT_TRUE(ReadDeviceAnswer(MakeReply(extended), 0, &extendedRecord));
    EXPECT_STREQ(extendedRecord.name, "Den");
    EXPECT_STREQ(extendedRecord.model, "");

    DeviceRecord other{};
    EXPECT_FALSE(ReadDeviceAnswer(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 40)), 0, &other));
}

TEST(DiscoveryAnswers, NameIsCutAndNeverReadPastTheDatagram)
{
    // 300 name bytes announced and present: 255 kept.
    Bytes longName = FullAnswer();
    PutLength32(longName, 100, 300);
    longName.resize(104);
    longName.insert(longName.end(), 300, 'n');
    DeviceRecord record{};
    ReadDeviceAnswer(MakeReply(longName), 0, &record);
    EXPECT_EQ(strlen(record.name), 255u);

    // A length that claims more than the datagram holds: only the bytes present.
    Bytes lying = FullAnswer();
    PutLength32(lying, 100, 5000);
    memset(&record, 0, sizeof record);
    ReadDeviceAnswer(MakeReply(lying), 0, &record);
    EXPECT_STREQ(record.name, "Office NAS");

    // A datagram that ends inside its layout's fixed fields is no answer at all; one
    // that ends exactly there is an answer with an empty name.
    const struct {
        unsigned char opcode;
        int fixedLength;
    } layouts[] = {{kOpAnswerBasic, 60}, {kOpAnswerExtended, 72}, {kOpAnswerFull, 104}};
    for (const auto& layout : layouts) {
        Bytes cut = ReplyHeader(layout.opcode, kAddress, layout.fixedLength - 1);
        EXPECT_FALSE(IsDeviceAnswer(MakeReply(cut))) << int(layout.opcode);
        memset(&record, 0, sizeof record);
        EXPECT_FALSE(ReadDeviceAnswer(MakeReply(cut), 0, &record));
        EXPECT_STREQ(record.address, "");
        cut.push_back(0);
        EXPECT_TRUE(ReadDeviceAnswer(MakeReply(cut), 0, &record)) << int(layout.opcode);
        EXPECT_STREQ(record.name, "");
    }

    // Name bytes are kept as they came, whatever their character set.
    Bytes latin = FullAnswer();
    PutText(latin, 104, "Caf\xe9 NAS\xff\x80");
    memset(&record, 0, sizeof record);
    ReadDeviceAnswer(MakeReply(latin), 0, &record);
    EXPECT_STREQ(record.name, "Caf\xe9 NAS\xff\x80");
}

TEST(DiscoveryAnswers, FullTextFieldsStayInsideTheirRecordFields)
{
    Bytes bytes = FullAnswer();
    memset(bytes.data() + 24, '9', 32);  // netmask and gateway without terminators
    memset(bytes.data() + 68, 'M', 32);  // model without terminator
    DeviceRecord record{};
    ReadDeviceAnswer(MakeReply(bytes), 0, &record);
    EXPECT_EQ(std::string(record.netmask), std::string(15, '9'));
    EXPECT_EQ(std::string(record.gateway), std::string(15, '9'));
    EXPECT_EQ(std::string(record.model), std::string(32, 'M'));
    EXPECT_STREQ(record.name, "Office NAS");
}

TEST(DiscoveryAnswers, SelectorsFilterOnlyExtendedAndFullAnswers)
{
    Bytes full = FullAnswer();
    EXPECT_TRUE(SelectorsMatch(MakeReply(full), 3, 3));
    full[57] = 4;
    EXPECT_FALSE(SelectorsMatch(MakeReply(full), 3, 3));
    EXPECT_TRUE(SelectorsMatch(MakeReply(full), 3, 0));
    EXPECT_TRUE(SelectorsMatch(MakeReply(full), 0, 4));
    EXPECT_FALSE(SelectorsMatch(MakeReply(full), 4, 0));

    Bytes extended = ReplyHeader(kOpAnswerExtended, kAddress, 72);
    extended[56] = 1;
    extended[57] = 2;
    EXPECT_FALSE(SelectorsMatch(MakeReply(extended), 3, 3));
    EXPECT_TRUE(SelectorsMatch(MakeReply(extended), 1, 2));

    Bytes basic = ReplyHeader(kOpAnswerBasic, kAddress, 60);
    basic[56] = 9;
    basic[57] = 9;
    EXPECT_TRUE(SelectorsMatch(MakeReply(basic), 3, 3));
}

TEST(Replies, ClaimedByClientIdBytesOneToSix)
{
    Bytes reply = ReplyHeader(kOpQueryReply, kAddress, 28);
    reply[7] ^= 0xff;  // bytes 7..10 are not compared
    reply[10] ^= 0xff;
    EXPECT_TRUE(IsOwnReply(MakeReply(reply)));
    reply[6] ^= 0x01;
    EXPECT_FALSE(IsOwnReply(MakeReply(reply)));
    reply = ReplyHeader(kOpQueryReply, kAddress, 28);
    reply[1] ^= 0x80;
    EXPECT_FALSE(IsOwnReply(MakeReply(reply)));
    // Too short to carry a ClientId at all.
    EXPECT_FALSE(IsOwnReply(MakeReply(Bytes{4, 0x11, 0x22})));
    // Cut inside the ClientId, whose missing bytes are zeros (one instance in 256
    // has such a ClientId): still not this instance's.
    clientId[5] = 0;
    EXPECT_FALSE(IsOwnReply(MakeReply(Bytes{4, 0x11, 0x22, 0x33, 0x44, 0x55})));
    EXPECT_TRUE(IsOwnReply(MakeReply(Bytes{4, 0x11, 0x22, 0x33, 0x44, 0x55, 0})));
    TestClientId();
}

TEST(Replies, QueryAndSettingRepliesNeedTheirFixedFields)
{
    EXPECT_TRUE(IsCompleteReply(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 28)), kOpQueryReply));
    EXPECT_FALSE(IsCompleteReply(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 27)), kOpQueryReply));
    EXPECT_TRUE(IsCompleteReply(MakeReply(ReplyHeader(kOpSettingReply, kAddress, 21)), kOpSettingReply));
    Bytes cut = ReplyHeader(kOpSettingReply, kAddress, 21);
    cut.pop_back();
    EXPECT_FALSE(IsCompleteReply(MakeReply(cut), kOpSettingReply));
    EXPECT_FALSE(IsCompleteReply(MakeReply(ReplyHeader(kOpSettingReply, kAddress, 60)), kOpQueryReply));
    EXPECT_FALSE(IsCompleteReply(MakeReply(ReplyHeader(kOpAnswerFull, kAddress, 104)), kOpAnswerFull));
}

TEST(Replies, AddressTextFromBytes17To20)
{
    const unsigned char high[4] = {255, 0, 10, 200};
    char text[16];
    ReplyAddressText(MakeReply(ReplyHeader(kOpQueryReply, high, 28)), text);
    EXPECT_STREQ(text, "255.0.10.200");
}

TEST(Replies, ValueRunsFromByte28ToTheDatagramEnd)
{
    Bytes reply = ReplyHeader(kOpQueryReply, kAddress, 28);
    PutText(reply, 28, "HDD_1:USB1");  // no terminator of its own
    EXPECT_STREQ(ReplyValue(MakeReply(reply)), "HDD_1:USB1");

    // Ending at byte 27 or earlier: empty value, verdict 0, no stale buffer bytes.
    EXPECT_STREQ(ReplyValue(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 28))), "");
    EXPECT_STREQ(ReplyValue(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 21))), "");
    EXPECT_EQ(ReplyVerdict(MakeReply(ReplyHeader(kOpQueryReply, kAddress, 28))), 0);

    Bytes verdict = ReplyHeader(kOpQueryReply, kAddress, 29);
    verdict[28] = 0x80;
    EXPECT_EQ(ReplyVerdict(MakeReply(verdict)), -128);
    verdict[28] = 1;
    EXPECT_EQ(ReplyVerdict(MakeReply(verdict)), 1);

    // A full-size datagram still gets its terminator.
    Bytes big = ReplyHeader(kOpQueryReply, kAddress, kDatagramCapacity);
    memset(big.data() + 28, 'v', kDatagramCapacity - 28);
    EXPECT_EQ(strlen(ReplyValue(MakeReply(big))), static_cast<size_t>(kDatagramCapacity - 28));
}

}  // namespace
