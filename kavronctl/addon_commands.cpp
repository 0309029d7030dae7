#include "addon_commands.h"

#include <stdio.h>

#include <memory>

#include <CLI/CLI.hpp>

#include "command_line.h"

#include "output.h"
#include "codepages.h"
#include "session.h"

#ifdef _WIN32
#include "addons/installation/addon_checks.h"
#include "addons/installation/addon_files.h"
#include "addons/installation/addon_state.h"
#include "addons/installation/restart_wait.h"
#include "protocol.h"
#include "terminal.h"
#endif

#ifdef _WIN32

namespace {

// The checks' messages, each on one line of stderr.
void TellStderr(const char* text)
{
    std::string line = text;
    for (char& c : line) {
        if (c == '\n')
            c = ' ';
    }
    fprintf(stderr, "kavronctl: %s\n", line.c_str());
}

// The checks' side on the command line: their waits at once, their refusals on stderr,
// and where a device whose disks need formatting is formatted: its pages.
class StderrCheckReport final : public AddonCheckReport {
public:
    int Wait(int (*ask)(), int) override { return ask(); }
    void Refuse(const char* message) override { TellStderr(message); }
    void ShowPagesToFormat(const char* host) override
    {
        fprintf(stderr, "kavronctl: the device's web pages format its disks: kavronctl web %s\n", host);
    }
};

// The restart wait's line: rewritten in place on a terminal, a line per tenth otherwise;
// either way at most ten updates, which a screen reader can follow.
void WaitForRestart(const InstallOptions& install)
{
    const DWORD totalMs = static_cast<DWORD>(install.restartWaitSeconds * 1000);
    const int steps = CurrentRestartTiming().steps;
    const bool inPlace = StderrIsTerminal();
    int shown = -1;
    RestartWaitView view;
    view.step = [inPlace, &shown](int step, int steps) {
        const int percent = steps > 0 ? step * 100 / steps : 100;
        if (percent / 10 == shown / 10 && percent != 100)
            return true;
        shown = percent;
        fprintf(stderr,
                inPlace ? "\rThe system is restarting. Please wait a moment. %3d %%"
                        : "The system is restarting. Please wait a moment. %d %%\n",
                percent);
        fflush(stderr);
        return true;
    };
    RunRestartWait({steps, totalMs / static_cast<DWORD>(steps), totalMs}, view);
    if (inPlace)
        fputc('\n', stderr);
}

int Installed(const CommandOptions& options, const std::string& address, const char* addon)
{
    if (options.json) {
        PrintLine(DumpJson({{"outcome", "installed"}, {"addon", addon}, {"address", address}}));
    } else {
        PrintLine(std::string(addon) + " installed on " + address);
    }
    return kExitOk;
}

int WriteFailed()
{
    TellStderr(kCheckDrives);
    return kExitFailed;
}

}  // namespace

int RunInstallCodepage(const CommandOptions& options, const std::string& address, const std::string& codepage,
                       const InstallOptions& install)
{
    const int choice = CodepageIndex(codepage);  // checked with the arguments
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (DiscoverAndSelect(options, address) != kExitOk)
        return kExitNoAnswer;

    StderrCheckReport report;
    const int disks = CheckCodepageDisks(address.c_str(), report);
    if (disks != kReady)
        return disks == 0 ? kExitNoAnswer : kExitUsage;
    // The window asks for the codepage in use too, to preselect it in its list; the
    // command has its choice already.
    if (IsChoiceUnsupported(choice)) {
        TellStderr(kUnsupportedChoice);
        return kExitUsage;
    }
    chosenCodepageIndex = choice;
    if (!InstallAddon(InstallMode::kCodepage, address.c_str()))
        return WriteFailed();
    WaitForRestart(install);
    return Installed(options, address, ("codepage " + codepage).c_str());
}

