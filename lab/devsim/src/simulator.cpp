#include "simulator.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <set>

namespace devsim {

namespace {

using nlohmann::ordered_json;

// A burst on one socket is read in slices so the other sockets and timers are not starved.
constexpr int kReadsPerWake = 64;

constexpr uint8_t kSslSubcode = 19;

// More devices than this get no address and no page: each costs listening descriptors.
constexpr size_t kMaxSites = 256;

sockaddr_in Endpoint(in_addr address)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kProtocolPort);
    to.sin_addr = address;
    return to;
}

in_addr GroupAddress()
{
    in_addr group{};
    ::inet_pton(AF_INET, kGroupAddress, &group);
    return group;
}

}  // namespace

Simulator::Simulator(SimulatorOptions options) : options_(std::move(options)), startMs_(NowMs()), web_(log_, startMs_)
{}

int64_t Simulator::NowMs() const
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool Simulator::Start(std::string* error)
{
    if (!options_.logPath.empty() && !log_.Open(options_.logPath, error)) {
        *error = "cannot open the log " + *error;
        return false;
    }
    if (!options_.tlsCert.empty() && !web_.LoadTls(options_.tlsCert, options_.tlsKey, error))
        return false;
    addresses_ = NamespaceAddresses::Open(error);
    if (!addresses_)
        return false;
    if (!options_.sharesRoot.empty())
        shares_ = std::make_unique<ShareFolders>(options_.sharesRoot, options_.uncLinks);
    // Watch before the first read, so a change made in between is not missed.
    if (options_.watch && !watch_.Start(options_.configPath, error))
        return false;
    return Reload(error);
}

bool Simulator::Reload(std::string* error)
{
    ConfigResult loaded = LoadConfigFile(options_.configPath);
    if (!loaded.ok) {
        *error = loaded.error;
        return false;
    }
    // Open what is new before touching what runs: a configuration is applied whole or not
    // at all, and interfaces that stay keep their sockets (no gap in listening).
    std::map<std::string, std::unique_ptr<InterfaceSocket>> opened;
    std::map<std::string, std::string> owner;  // interface name -> configured address
    for (const std::string& address : loaded.config.interfaces) {
        auto kept = sockets_.find(address);
        InterfaceSocket* socket = kept != sockets_.end() ? kept->second.get() : nullptr;
        if (!socket) {
            auto fresh = InterfaceSocket::Open(address, error);
            if (!fresh) {
                *error = options_.configPath + ": interfaces: " + *error;
                return false;
            }
            socket = fresh.get();
            opened.emplace(address, std::move(fresh));
        }
        auto [it, unique] = owner.emplace(socket->interfaceName(), address);
        if (!unique) {
            *error = options_.configPath + ": interfaces: " + it->second + " and " + address + " are both on " +
                     it->first + "; give one address per interface";
            return false;
        }
    }
    std::map<std::string, std::unique_ptr<InterfaceSocket>> sockets;
    for (const std::string& address : loaded.config.interfaces) {
        auto kept = sockets_.find(address);
        sockets.emplace(address, kept != sockets_.end() ? std::move(kept->second) : std::move(opened[address]));
    }

    sockets_ = std::move(sockets);  // sockets of interfaces no longer listed close here
    devices_.clear();
    for (const DeviceConfig& d : loaded.config.devices)
        devices_.emplace_back(d);
    // A new configuration starts from a clean slate: no reply or noise of the old one is sent.
    timers_.Clear();
    config_ = std::move(loaded.config);
    // Addresses, pages and shares are in place before the acknowledgement tells a test to go on.
    SyncDeviceNetwork();
    SyncShares();
    return WriteAck(config_.generation, error);
}

void Simulator::SyncDeviceNetwork()
{
    std::set<InterfaceAddress> wanted;
    std::vector<Site> sites;
    std::set<Ipv4> taken;
    for (const Device& device : devices_) {
        const DeviceConfig& cfg = device.config();
        // Two devices on one address: the first one's page is served there.
        if (!IsDeviceAddress(device.Address()) || !taken.insert(device.Address()).second || sites.size() >= kMaxSites)
            continue;
        for (const std::string& iface : cfg.on) {
            auto socket = sockets_.find(iface);
            if (socket != sockets_.end())
                wanted.insert(InterfaceAddress{device.Address(), socket->second->interfaceName()});
        }
        Site site;
        site.address = device.AddressText();
        site.name = cfg.name;
        site.identity = ToHex(cfg.identity.data(), cfg.identity.size());
        site.model = cfg.model;
        const Bytes* ssl = device.Value(kSslSubcode);
        site.tls = ssl && std::find(ssl->begin(), ssl->end(), '1') != ssl->end();
        sites.push_back(std::move(site));
    }
    std::vector<std::string> problems = addresses_->Sync(wanted);
    for (std::string& problem : web_.SetSites(sites))
        problems.push_back(std::move(problem));
    for (const std::string& problem : problems)
        std::cerr << "kavron-devsim: " << problem << "\n";
}

