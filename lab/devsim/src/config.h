// The simulator's configuration: which interfaces it listens on and which devices it
// plays there. Parsing never throws; every error names the offending key.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"

namespace devsim {

enum class ReplyMode { kMulticast, kUnicast };

struct AdminConfig {
    Bytes user = ToBytes("admin");
    Bytes password;
    uint8_t verdict = 1;
};

struct NoiseConfig {
    uint8_t opcode = 0;
    uint32_t count = 0;
    uint32_t intervalMs = 0;
};

struct DeviceConfig {
    std::array<uint8_t, 6> identity{};
    Ipv4 address{};
    std::string netmask;
    std::string gateway;
    uint8_t dhcpFlag = '0';
    Bytes name;
    std::optional<uint32_t> nameLength;  // when the length field must lie
    uint8_t layout = 8;
    uint8_t selector1 = 3;
    uint8_t selector2 = 3;
    std::string model;
    std::vector<std::string> on;  // never empty after parsing: defaults to every interface
    ReplyMode reply = ReplyMode::kMulticast;
    uint32_t delayMs = 0;
    bool answerTwice = false;
    bool foreignClientId = false;
    bool answerAll = false;
    std::map<uint8_t, Bytes> values;  // by query sub-code
    std::set<uint8_t> unanswered;
    std::map<uint8_t, uint32_t> subcodeDelayMs;
    AdminConfig admin;
    std::optional<Ipv4> dhcpAddress;
    std::optional<NoiseConfig> noise;
    // The device's volumes as folders (shares.h): "VOLUME/NAME/..." paths below them.
    bool addonFolders = true;                  // the system volume's own add-on folders
    std::vector<std::string> extraFolders;     // made as well
    std::vector<std::string> unwritablePaths;  // taken by a link that leads nowhere
};

struct SimConfig {
    uint64_t generation = 0;
    std::vector<std::string> interfaces;  // dotted addresses, distinct
    std::vector<DeviceConfig> devices;
};

struct ConfigResult {
    bool ok = false;
    SimConfig config;
    std::string error;
};

ConfigResult ParseConfig(const std::string& text);
ConfigResult LoadConfigFile(const std::string& path);

// Upper bounds that keep every reply inside one UDP datagram and every timer sane.
constexpr size_t kMaxPayloadBytes = 60000;
constexpr uint32_t kMaxDelayMs = 3600 * 1000;
constexpr uint32_t kMaxNoiseCount = 100000;
constexpr size_t kMaxSharePaths = 64;  // per key and device

// Why a name cannot name one folder ("" when it can): empty, "." or "..", holding a '/',
// a '\' (a separator to Wine) or a NUL byte, or longer than a Linux file name may be.
std::string FolderNameProblem(std::string_view name);

}  // namespace devsim
