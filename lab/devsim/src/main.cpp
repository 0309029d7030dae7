// kavron-devsim: plays Kavron storage devices on the interfaces of a network namespace.
//
//   kavron-devsim --config FILE [--watch] [--log LOGFILE] [--tls-cert PEM --tls-key PEM]
//                 [--shares DIR [--unc-links DIR]]
//   kavron-devsim --check --config FILE
//
// Exit status: 0 after SIGTERM/SIGINT (or a good --check), 2 for a bad command line or
// configuration, or when started outside a network namespace of `ip netns`, 1 when the
// event loop itself fails.
#include <signal.h>
#include <sys/signalfd.h>

#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "config.h"
#include "lab_netns.h"
#include "namespace_addresses.h"
#include "net.h"
#include "simulator.h"

namespace {

constexpr int kBadConfiguration = 2;

}  // namespace

int main(int argc, char** argv)
{
    devsim::SimulatorOptions options;
    bool check = false;
    CLI::App app{"Plays Kavron storage devices, as a JSON configuration describes them."};
    app.add_option("--config", options.configPath, "JSON configuration of interfaces and devices")->required();
    app.add_flag("--watch", options.watch, "apply the configuration again whenever the file changes");
    app.add_option("--log", options.logPath, "append one JSON line per datagram received and sent");
    app.add_flag("--check", check, "only check the configuration (opens no sockets)");
    auto* cert = app.add_option("--tls-cert", options.tlsCert, "PEM certificate that port 443 of SSL devices presents");
    auto* key = app.add_option("--tls-key", options.tlsKey, "PEM private key of --tls-cert");
    cert->needs(key);
    key->needs(cert);
    auto* shares = app.add_option("--shares", options.sharesRoot, "folder where each device's volumes are played");
    app.add_option("--unc-links", options.uncLinks, "a Wine prefix's dosdevices/unc: links \\\\ADDRESS\\VOLUME there")
        ->needs(shares);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e);  // --help
        std::cerr << "kavron-devsim: " << e.what() << "\n"
                  << "Run with --help for usage.\n";
        return kBadConfiguration;
    }

    if (check) {
        const devsim::ConfigResult result = devsim::LoadConfigFile(options.configPath);
        if (!result.ok) {
            std::cerr << "kavron-devsim: bad configuration: " << result.error << "\n";
            return kBadConfiguration;
        }
        std::cout << options.configPath << ": generation " << result.config.generation << ", "
                  << result.config.devices.size() << " devices\n";
        return 0;
    }

    // A bad configuration is reported as such wherever the simulator is started.
    if (const devsim::ConfigResult first = devsim::LoadConfigFile(options.configPath); !first.ok) {
        std::cerr << "kavron-devsim: bad configuration: " << first.error << "\n";
        return kBadConfiguration;
    }
    // The simulator adds addresses to interfaces and listens on ports 80 and 443: never on
    // the machine's own interfaces.
    if (!lab::NamedNetworkNamespace()) {
        std::cerr << "kavron-devsim: not in a network namespace made by ip netns; start it in the lab's "
                     "device namespace (lab/lab run --sim ...)\n";
        return kBadConfiguration;
    }

    // A web client that goes away while its answer is being written must not end the
    // simulator; the write reports the error instead.
    signal(SIGPIPE, SIG_IGN);

    // Termination requests arrive through a descriptor the event loop polls, so they are
    // handled between datagrams, never in the middle of one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        std::perror("kavron-devsim: sigprocmask");
        return 1;
    }
    devsim::UniqueFd signals(signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK));
    if (!signals) {
        std::perror("kavron-devsim: signalfd");
        return 1;
    }

    devsim::Simulator simulator(options);
    std::string error;
    if (!simulator.Start(&error)) {
        std::cerr << "kavron-devsim: bad configuration: " << error << "\n";
        return kBadConfiguration;
    }
    return simulator.Run(signals.get());
}
