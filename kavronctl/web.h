// kavronctl web: the address of a device's web pages, https when the device's SSL value
// says so (as the utility's Web button decides), opened in the default browser.
#pragma once

#include <string>

#include "commands.h"

namespace CLI {
class App;
}
struct CommandLine;

// web, with its options, its check and its callback.
void RegisterWebCommand(CLI::App& app, CommandLine& line);

// Prints the address always; opens it unless printOnly. Exit 0, 3 no device, 5 the
// browser could not be started.
int RunWeb(const CommandOptions& options, const std::string& address, bool printOnly);
