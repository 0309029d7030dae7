#include "addon_commands.h"

#include <stdio.h>

#include "output.h"
#include "session.h"

#ifdef _WIN32
#include "addons/addon_checks.h"
#include "addons/addon_installer.h"
#include "addons/addon_state.h"
#include "addons/restart_progress.h"
#include "addons/staging_folder.h"
#include "protocol.h"
#include "res/codepages.h"
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

// Where a device whose disks need formatting is formatted: its pages.
void PointToPages(const std::string& address)
{
    fprintf(stderr, "kavronctl: the device's web pages format its disks: kavronctl web %s\n", address.c_str());
}

// The restart wait's line: rewritten in place on a terminal, a line per tenth otherwise;
// either way at most ten updates, which a screen reader can follow.
bool progressInPlace = false;
int progressShown = -1;

void ShowRestartStep(int step, int steps)
{
    const int percent = steps > 0 ? step * 100 / steps : 100;
    if (percent / 10 == progressShown / 10 && percent != 100)
        return;
    progressShown = percent;
    fprintf(stderr,
            progressInPlace ? "\rThe system is restarting. Please wait a moment. %3d %%"
                            : "The system is restarting. Please wait a moment. %d %%\n",
            percent);
    fflush(stderr);
}

void WaitForRestart(const InstallOptions& install)
{
    const DWORD totalMs = static_cast<DWORD>(install.restartWaitSeconds * 1000);
    const int steps = CurrentRestartTiming().steps;
    progressInPlace = StderrIsTerminal();
    progressShown = -1;
    RunRestartWait({steps, totalMs / static_cast<DWORD>(steps), totalMs}, ShowRestartStep);
    if (progressInPlace)
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

    const int disks = AskCodepageDiskState();
    if (const char* refusal = CodepageRefusal(disks)) {
        TellStderr(refusal);
        if (disks == kUnformatted)
            PointToPages(address);
        return disks == 0 ? kExitNoAnswer : kExitUsage;
    }
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

    const BtVerdict verdict = CheckBitTorrentDevice(TellStderr);
    if (verdict == BtVerdict::kUnformatted)
        PointToPages(address);
    if (verdict == BtVerdict::kSilent)
        return kExitNoAnswer;
    if (verdict != BtVerdict::kReady)
        return kExitUsage;
    // InstallAddon removes the staging folder after a failed write, as in the window.
    if (!InstallAddon(InstallMode::kBitTorrent, address.c_str()))
        return WriteFailed();
    WaitForRestart(install);
    btInstalled = 0;
    RemoveBtStaging();
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