void Simulator::SyncShares()
{
    if (!shares_)
        return;
    for (const std::string& problem : shares_->Sync(PlanShares(devices_)))
        std::cerr << "kavron-devsim: shares: " << problem << "\n";
}

bool Simulator::WriteAck(uint64_t generation, std::string* error) const
{
    const std::string ack = options_.configPath + ".ack";
    const std::string tmp = ack + ".tmp";
    const std::string text = std::to_string(generation);
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f)
        ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), ack.c_str()) == 0;
    if (!ok)
        *error = "cannot write " + ack + ": " + std::strerror(errno);
    return ok;
}

void Simulator::ReadAll(InterfaceSocket& socket)
{
    Datagram datagram;
    for (int i = 0; i < kReadsPerWake; ++i) {
        std::string error;
        const auto status = socket.Read(&datagram, &error);
        if (status == InterfaceSocket::ReadStatus::kEmpty)
            return;
        if (status == InterfaceSocket::ReadStatus::kError) {
            std::cerr << "kavron-devsim: " << socket.address() << ": " << error << "\n";
            return;
        }
        HandleDatagram(socket, datagram);
    }
}

void Simulator::HandleDatagram(const InterfaceSocket& socket, const Datagram& d)
{
    const int64_t now = NowMs();
    const Bytes& b = d.bytes;
    ordered_json line;
    line["t_ms"] = now - startMs_;
    line["iface"] = socket.address();
    line["from"] = FormatEndpoint(d.from);
    line["len"] = d.size;
    if (!b.empty())
        line["opcode"] = b[0];
    const bool addressed = !b.empty() && (b[0] == kQueryRequest || b[0] == kSettingRequest);
    if (addressed && b.size() >= 22)
        line["subcode"] = b[21];
    if (b.size() >= 11)
        line["clientId"] = ToHex(b.data() + 1, 10);
    if (addressed && b.size() >= 21)
        line["deviceId"] = ToHex(b.data() + 11, 10);
    line["hex"] = ToHex(b);
    if (d.destination) {
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &*d.destination, text, sizeof text);
        line["dst"] = text;
    }

    if (d.size > kMaxRequestSize) {
        line["ignored"] = "longer than " + std::to_string(kMaxRequestSize) + " bytes";
        log_.Write(line);
        return;
    }
    const DecodeResult decoded = DecodeRequest(b.data(), b.size());
    if (!decoded.ok) {
        line["ignored"] = decoded.error;
        log_.Write(line);
        return;
    }
    const Request& request = decoded.request;
    if (request.opcode != kDiscoveryRequest)
        line["data"] = ToHex(request.data);

    struct Outgoing {
        const Device* device;
        Answer answer;
    };
    std::vector<Outgoing> outgoing;
    ordered_json effects = ordered_json::array();
    for (Device& device : devices_) {
        if (!device.ListensOn(socket.address()))
            continue;
        const std::string before = device.AddressText();  // a setting may change it
        Answer answer = device.Handle(request);
        if (!answer.engaged)
            continue;
        if (!answer.effect.empty())
            effects.push_back(before + ": " + answer.effect);
        outgoing.push_back(Outgoing{&device, std::move(answer)});
    }
    if (!effects.empty())
        line["effects"] = effects;
    // A moved device has its new address and shares before the log says so: a test reading
    // the log may connect at once.
    if (request.opcode == kSettingRequest && !outgoing.empty()) {
        SyncDeviceNetwork();
        SyncShares();
    }
    log_.Write(line);

    for (const Outgoing& o : outgoing) {
        const DeviceConfig& cfg = o.device->config();
        // Unicast replies go to the asker's address but always to the protocol port.
        const sockaddr_in to = Endpoint(cfg.reply == ReplyMode::kUnicast ? d.from.sin_addr : GroupAddress());
        // Logged under the address the reply carries, which a setting may just have changed.
        const std::string name = o.device->AddressText();
        if (o.answer.hasReply) {
            const int copies = cfg.answerTwice ? 2 : 1;
            for (int i = 0; i < copies; ++i) {
                ScheduleSend(now + o.answer.delayMs, socket.address(), to, o.answer.reply, name, false);
            }
        }
        if (cfg.noise && cfg.noise->count > 0)
            StartNoise(now, socket.address(), to, *cfg.noise, name);
    }
}

