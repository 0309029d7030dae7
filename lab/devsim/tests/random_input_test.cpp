// Random and mutated datagrams through the decoder and the devices: nothing may crash or
// read out of bounds (run under AddressSanitizer), and what is accepted must be sound.
#include <gtest/gtest.h>

#include <random>

#include "config.h"
#include "device.h"
#include "wire.h"

namespace devsim {
namespace {

std::vector<Device> Devices()
{
    const ConfigResult r = LoadConfigFile(std::string(DEVSIM_SOURCE_DIR) + "/examples/awkward.json");
    EXPECT_TRUE(r.ok) << r.error;
    std::vector<Device> devices;
    for (const DeviceConfig& d : r.config.devices)
        devices.emplace_back(d);
    const ConfigResult def = LoadConfigFile(std::string(DEVSIM_SOURCE_DIR) + "/default.json");
    for (const DeviceConfig& d : def.config.devices)
        devices.emplace_back(d);
    return devices;
}

Bytes Seed(std::mt19937& rng, const std::vector<Device>& devices)
{
    const Device& target = devices[rng() % devices.size()];
    const DeviceId id = target.Id();
    const uint8_t opcode = std::array<uint8_t, 3>{1, 3, 5}[rng() % 3];
    Bytes b;
    b.push_back(opcode);
    for (int i = 0; i < 10; ++i)
        b.push_back(static_cast<uint8_t>(rng()));
    if (opcode == kDiscoveryRequest)
        return b;
    b.insert(b.end(), id.begin(), id.end());
    b.push_back(std::array<uint8_t, 10>{1, 2, 3, 4, 8, 9, 13, 19, 20, 21}[rng() % 10]);
    b.push_back(0), b.push_back(0);
    if (opcode == kSettingRequest) {
        const char* texts[] = {"255.255.255.0", "198.51.100.1", "", "0.0.0.0"};
        for (int f = 0; f < 2; ++f) {
            Bytes field(16, 0);
            const std::string t = texts[rng() % 4];
            std::copy(t.begin(), t.end(), field.begin());
            b.insert(b.end(), field.begin(), field.end());
        }
    }
    const size_t n = rng() % 3 == 0 ? 120 : rng() % 40;
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(n >> (8 * i)));
    for (size_t i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(rng() % 3 ? '0' + rng() % 10 : '.'));
    return b;
}

void Mutate(std::mt19937& rng, Bytes& b)
{
    switch (rng() % 5) {
    case 0:
        if (!b.empty())
            b.resize(rng() % b.size());
        break;  // truncate
    case 1:
        if (!b.empty())
            b[rng() % b.size()] = static_cast<uint8_t>(rng());
        break;
    case 2:
        for (int i = rng() % 8; i > 0; --i)
            b.push_back(static_cast<uint8_t>(rng()));
        break;
    case 3:
        if (b.size() >= 28)
            b[24 + rng() % 4] = static_cast<uint8_t>(rng());
        break;  // length
    default:
        if (b.size() >= 60)
            b[56 + rng() % 4] = static_cast<uint8_t>(rng());
        break;
    }
}

TEST(RandomInput, DecoderAndDevicesStaySound)
{
    std::vector<Device> devices = Devices();
    std::mt19937 rng(20240607);
    int accepted = 0, replies = 0;
    for (int round = 0; round < 200000; ++round) {
        Bytes b;
        if (round % 4 == 0) {
            b.resize(rng() % 200);
            for (auto& c : b)
                c = static_cast<uint8_t>(rng());
        } else {
            b = Seed(rng, devices);
            for (int m = rng() % 3; m > 0; --m)
                Mutate(rng, b);
        }
        // A copy sized exactly, so that any read past its end is caught by the sanitizer.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() + (b.empty() ? 1 : 0)]);
        std::copy(b.begin(), b.end(), exact.get());
        const DecodeResult d = DecodeRequest(exact.get(), b.size());
        if (!d.ok) {
            EXPECT_FALSE(d.error.empty());
            continue;
        }
        ++accepted;
        const size_t header = d.request.opcode == 1 ? 11 : d.request.opcode == 3 ? 28 : 60;
        ASSERT_GE(b.size(), header + d.request.data.size());
        if (d.request.opcode != 1) {
            ASSERT_EQ(d.request.data.size(), GetLength(&b[header - 4]));
        }
        for (Device& device : devices) {
            const Answer a = device.Handle(d.request);
            if (!a.hasReply)
                continue;
            ++replies;
            ASSERT_TRUE(a.engaged);
            ASSERT_GE(a.reply.size(), 21u);
            const uint8_t expected = d.request.opcode == 1 ? device.config().layout : d.request.opcode + 1;
            ASSERT_EQ(a.reply[0], expected);
        }
    }
    // The seeds are mostly valid, so a healthy share must get through and be answered.
    EXPECT_GT(accepted, 50000);
    EXPECT_GT(replies, 20000);
}

}  // namespace
}  // namespace devsim
