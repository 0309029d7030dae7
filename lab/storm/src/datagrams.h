// What the storm sends: the kinds of hostile datagrams and the maker that lays them out.
// Its own small encoder, written apart from the utility's codec so that a fault in one
// cannot hide the same fault in the other.
//
// The one thing it never makes is a well-formed answer of a valid layout that carries the
// client's own ClientId and an address the client is waiting for: the protocol has no
// authentication, so such a datagram is indistinguishable from the device's own answer.
// Every own-ClientId datagram is therefore cut below its layout's fixed fields, longer
// than any datagram the client reads, of an opcode that is no answer, or a query or
// setting reply that carries another device's address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace storm {

using Ipv4 = std::array<uint8_t, 4>;
using ClientIdBytes = std::array<uint8_t, 6>;  // the bytes 1 to 6 a client compares

enum class Kind {
    Truncated,        // answers of every layout cut below their fixed fields, foreign ClientIds
    OverLong,         // 4097 to 9000 bytes, foreign ClientIds
    WrongOpcode,      // every opcode that is no answer, random bodies
    RandomBody,       // the answer opcodes with random bodies (and so random ClientIds)
    ForeignAnswer,    // well-formed answers of every layout with foreign ClientIds
    OwnTruncated,     // the client's ClientId, answers cut below their fixed fields
    OwnWrongOpcode,   // the client's ClientId, opcodes that are no answer, laid out as answers
    OwnOverLong,      // the client's ClientId, well-formed answers padded past 4096 bytes
    OwnQueryOther,    // the client's ClientId, query replies (opcode 4) of other devices
    OwnSettingOther,  // the client's ClientId, setting replies (opcode 6) of other devices
    RandomBytes,      // 1 to 1472 random bytes, the first one too
    LongLength,       // discovery answers whose name length claims more than the datagram holds
    Large,            // answers of every layout padded with random bytes to 4 to 6 KB
    ReplyFragment,    // query and setting replies (opcodes 4 and 6) cut below their fixed fields
    RandomOpcode,     // a full answer of a phantom device under a random first byte
};

struct KindInfo {
    Kind kind;
    const char* name;
    bool needsClientId;
    const char* what;
};

// Every kind, in the order the storm reports them.
const std::vector<KindInfo>& AllKinds();
std::optional<Kind> KindNamed(const std::string& name);
const char* KindName(Kind kind);

// Fixed fields of each answer layout (where a discovery answer's name starts, where a
// query reply's value starts, where a setting reply ends); 0 for other opcodes.
size_t FixedSize(uint8_t opcode);

// The largest datagram a client of the protocol reads; anything longer is lost to it.
constexpr size_t kClientDatagramLimit = 4096;
constexpr size_t kMaxOverLong = 9000;
// The datagrams of the large kind: 4 to 6 KB, so that most are fragmented and too long.
constexpr size_t kLargeMin = 4096;
constexpr size_t kLargeMax = 6144;
// The most a random-bytes datagram carries: one Ethernet frame, unfragmented.
constexpr size_t kMaxRandomBytes = 1472;

// What the storm knows of the lab.
struct Plan {
    std::optional<ClientIdBytes> clientId;  // needed by the Own* kinds
    std::vector<Ipv4> devices;              // addresses of real devices
    std::optional<Ipv4> target;             // the device the client is talking to
};

class DatagramMaker {
public:
    DatagramMaker(Plan plan, uint64_t seed);

    // Fills out with one datagram of the kind and returns its length.
    size_t Make(Kind kind, std::vector<uint8_t>* out);

private:
    void Fill(std::vector<uint8_t>* out, size_t from, size_t to);
    void ForeignClientId(uint8_t* at);
    void OwnClientId(uint8_t* at);
    // Random bytes 1 to 6 of an answer opcode that happen to be the client's: changed.
    void AvoidOwnClientId(std::vector<uint8_t>* out);
    // A well-formed answer of the layout into out (resized), with the given address.
    void LayAnswer(uint8_t opcode, const Ipv4& address, std::vector<uint8_t>* out);
    Ipv4 DeviceAddress();   // a real device's address, or a phantom one when none is known
    Ipv4 OtherAddress();    // a real device's address other than the target's, or a phantom one
    Ipv4 PhantomAddress();  // a lab address that is no device's, the target's or the lab's own
    uint8_t AnswerOpcode();
    uint8_t NextWrongOpcode();

    Plan plan_;
    std::mt19937_64 random_;
    unsigned wrongOpcodeTurn_ = 0;
    unsigned ownWrongOpcodeTurn_ = 0;
    unsigned answerTurn_ = 0;
    unsigned longLengthTurn_ = 0;
    unsigned replyFragmentTurn_ = 0;
    uint64_t serial_ = 0;
};

}  // namespace storm
