// kavron-storm: a bounded flood of hostile datagrams to the protocol's port, from the
// device namespace of a lab, to check that the utility keeps finding and hearing its
// devices through it. See lab/storm/README.md.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "datagrams.h"
#include "flood.h"
#include "lab_guard.h"
#include "lab_netns.h"
#include "learn.h"

namespace {

using namespace storm;

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "kavron-storm: %s\n", message.c_str());
    return 2;
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string text;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

std::optional<ClientIdBytes> ParseClientId(const std::string& hex)
{
    // Six bytes, or all ten of a ClientId (only the first six are compared by clients).
    if (hex.size() != 12 && hex.size() != 20)
        return std::nullopt;
    ClientIdBytes id{};
    for (size_t i = 0; i < id.size(); ++i) {
        char* end = nullptr;
        const std::string pair = hex.substr(2 * i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2)
            return std::nullopt;
        id[i] = static_cast<uint8_t>(value);
    }
    return id;
}

bool ParseAddresses(const std::vector<std::string>& texts, std::vector<Ipv4>* out, std::string* bad)
{
    for (const std::string& text : texts) {
        const std::optional<Ipv4> a = ParseIpv4(text);
        if (!a) {
            *bad = text;
            return false;
        }
        out->push_back(*a);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Sends a bounded flood of malformed and foreign datagrams to port 13579, from a lab's device "
                 "namespace only.\nIt never sends a well-formed answer with the client's own ClientId that carries "
                 "the address the client is waiting for: in a protocol without authentication that would be "
                 "indistinguishable from the device itself (own-setting-other is such an answer for the two "
                 "address transactions, which match no address; leave it out when storming them)."};
    app.name("kavron-storm");
    FloodOptions flood;
    std::vector<std::string> to, deviceTexts, kindNames;
    std::string via, clientIdText, targetText;
    uint64_t seed = 1;
    bool learn = false, listKinds = false;
    int learnOpcode = 0;
    double learnTimeout = 30;
    app.add_option("--count", flood.count, "Datagrams to send (default 100000)")->check(CLI::Range(1, 100000000));
    app.add_option("--rate", flood.rate, "Datagrams per second, 0 as fast as possible (default 0)")
        ->check(CLI::Range(0.0, 1e9));
    app.add_option("--to", to, "Destinations: the client's address and/or 224.0.0.1")->delimiter(',');
    app.add_option("--via", via, "Interface (name or address) to send from and to learn on");
    app.add_option("--seed", seed, "Seed of the random bytes (default 1)");
    app.add_option("--kinds", kindNames, "Kinds to send, in turn (default every kind the options allow)")
        ->delimiter(',');
    app.add_option("--client-id", clientIdText, "The client's ClientId, 12 or 20 hex digits");
    app.add_flag("--learn-client-id", learn, "Take the ClientId from the client's next request on --via");
    app.add_option("--learn-opcode", learnOpcode, "Learn only from a request of this opcode (1, 3 or 5)")
        ->check(CLI::IsMember({1, 3, 5}));
    app.add_option("--learn-timeout", learnTimeout, "Seconds to wait for that request (default 30)");
    app.add_option("--device-address", deviceTexts, "Addresses of real devices to put into answers")->delimiter(',');
    app.add_option("--target", targetText, "The device the client is asking, never put into its own-ClientId replies");
    app.add_flag("--list-kinds", listKinds, "List the kinds and exit");
    CLI11_PARSE(app, argc, argv);

    if (listKinds) {
        for (const KindInfo& info : AllKinds())
            std::printf("%-18s %s%s\n", info.name, info.what, info.needsClientId ? " (needs the ClientId)" : "");
        return 0;
    }

    // Never anywhere but in a lab's device namespace.
    const std::optional<std::string> ns = lab::NamedNetworkNamespace();
    if (!ns || !IsLabDeviceNamespaceName(*ns))
        return Refuse("runs only in a lab's device namespace: ip netns exec \"$KAVRON_LAB_DEVICE_NS\" ...");

    std::string bad;
    if (to.empty())
        return Refuse("--to: give the client's address and/or 224.0.0.1");
    if (!ParseAddresses(to, &flood.to, &bad))
        return Refuse("--to: not an IPv4 address: " + bad);
    for (const Ipv4& a : flood.to) {
        if (!IsAllowedDestination(a))
            return Refuse("--to " + FormatIpv4(a) + ": only 198.51.100.0/24, 203.0.113.0/24 and 224.0.0.1");
    }
    if (via.empty())
        return Refuse("--via: give the interface to send from");
    std::string interfaceName, error;
    if (!ResolveLabInterface(via, &flood.via, &interfaceName, &error))
        return Refuse("--via: " + error);

    Plan plan;
    if (!ParseAddresses(deviceTexts, &plan.devices, &bad))
        return Refuse("--device-address: not an IPv4 address: " + bad);
    if (!targetText.empty()) {
        plan.target = ParseIpv4(targetText);
        if (!plan.target)
            return Refuse("--target: not an IPv4 address: " + targetText);
    }
    if (!clientIdText.empty()) {
        plan.clientId = ParseClientId(clientIdText);
        if (!plan.clientId)
            return Refuse("--client-id: 12 or 20 hex digits");
        if (learn)
            return Refuse("--client-id and --learn-client-id exclude each other");
    }
    const bool knowsClientId = plan.clientId || learn;
    for (const std::string& name : kindNames) {
        const std::optional<Kind> kind = KindNamed(name);
        if (!kind)
            return Refuse("--kinds: no kind " + name + " (see --list-kinds)");
        if (!knowsClientId && name.rfind("own-", 0) == 0)
            return Refuse("--kinds " + name + " needs --client-id or --learn-client-id");
        flood.kinds.push_back(*kind);
    }
    if (flood.kinds.empty()) {
        for (const KindInfo& info : AllKinds()) {
            if (!info.needsClientId || knowsClientId)
                flood.kinds.push_back(info.kind);
        }
    }
    std::string kindList;
    for (Kind kind : flood.kinds)
        kindList += (kindList.empty() ? "" : ",") + std::string(KindName(kind));
    Say("storm kinds " + kindList);
    Say("storm seed " + std::to_string(seed));

    if (learn) {
        RequestListener listener;
        if (!listener.Open(interfaceName, &error)) {
            std::fprintf(stderr, "kavron-storm: %s\n", error.c_str());
            return 1;
        }
        Say("storm listening " + FormatIpv4(flood.via) + " " + interfaceName);
        const std::optional<LearnedRequest> request =
            listener.Next(flood.via, learnOpcode, static_cast<int>(learnTimeout * 1000));
        if (!request) {
            std::fprintf(stderr, "kavron-storm: no request from the client within %g s\n", learnTimeout);
            return 3;
        }
        plan.clientId = request->clientId;
        if (request->target && !plan.target)
            plan.target = request->target;
        // When the request came, on the system's monotonic clock (the same in every
        // namespace), so that a test can time the client's wait from its request on.
        const long long at =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count();
        Say("storm learned clientid " + Hex(request->clientId.data(), request->clientId.size()) + " opcode " +
            std::to_string(request->opcode) + " from " + FormatIpv4(request->from) + " at_ms " + std::to_string(at));
    }
    if (plan.target)
        Say("storm target " + FormatIpv4(*plan.target));

    DatagramMaker maker(plan, seed);
    FloodResult result;
    Say("storm sending");
    StopOnSignals();
    if (!Flood(flood, &maker, &result, &error)) {
        std::fprintf(stderr, "kavron-storm: %s\n", error.c_str());
        return 1;
    }
    uint64_t total = 0;
    for (Kind kind : flood.kinds) {
        Say(std::string("kind ") + KindName(kind) + " " + std::to_string(result.sent[kind]));
        total += result.sent[kind];
    }
    Say("total " + std::to_string(total));
    Say("errors " + std::to_string(result.errors));
    if (result.stopped)
        Say("stopped 1");
    Say("elapsed_ms " + std::to_string(static_cast<long>(result.seconds * 1000)));
    Say("rate " + std::to_string(result.seconds > 0 ? static_cast<long>(total / result.seconds) : 0));
    return 0;
}
