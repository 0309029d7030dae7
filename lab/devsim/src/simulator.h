// The simulator's event loop: one thread polls the interface sockets, the web server's
// sockets, the configuration watch and a signal descriptor, and runs delayed replies from
// a timer queue, so a slow device or client never holds up the others.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config.h"
#include "config_watch.h"
#include "device.h"
#include "event_log.h"
#include "namespace_addresses.h"
#include "net.h"
#include "shares.h"
#include "timer_queue.h"
#include "web_server.h"

namespace devsim {

struct SimulatorOptions {
    std::string configPath;
    bool watch = false;
    std::string logPath;  // empty: no log
    std::string tlsCert;  // both empty: devices with SSL on serve no TLS
    std::string tlsKey;
    std::string sharesRoot;  // empty: the devices' volumes are not played as folders
    std::string uncLinks;    // a Wine prefix's dosdevices/unc, linked to the volumes; may be empty
};

class Simulator {
public:
    explicit Simulator(SimulatorOptions options);

    // Opens the log, loads the TLS certificate and applies the first configuration; false
    // with a message otherwise. Gives interfaces addresses: run it in a namespace of its own.
    bool Start(std::string* error);
    // Serves until SIGTERM or SIGINT arrives on signalFd; returns the exit status.
    int Run(int signalFd);

private:
    // Reads, checks and applies the configuration file, then acknowledges it. On failure
    // the previous configuration (if any) stays in force and no acknowledgement is written.
    bool Reload(std::string* error);
    bool WriteAck(uint64_t generation, std::string* error) const;
    // Gives each device's current address to its interfaces and serves its page there;
    // called whenever a configuration or a setting may have moved a device.
    void SyncDeviceNetwork();
    // Plays each device's volumes as folders at its current address; called with
    // SyncDeviceNetwork.
    void SyncShares();

    void ReadAll(InterfaceSocket& socket);
    void HandleDatagram(const InterfaceSocket& socket, const Datagram& datagram);
    void ScheduleSend(int64_t dueMs, const std::string& iface, const sockaddr_in& to, Bytes datagram,
                      const std::string& device, bool noise);
    struct NoiseStream {
        std::string iface;
        sockaddr_in to;
        NoiseConfig noise;
        std::string device;
        uint32_t left;
    };
    void StartNoise(int64_t startMs, const std::string& iface, const sockaddr_in& to, const NoiseConfig& noise,
                    const std::string& device);
    void NoiseStep(const std::shared_ptr<NoiseStream>& stream, int64_t dueMs);
    void Send(const std::string& iface, const sockaddr_in& to, const Bytes& datagram, const std::string& device,
              bool noise);
    int64_t NowMs() const;
    int64_t SinceStartMs() const { return NowMs() - startMs_; }

    SimulatorOptions options_;
    int64_t startMs_;
    EventLog log_;
    ConfigWatch watch_;
    SimConfig config_;
    std::map<std::string, std::unique_ptr<InterfaceSocket>> sockets_;  // by interface address
    std::vector<Device> devices_;
    TimerQueue timers_;
    std::unique_ptr<NamespaceAddresses> addresses_;
    WebServer web_;  // after addresses_: its listeners close before the addresses go
    std::unique_ptr<ShareFolders> shares_;
};

}  // namespace devsim
