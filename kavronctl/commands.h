// The reading commands of kavronctl (discover, query) over the protocol library, and
// the exit statuses and options every command shares.
#pragma once

#include <string>

#include "protocol.h"  // kDiscoverySelector1, kDiscoverySelector2

enum ExitStatus {
    kExitOk = 0,
    kExitNetwork = 1,  // the socket layer could not start
    kExitUsage = 2,
    kExitNoAnswer = 3,  // device not found, or it did not answer
    kExitRefused = 4,   // the device refused the administrator, or no password to try
    kExitFailed = 5,    // this PC could not do its part: a file write, a mapping, the browser
};

struct CommandOptions {
    bool json = false;
    bool quick = false;  // discover, watch: passes that end once the answers have stopped
    unsigned char selector1 = kDiscoverySelector1;
    unsigned char selector2 = kDiscoverySelector2;
};

// The names WHAT may take, in the order the help lists them.
extern const char* const kQueryNames[];
extern const int kQueryNameCount;

// The pass discover and watch make: the quick one with --quick.
DiscoveryPace Pace(const CommandOptions& options);

namespace CLI {
class App;
}
struct CommandLine;

// discover and query, each with its options, its check and its callback.
void RegisterDiscoverCommand(CLI::App& app, CommandLine& line);
void RegisterQueryCommand(CLI::App& app, CommandLine& line);

int RunDiscover(const CommandOptions& options);
int RunQuery(const CommandOptions& options, const std::string& address, const std::string& what);
