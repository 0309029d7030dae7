// libFuzzer entry: any datagram through the decoder and every device of the shipped
// configurations. Built only on request (clang, -DDEVSIM_FUZZ=ON), see the README.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "config.h"
#include "device.h"
#include "wire.h"

namespace {

std::vector<devsim::Device>& Devices()
{
    static std::vector<devsim::Device> devices = [] {
        std::vector<devsim::Device> all;
        for (const char* file : {"/default.json", "/examples/awkward.json", "/examples/reference.json"}) {
            const devsim::ConfigResult r = devsim::LoadConfigFile(std::string(DEVSIM_SOURCE_DIR) + file);
            if (!r.ok)
                __builtin_trap();
            for (const devsim::DeviceConfig& d : r.config.devices)
                all.emplace_back(d);
        }
        return all;
    }();
    return devices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const devsim::DecodeResult decoded = devsim::DecodeRequest(data, size);
    if (!decoded.ok)
        return 0;
    const size_t header = decoded.request.opcode == 1 ? 11 : decoded.request.opcode == 3 ? 28 : 60;
    if (header + decoded.request.data.size() > size)
        __builtin_trap();
    for (devsim::Device& device : Devices()) {
        const devsim::Answer answer = device.Handle(decoded.request);
        if (answer.hasReply && answer.reply.size() < 21)
            __builtin_trap();
    }
    return 0;
}
