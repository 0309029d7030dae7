#include "web.h"

#include <stdio.h>

#include <memory>

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include "command_line.h"
#include "output.h"
#include "protocol.h"
#include "session.h"

namespace {

// The machine's default browser: the shell's association of the scheme under Windows,
// xdg-open elsewhere. True when it was started (xdg-open: and ended well).
bool OpenInDefaultBrowser(const std::string& url)
{
#ifdef _WIN32
    const HINSTANCE result = ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
#else
    char program[] = "xdg-open";
    std::string argument = url;
    char* argv[] = {program, &argument[0], nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    pid_t ended;
    do {
        ended = waitpid(child, &status, 0);
    } while (ended < 0 && errno == EINTR);
    return ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace

int RunWeb(const CommandOptions& options, const std::string& address, bool printOnly)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (DiscoverAndSelect(options, address) != kExitOk)
        return kExitNoAnswer;
    protocolSession.sslValue[0] = '\0';
    // A device that keeps its SSL value to itself gets http, as in the utility.
    if (!QuerySsl())
        fprintf(stderr, "kavronctl: %s did not answer the SSL query: http assumed\n", address.c_str());
    const std::string url = DeviceUrl(address.c_str(), protocolSession.sslValue);
    if (options.json) {
        PrintLine(DumpJson({{"url", url}}));
    } else {
        PrintLine(url);
    }
    fflush(stdout);
    if (printOnly || OpenInDefaultBrowser(url))
        return kExitOk;
    fprintf(stderr, "kavronctl: the default browser could not be started for %s\n", url.c_str());
    return kExitFailed;
}

void RegisterWebCommand(CLI::App& app, CommandLine& line)
{
    struct Arguments {
        std::string address;
        bool printOnly = false;
    };
    auto args = std::make_shared<Arguments>();
    CLI::App* web =
        app.add_subcommand("web", "Print the address of the web pages of the device at ADDRESS and open it");
    AddAddressArgument(web, &args->address);
    web->add_flag("--print", args->printOnly, "Print the address only, open nothing");
    AddCommonOptions(web, &line);
    OnCommand(web, &line, [&line, args] {
        const int checked = CheckAddress(args->address);
        return checked != kExitOk ? checked : RunWeb(line.options, args->address, args->printOnly);
    });
}