int RunInstallBt(const CommandOptions& options, const std::string& address, const AdminOptions& admin,
                 const InstallOptions& install)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (DiscoverAndSelect(options, address) != kExitOk)
        return kExitNoAnswer;
    const int admitted = EnsureAdmin(admin);
    if (admitted != kExitOk)
        return admitted;

    StderrCheckReport report;
    const BtVerdict verdict = CheckBitTorrentDevice(address.c_str(), report);
    if (verdict == BtVerdict::kSilent)
        return kExitNoAnswer;
    if (verdict != BtVerdict::kReady)
        return kExitUsage;
    // InstallAddon removes the staging folder after a failed write, as in the window.
    if (!InstallAddon(InstallMode::kBitTorrent, address.c_str()))
        return WriteFailed();
    WaitForRestart(install);
    EndBitTorrentRun();
    return Installed(options, address, "BitTorrent");
}

#else

namespace {

int WindowsOnly(const char* command)
{
    fprintf(stderr, "kavronctl: %s works on Windows only: the files go onto the device through the Windows network\n",
            command);
    return kExitUsage;
}

}  // namespace

int RunInstallCodepage(const CommandOptions&, const std::string&, const std::string&, const InstallOptions&)
{
    return WindowsOnly("install-codepage");
}

int RunInstallBt(const CommandOptions&, const std::string&, const AdminOptions&, const InstallOptions&)
{
    return WindowsOnly("install-bt");
}

#endif

namespace {

void AddRestartWait(CLI::App* command, InstallOptions* install)
{
    command
        ->add_option("--restart-wait", install->restartWaitSeconds,
                     "For testing: seconds to wait for the device's restart (default 90)")
        ->check(CLI::Range(0.0, 3600.0));
}

}  // namespace

// Both builds register the two commands, so that their help is the same everywhere;
// the native Run functions say that they are Windows only.
void RegisterAddonCommands(CLI::App& app, CommandLine& line)
{
    struct CodepageArguments {
        std::string address, codepage;
        InstallOptions install;
    };
    auto codepageArgs = std::make_shared<CodepageArguments>();
    CLI::App* installCodepage = app.add_subcommand(
        "install-codepage",
        "Install the files of CODEPAGE onto the device at ADDRESS and wait for its restart (Windows)");
    AddAddressArgument(installCodepage, &codepageArgs->address);
    installCodepage->add_option("CODEPAGE", codepageArgs->codepage, CodepageNumbers(" or "))->required();
    AddRestartWait(installCodepage, &codepageArgs->install);
    AddCommonOptions(installCodepage, &line);
    OnCommand(installCodepage, &line, [&line, codepageArgs] {
        const int checked = CheckAddress(codepageArgs->address);
        if (checked != kExitOk)
            return checked;
#ifdef _WIN32
        // Natively the command refuses any codepage as Windows only.
        if (CodepageIndex(codepageArgs->codepage) < 0)
            return UsageError("CODEPAGE is one of " + CodepageNumbers(", "));
#endif
        return RunInstallCodepage(line.options, codepageArgs->address, codepageArgs->codepage, codepageArgs->install);
    });

    struct BtArguments {
        std::string address;
        AdminOptions admin;
        InstallOptions install;
    };
    auto btArgs = std::make_shared<BtArguments>();
    CLI::App* installBt = app.add_subcommand(
        "install-bt", "Install BitTorrent onto the device at ADDRESS and wait for its restart (Windows)");
    AddAddressArgument(installBt, &btArgs->address);
    AddAdminOptions(installBt, &btArgs->admin);
    AddRestartWait(installBt, &btArgs->install);
    AddCommonOptions(installBt, &line);
    OnCommand(installBt, &line, [&line, btArgs] {
        int checked = CheckAddress(btArgs->address);
        if (checked == kExitOk)
            checked = CheckAdmin(btArgs->admin);
        return checked != kExitOk ? checked
                                  : RunInstallBt(line.options, btArgs->address, btArgs->admin, btArgs->install);
    });
}
