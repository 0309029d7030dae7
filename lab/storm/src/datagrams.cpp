#include "datagrams.h"

#include <algorithm>
#include <cstring>

namespace storm {

namespace {

enum : uint8_t {
    kBasicAnswer = 2,
    kQueryReply = 4,
    kSettingReply = 6,
    kExtendedAnswer = 7,
    kFullAnswer = 8,
};

const uint8_t kAnswerOpcodes[] = {kBasicAnswer, kQueryReply, kSettingReply, kExtendedAnswer, kFullAnswer};
const uint8_t kDiscoveryOpcodes[] = {kBasicAnswer, kExtendedAnswer, kFullAnswer};

bool IsAnswerOpcode(uint8_t opcode)
{
    return std::find(std::begin(kAnswerOpcodes), std::end(kAnswerOpcodes), opcode) != std::end(kAnswerOpcodes);
}

void PutText(uint8_t* at, size_t field, const std::string& text)
{
    std::memcpy(at, text.data(), std::min(text.size(), field - 1));
}

void PutLength(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool Contains(const std::vector<Ipv4>& list, const Ipv4& address)
{
    return std::find(list.begin(), list.end(), address) != list.end();
}

}  // namespace

const std::vector<KindInfo>& AllKinds()
{
    static const std::vector<KindInfo> kinds = {
        {Kind::Truncated, "truncated", false, "answers of every layout cut below their fixed fields"},
        {Kind::OverLong, "overlong", false, "4097 to 9000 bytes"},
        {Kind::WrongOpcode, "wrong-opcode", false, "every opcode that is no answer"},
        {Kind::RandomBody, "random-body", false, "answer opcodes with random bodies"},
        {Kind::ForeignAnswer, "foreign-answer", false, "well-formed answers with foreign ClientIds"},
        {Kind::OwnTruncated, "own-truncated", true, "own ClientId, answers cut below their fixed fields"},
        {Kind::OwnWrongOpcode, "own-wrong-opcode", true, "own ClientId, opcodes that are no answer"},
        {Kind::OwnOverLong, "own-overlong", true, "own ClientId, answers padded past 4096 bytes"},
        {Kind::OwnQueryOther, "own-query-other", true, "own ClientId, query replies of other devices"},
        {Kind::OwnSettingOther, "own-setting-other", true, "own ClientId, setting replies of other devices"},
        {Kind::RandomBytes, "random-bytes", false, "1 to 1472 random bytes"},
        {Kind::LongLength, "long-length", false, "discovery answers whose name length runs past the datagram"},
        {Kind::Large, "large", false, "answers padded with random bytes to 4 to 6 KB"},
        {Kind::ReplyFragment, "reply-fragment", false, "query and setting replies cut below their fixed fields"},
        {Kind::RandomOpcode, "random-opcode", false, "a phantom device's full answer under a random first byte"},
    };
    return kinds;
}

std::optional<Kind> KindNamed(const std::string& name)
{
    for (const KindInfo& info : AllKinds()) {
        if (name == info.name)
            return info.kind;
    }
    return std::nullopt;
}

const char* KindName(Kind kind)
{
    for (const KindInfo& info : AllKinds()) {
        if (info.kind == kind)
            return info.name;
    }
    return "?";
}

size_t FixedSize(uint8_t opcode)
{
    switch (opcode) {
    case kBasicAnswer:
        return 60;
    case kExtendedAnswer:
        return 72;
    case kFullAnswer:
        return 104;
    case kQueryReply:
        return 28;
    case kSettingReply:
        return 21;
    default:
        return 0;
    }
}

DatagramMaker::DatagramMaker(Plan plan, uint64_t seed) : plan_(std::move(plan)), random_(seed) {}

void DatagramMaker::Fill(std::vector<uint8_t>* out, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i)
        (*out)[i] = static_cast<uint8_t>(random_());
}

void DatagramMaker::ForeignClientId(uint8_t* at)
{
    for (int i = 0; i < 10; ++i)
        at[i] = static_cast<uint8_t>(random_());
    // Another instance's, never the client's: one differing byte is enough.
    if (plan_.clientId && std::equal(plan_.clientId->begin(), plan_.clientId->end(), at))
        at[0] ^= 0x5a;
}

void DatagramMaker::OwnClientId(uint8_t* at)
{
    std::copy(plan_.clientId->begin(), plan_.clientId->end(), at);
    // Bytes 7 to 10 are not compared by the client; vary them.
    for (int i = 6; i < 10; ++i)
        at[i] = static_cast<uint8_t>(random_());
}

void DatagramMaker::AvoidOwnClientId(std::vector<uint8_t>* out)
{
    // Random bytes 1 to 6 match the client's ClientId once in 2^48 datagrams; make
    // that once never.
    if (plan_.clientId && out->size() > 6 &&
        std::equal(plan_.clientId->begin(), plan_.clientId->end(), out->data() + 1))
        (*out)[1] ^= 0x5a;
}

Ipv4 DatagramMaker::PhantomAddress()
{
    for (;;) {
        Ipv4 a = random_() & 1 ? Ipv4{198, 51, 100, 0} : Ipv4{203, 0, 113, 0};
        a[3] = static_cast<uint8_t>(3 + random_() % 251);  // not .0, .1, .2 (the lab's own) or .255
        if (!Contains(plan_.devices, a) && !(plan_.target && *plan_.target == a))
            return a;
    }
}

Ipv4 DatagramMaker::DeviceAddress()
{
    if (plan_.devices.empty())
        return PhantomAddress();
    return plan_.devices[random_() % plan_.devices.size()];
}

Ipv4 DatagramMaker::OtherAddress()
{
    // Without a target, any real device could be the one the client is asking: only
    // phantom addresses are safe then.
    std::vector<Ipv4> others;
    if (plan_.target) {
        for (const Ipv4& a : plan_.devices) {
            if (a != *plan_.target)
                others.push_back(a);
        }
    }
    if (others.empty() || random_() % 4 == 0)
        return PhantomAddress();
    return others[random_() % others.size()];
}

uint8_t DatagramMaker::AnswerOpcode()
{
    return kAnswerOpcodes[answerTurn_++ % std::size(kAnswerOpcodes)];
}

uint8_t DatagramMaker::NextWrongOpcode()
{
    for (;;) {
        const uint8_t opcode = static_cast<uint8_t>(wrongOpcodeTurn_++);
        if (!IsAnswerOpcode(opcode))
            return opcode;
    }
}

void DatagramMaker::LayAnswer(uint8_t opcode, const Ipv4& address, std::vector<uint8_t>* out)
{
    const size_t fixed = FixedSize(opcode);
    std::string tail;
    if (opcode == kQueryReply || opcode == kSettingReply) {
        tail = "storm " + std::to_string(serial_++);
    } else {
        tail = "Storm device " + std::to_string(serial_++);
    }
    out->assign(fixed + tail.size(), 0);
    uint8_t* d = out->data();
    d[0] = opcode;
    for (int i = 11; i < 17; ++i)
        d[i] = static_cast<uint8_t>(random_());
    std::copy(address.begin(), address.end(), d + 17);
    if (opcode != kQueryReply && opcode != kSettingReply) {
        d[21] = '0';
        PutText(d + 24, 16, "255.255.255.0");
        PutText(d + 40, 16, "0.0.0.0");
        if (opcode != kBasicAnswer) {
            d[56] = 3;
            d[57] = 3;
        }
        if (opcode == kFullAnswer)
            PutText(d + 68, 32, "ZKM-150");
        PutLength(d + fixed - 4, static_cast<uint32_t>(tail.size()));
    }
    std::copy(tail.begin(), tail.end(), d + fixed);
}

size_t DatagramMaker::Make(Kind kind, std::vector<uint8_t>* out)
{
    switch (kind) {
    case Kind::Truncated:
    case Kind::OwnTruncated: {
        const uint8_t opcode = AnswerOpcode();
        const bool own = kind == Kind::OwnTruncated;
        // A truncated reply may well carry the very address the client waits for: it is
        // still no answer, since its layout is incomplete.
        const Ipv4 address = (opcode == kQueryReply || opcode == kSettingReply) && plan_.target && own
                                 ? *plan_.target
                                 : (own ? PhantomAddress() : DeviceAddress());
        LayAnswer(opcode, address, out);
        if (own) {
            OwnClientId(out->data() + 1);
        } else {
            ForeignClientId(out->data() + 1);
        }
        out->resize(random_() % FixedSize(opcode));
        break;
    }
    case Kind::OverLong:
    case Kind::OwnOverLong: {
        const uint8_t opcode = AnswerOpcode();
        const bool own = kind == Kind::OwnOverLong;
        // A client that read only the first 4096 bytes of these would take a complete
        // answer: the target's own address for replies, a phantom device for discovery.
        const bool reply = opcode == kQueryReply || opcode == kSettingReply;
        const Ipv4 address = own && reply && plan_.target ? *plan_.target : PhantomAddress();
        LayAnswer(opcode, address, out);
        if (own) {
            OwnClientId(out->data() + 1);
        } else {
            ForeignClientId(out->data() + 1);
        }
        const size_t start = out->size();
        out->resize(kClientDatagramLimit + 1 + random_() % (kMaxOverLong - kClientDatagramLimit));
        std::fill(out->begin() + static_cast<long>(start), out->end(), 0);
        break;
    }
    case Kind::WrongOpcode: {
        out->resize(random_() % 200);
        Fill(out, 0, out->size());
        if (!out->empty())
            (*out)[0] = NextWrongOpcode();
        break;
    }
    case Kind::OwnWrongOpcode: {
        // A full answer of a phantom device under an opcode that is no answer: taken for
        // an answer, it would add a device that does not exist.
        LayAnswer(kFullAnswer, PhantomAddress(), out);
        OwnClientId(out->data() + 1);
        uint8_t opcode;
        do {
            opcode = static_cast<uint8_t>(ownWrongOpcodeTurn_++);
        } while (IsAnswerOpcode(opcode));
        (*out)[0] = opcode;
        break;
    }
    case Kind::RandomBody: {
        out->resize(1 + random_() % 300);
        Fill(out, 0, out->size());
        (*out)[0] = AnswerOpcode();
        AvoidOwnClientId(out);
        break;
    }
    case Kind::RandomBytes: {
        out->resize(1 + random_() % kMaxRandomBytes);
        Fill(out, 0, out->size());
        AvoidOwnClientId(out);
        break;
    }
    case Kind::LongLength: {
        // A discovery answer whose name length runs past the end of the datagram, up to
        // 4 GiB: a reader that trusted it would read far beyond its buffer.
        const uint8_t opcode = kDiscoveryOpcodes[longLengthTurn_++ % std::size(kDiscoveryOpcodes)];
        LayAnswer(opcode, DeviceAddress(), out);
        ForeignClientId(out->data() + 1);
        const size_t fixed = FixedSize(opcode);
        const uint64_t present = out->size() - fixed;
        PutLength(out->data() + fixed - 4,
                  static_cast<uint32_t>(present + 1 + random_() % (uint64_t{0xffffffff} - present)));
        break;
    }
    case Kind::Large: {
        const uint8_t opcode = AnswerOpcode();
        LayAnswer(opcode, DeviceAddress(), out);
        ForeignClientId(out->data() + 1);
        const size_t start = out->size();
        out->resize(kLargeMin + random_() % (kLargeMax - kLargeMin + 1));
        Fill(out, start, out->size());
        break;
    }
    case Kind::ReplyFragment: {
        const uint8_t opcode = replyFragmentTurn_++ % 2 ? kSettingReply : kQueryReply;
        LayAnswer(opcode, DeviceAddress(), out);
        ForeignClientId(out->data() + 1);
        out->resize(random_() % FixedSize(opcode));
        break;
    }
    case Kind::RandomOpcode: {
        LayAnswer(kFullAnswer, PhantomAddress(), out);
        ForeignClientId(out->data() + 1);
        (*out)[0] = static_cast<uint8_t>(random_());
        break;
    }
    case Kind::ForeignAnswer: {
        const uint8_t opcode = AnswerOpcode();
        LayAnswer(opcode, DeviceAddress(), out);
        ForeignClientId(out->data() + 1);
        break;
    }
    case Kind::OwnQueryOther:
    case Kind::OwnSettingOther: {
        LayAnswer(kind == Kind::OwnQueryOther ? kQueryReply : kSettingReply, OtherAddress(), out);
        OwnClientId(out->data() + 1);
        break;
    }
    }
    return out->size();
}

}  // namespace storm
