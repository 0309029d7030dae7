// What every command that talks to devices shares: the socket layer for the length of
// one command, finding the device it names, and its output lines.
#pragma once

#include <string>

#include "commands.h"

// Starts the socket layer for one command and always stops it again; says on stderr
// which addresses could not be opened for the devices' answers.
class NetworkSession {
public:
    NetworkSession();
    ~NetworkSession();
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;
    bool started() const { return started_; }

private:
    bool started_;
};

// Says that the socket layer could not start; returns kExitNetwork.
int NetworkFailure();

// Discovers the devices and selects the one at address, as a click on its row does.
// Returns kExitOk, or kExitNoAnswer after saying that no device answered there.
int DiscoverAndSelect(const CommandOptions& options, const std::string& address);

// One line on stdout (UTF-8; see WriteTextLine).
void PrintLine(const std::string& line);