void Simulator::ScheduleSend(int64_t dueMs, const std::string& iface, const sockaddr_in& to, Bytes datagram,
                             const std::string& device, bool noise)
{
    timers_.Schedule(dueMs, [this, iface, to, datagram = std::move(datagram), device, noise] {
        Send(iface, to, datagram, device, noise);
    });
}

void Simulator::StartNoise(int64_t startMs, const std::string& iface, const sockaddr_in& to, const NoiseConfig& noise,
                           const std::string& device)
{
    auto stream = std::make_shared<NoiseStream>(NoiseStream{iface, to, noise, device, noise.count});
    timers_.Schedule(startMs, [this, stream, startMs] { NoiseStep(stream, startMs); });
}

// Each datagram of a stream schedules the next, so a long stream holds one queue slot.
void Simulator::NoiseStep(const std::shared_ptr<NoiseStream>& stream, int64_t dueMs)
{
    Send(stream->iface, stream->to, EncodeNoise(stream->noise.opcode), stream->device, true);
    if (--stream->left == 0)
        return;
    const int64_t next = dueMs + stream->noise.intervalMs;
    timers_.Schedule(next, [this, stream, next] { NoiseStep(stream, next); });
}

void Simulator::Send(const std::string& iface, const sockaddr_in& to, const Bytes& datagram, const std::string& device,
                     bool noise)
{
    auto it = sockets_.find(iface);
    if (it == sockets_.end())
        return;
    ordered_json line;
    line["t_ms"] = SinceStartMs();
    std::string error;
    const bool sent = it->second->Send(datagram, to, &error);
    line["sent"] = sent;
    line["iface"] = iface;
    line["to"] = FormatEndpoint(to);
    line["opcode"] = datagram.empty() ? 0 : datagram[0];
    line["device"] = device;
    line["len"] = datagram.size();
    if (noise)
        line["noise"] = true;
    line["hex"] = ToHex(datagram);
    if (!sent)
        line["error"] = error;
    log_.Write(line);
}

int Simulator::Run(int signalFd)
{
    std::vector<pollfd> fds;
    std::vector<InterfaceSocket*> polled;
    for (;;) {
        fds.clear();
        polled.clear();
        fds.push_back(pollfd{signalFd, POLLIN, 0});
        const bool watchFd = options_.watch && watch_.fd() >= 0;
        if (watchFd)
            fds.push_back(pollfd{watch_.fd(), POLLIN, 0});
        for (auto& [address, socket] : sockets_) {
            fds.push_back(pollfd{socket->fd(), POLLIN, 0});
            polled.push_back(socket.get());
        }
        const size_t firstWeb = fds.size();
        web_.AddPollFds(&fds);

        int timeout = -1;
        std::optional<int64_t> due = timers_.NextDue();
        if (auto webDue = web_.NextDeadline())
            due = due ? std::min(*due, *webDue) : *webDue;
        if (due) {
            const int64_t wait = *due - NowMs();
            timeout = wait <= 0 ? 0 : static_cast<int>(std::min<int64_t>(wait, 60000));
        }
        if (options_.watch && !watchFd) {
            timeout = timeout < 0 ? watch_.PollIntervalMs() : std::min(timeout, watch_.PollIntervalMs());
        }

        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            std::cerr << "kavron-devsim: poll: " << std::strerror(errno) << "\n";
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == sizeof info)
                return 0;
        }
        // Before the datagrams: a setting they carry may change the web server's descriptors.
        web_.HandlePolled(fds.data() + firstWeb, fds.size() - firstWeb, NowMs());
        const size_t first = watchFd ? 2 : 1;
        for (size_t i = 0; i < polled.size(); ++i) {
            // An error condition is read too: recvmsg reports and clears it.
            if (fds[first + i].revents & (POLLIN | POLLERR))
                ReadAll(*polled[i]);
        }
        if (options_.watch && watch_.Changed()) {
            std::string error;
            if (!Reload(&error))
                std::cerr << "kavron-devsim: configuration not applied: " << error << "\n";
        }
        timers_.RunDue(NowMs());
        web_.ExpireDue(NowMs());
    }
}

}  // namespace devsim
