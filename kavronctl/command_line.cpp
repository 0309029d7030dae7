#include "command_line.h"

#include <stdio.h>

#include <CLI/CLI.hpp>

#include "address.h"
#include "port_argument.h"  // kNotAnAddress

int UsageError(const std::string& message)
{
    fprintf(stderr, "kavronctl: %s\n", message.c_str());
    return kExitUsage;
}

void OnCommand(CLI::App* command, CommandLine* line, std::function<int()> run)
{
    // The callback only records the command: it runs after the parse, outside the
    // parser, once main has taken the options every command shares.
    command->callback([line, run] { line->command = run; });
}

void AddCommonOptions(CLI::App* command, CommandLine* line)
{
    command->add_flag("--json", line->options.json, "Print JSON instead of tab-separated lines");
    command->add_option("--selectors", line->selectors, "The two selector bytes of discovery (0 takes any)")
        ->expected(2)
        ->check(CLI::Range(0, 255));
}

void AddQuickFlag(CLI::App* command, CommandLine* line)
{
    command->add_flag("--quick", line->options.quick,
                      "End each pass once the answers have stopped (about 0.1 s on a quiet LAN) instead of "
                      "listening for the full second");
}

void AddAddressArgument(CLI::App* command, std::string* address)
{
    command->add_option("ADDRESS", *address, "The device's IPv4 address")->required();
}

void AddAdminOptions(CLI::App* command, AdminOptions* admin)
{
    command->add_option("--user", admin->user, "Administrator name (default admin)");
    CLI::Option* password =
        command->add_option("--password", admin->password, "Administrator password")->each([admin](const std::string&) {
            admin->passwordGiven = true;
        });
    CLI::Option* fromStdin =
        command->add_flag("--password-stdin", admin->passwordStdin, "Read the password as one line of stdin");
    password->excludes(fromStdin);
}

int CheckAddress(const std::string& address)
{
    if (!IsCanonicalAddress(address))
        return UsageError(kNotAnAddress + address);
    return kExitOk;
}

int CheckAdmin(const AdminOptions& admin)
{
    if (admin.user.size() > kCredentialLength || admin.password.size() > kCredentialLength)
        return UsageError("the administrator name and password hold at most " + std::to_string(kCredentialLength) +
                          " characters each");
    return kExitOk;
}
