#include "settings_commands.h"

#include <stdio.h>
#include <string.h>

#include <memory>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "command_line.h"

#include "console_text.h"
#include "output.h"
#include "protocol.h"
#include "session.h"
#include "terminal.h"

namespace {

using nlohmann::json;

// What a command ended with, for --json: the outcome and the address the device has
// now as far as this process knows.
json Outcome(const char* outcome)
{
    return {{"outcome", outcome}, {"address", protocolSession.selectedAddress}};
}

const char* OutcomeOf(int status, const char* success)
{
    switch (status) {
    case kExitOk:
        return success;
    case kExitUsage:
        return "invalid";
    case kExitRefused:
        return "refused";
    default:
        return "no answer";
    }
}

// Prints the outcome (JSON, or the text line of a success) and returns status.
int Conclude(const CommandOptions& options, int status, const json& outcome, const std::string& text)
{
    if (options.json) {
        PrintLine(DumpJson(outcome));
    } else if (status == kExitOk && !text.empty()) {
        PrintLine(text);
    }
    return status;
}

int Failed(const CommandOptions& options, int status)
{
    return Conclude(options, status, Outcome(OutcomeOf(status, "done")), "");
}

int NotFound(const CommandOptions& options)
{
    return Conclude(options, kExitNoAnswer, Outcome("not found"), "");
}

int Silent(const CommandOptions& options, const char* what)
{
    fprintf(stderr, "kavronctl: %s did not answer %s\n", protocolSession.selectedAddress, what);
    return Failed(options, kExitNoAnswer);
}

// A refusal of the panel's rules: its message, and where the panel would put the focus.
int Invalid(const CommandOptions& options, const SettingsCheck& check, const char* port)
{
    fprintf(stderr, "kavronctl: %s%s\n", port, check.message);
    json outcome = Outcome("invalid");
    outcome["message"] = check.message;
    static const char* const kFields[] = {"ip", "netmask", "gateway"};
    if (check.field >= 0 && check.field < 3) {
        outcome["field"] = kFields[check.field];
        outcome["octet"] = check.octet;
    }
    return Conclude(options, kExitUsage, outcome, "");
}

int Moved(const CommandOptions& options, const std::string& from, json outcome, const std::string& text)
{
    outcome["moved"] = {{"from", from}, {"to", protocolSession.selectedAddress}};
    return Conclude(options, kExitOk, outcome, text + from + " -> " + protocolSession.selectedAddress);
}

// What every settings command opens with: the socket layer for the length of the
// command, the device at the address selected, and the administrator check once the
// command's own checks have passed. A step that fails says so and prints the outcome;
// the steps after it keep that exit status.
class SettingsOpening {
public:
    SettingsOpening(const CommandOptions& options, const std::string& address) : options_(options)
    {
        if (!network_.started())
            status_ = NetworkFailure();
        else if (DiscoverAndSelect(options, address) != kExitOk)
            status_ = NotFound(options);
    }
    // kExitOk while every step so far passed.
    int status() const { return status_; }
    // The administrator check, when every step so far passed; the status after it.
    int Admit(const AdminOptions& admin)
    {
        if (status_ == kExitOk) {
            const int admitted = EnsureAdmin(admin);
            if (admitted != kExitOk)
                status_ = Failed(options_, admitted);
        }
        return status_;
    }

private:
    const CommandOptions& options_;
    NetworkSession network_;
    int status_ = kExitOk;
};

// Replaces one port of the table: a fixed address as the panel stores its fields, or
// DHCP with the port's other texts as the device reported them.
void ReplacePort(const PortArgument& wanted, PortConfig* port)
{
    if (wanted.dhcp) {
        CopyTextTo(port->dhcpFlag, "1");
    } else {
        StorePortSettings(wanted.ip, wanted.netmask, wanted.gateway, 0, port);
    }
}

// Pending texts as the panel's check leaves them when LAN1 passes it, for a table in
// which no fixed port was checked.
void PendingFromFirstPort()
{
    const PortConfig& lan1 = protocolSession.portConfig.lan1;
    CopyTextTo(protocolSession.pendingAddress, lan1.address);
    CopyTextTo(protocolSession.pendingNetmask, lan1.netmask);
    const bool noGateway = lan1.gateway[0] == '\0' || strcmp(lan1.gateway, "0.0.0.0") == 0;
    CopyTextTo(protocolSession.pendingGateway, noGateway ? "" : lan1.gateway);
}

}  // namespace

int RunVerifyAdmin(const CommandOptions& options, const std::string& address, const AdminOptions& admin)
{
    // This command is the administrator check itself, with the password as given.
    SettingsOpening opening(options, address);
    if (opening.status() != kExitOk)
        return opening.status();
    std::string password = admin.password;
    if (admin.passwordStdin && !ReadStdinLine(&password)) {
        fprintf(stderr, "kavronctl: no password on standard input\n");
        return Failed(options, kExitRefused);
    }
    if (admin.passwordStdin && !CredentialForSystem(password, &password)) {
        fprintf(stderr, "kavronctl: %s\n", UnrepresentableCredential("the administrator password").c_str());
        return Failed(options, kExitUsage);
    }
    if (password.size() > kCredentialLength) {
        fprintf(stderr, "kavronctl: the administrator password holds at most %d characters\n", kCredentialLength);
        return Failed(options, kExitUsage);
    }
    int verdict = 0;
    if (!AskAdmin(admin.user, password, &verdict))
        return Silent(options, "the administrator check");
    json outcome = Outcome(verdict != 0 ? "accepted" : "refused");
    outcome["verdict"] = verdict;
    if (verdict == 0) {
        fprintf(stderr, "kavronctl: %s refused the administrator %s\n", address.c_str(), admin.user.c_str());
        return Conclude(options, kExitRefused, outcome, "");
    }
    return Conclude(options, kExitOk, outcome, "accepted (verdict " + std::to_string(verdict) + ")");
}

int RunSetAddress(const CommandOptions& options, const std::string& address, const AddressArguments& arguments,
                  const AdminOptions& admin)
{
    // As the panel does for a single-port device set to a fixed address: the fields go
    // into the first port (whose empty name keeps the table empty, so the address
    // travels alone), and the check takes the pending texts from there.
    CopyTextTo(protocolSession.selectedAddress, address.c_str());
    StorePortSettings(arguments.ip, arguments.netmask, arguments.gateway, 0, &protocolSession.portConfig.lan1);
    const SettingsCheck check =
        CheckAndRecordNetworkSettings(arguments.ip, arguments.netmask, arguments.gateway, &protocolSession);
    if (!check.Accepted())
        return Invalid(options, check, "");

    SettingsOpening opening(options, address);
    if (opening.Admit(admin) != kExitOk)
        return opening.status();
    if (!ApplyAddressSettings())
        return Silent(options, "the address change");
    json outcome = Outcome("done");
    outcome["netmask"] = protocolSession.pendingNetmask;
    outcome["gateway"] = protocolSession.pendingGateway;
    return Moved(options, address, outcome, "");
}

int RunEnableDhcp(const CommandOptions& options, const std::string& address, const AdminOptions& admin)
{
    SettingsOpening opening(options, address);
    if (opening.Admit(admin) != kExitOk)
        return opening.status();
    if (!EnableDhcpClient())
        return Silent(options, "the switch to DHCP");
    return Moved(options, address, Outcome("done"), "DHCP client enabled: ");
}

int RunSetPorts(const CommandOptions& options, const std::string& address, const PortArgument& lan1,
                const PortArgument& lan2, const AdminOptions& admin)
{
    SettingsOpening opening(options, address);
    if (opening.status() != kExitOk)
        return opening.status();
    PortConfigTable& table = protocolSession.portConfig;
    memset(&table, 0, sizeof table);
    if (!QueryPortConfig())
        return Silent(options, "the port query");
    const DeviceRecord* device = FindSelectedDevice();
    if (!IsTwoPortModel(device->model) || IsPortConfigEmpty(table)) {
        // The model is the device's text: written as the output's lines are.
        WriteTextLine(stderr, "kavronctl: " + address + " is not a two-port device (model \"" +
                                  EscapeField(device->model) + "\"" +
                                  (IsPortConfigEmpty(table) ? ", no port table" : "") +
                                  "); use set-address or enable-dhcp");
        json outcome = Outcome("invalid");
        outcome["message"] = "not a two-port device";
        return Conclude(options, kExitUsage, outcome, "");
    }

    if (lan1.given)
        ReplacePort(lan1, &table.lan1);
    if (lan2.given)
        ReplacePort(lan2, &table.lan2);
    // Each fixed port given passes the panel's check. The check records its pending
    // texts from LAN1 whichever port it reads, and the last one to pass decides the
    // gateway text: LAN1 goes last so that it is LAN1's own.
    const struct {
        const PortArgument& wanted;
        const char* name;
    } checked[] = {{lan2, "LAN2: "}, {lan1, "LAN1: "}};
    bool anyChecked = false;
    for (const auto& port : checked) {
        if (!port.wanted.given || port.wanted.dhcp)
            continue;
        const SettingsCheck check =
            CheckAndRecordNetworkSettings(port.wanted.ip, port.wanted.netmask, port.wanted.gateway, &protocolSession);
        if (!check.Accepted())
            return Invalid(options, check, port.name);
        anyChecked = true;
    }
    if (!anyChecked)
        PendingFromFirstPort();

    if (opening.Admit(admin) != kExitOk)
        return opening.status();
    if (!ApplyAddressSettings())
        return Silent(options, "the port table");
    json outcome = Outcome("done");
    outcome["ports"] = json::array({PortJson(table.lan1), PortJson(table.lan2)});
    return Moved(options, address, outcome, "");
}

namespace {

// The administrator's options and the arguments of one setting command, filled by the
// parser and read by the command's callback.
struct SettingArguments {
    std::string address;
    AdminOptions admin;
};

// ADDRESS, then the command's own arguments (added by addArguments), then the
// administrator's options and the common ones, in the order the help lists them.
template <typename Arguments, typename AddArguments>
std::shared_ptr<Arguments> AddSettingCommand(CLI::App* command, CommandLine* line, AddArguments addArguments)
{
    auto args = std::make_shared<Arguments>();
    AddAddressArgument(command, &args->address);
    addArguments(command, args.get());
    AddAdminOptions(command, &args->admin);
    AddCommonOptions(command, line);
    return args;
}

// The checks every setting command starts with: the address, then the administrator's
// name and password.
int CheckSetting(const SettingArguments& args)
{
    const int checked = CheckAddress(args.address);
    return checked != kExitOk ? checked : CheckAdmin(args.admin);
}

void RegisterVerifyAdmin(CLI::App& app, CommandLine& line)
{
    CLI::App* command =
        app.add_subcommand("verify-admin", "Ask the device at ADDRESS whether it takes the administrator's password");
    auto args = AddSettingCommand<SettingArguments>(command, &line, [](CLI::App*, SettingArguments*) {});
    OnCommand(command, &line, [&line, args] {
        const int checked = CheckSetting(*args);
        return checked != kExitOk ? checked : RunVerifyAdmin(line.options, args->address, args->admin);
    });
}

void RegisterSetAddress(CLI::App& app, CommandLine& line)
{
    struct Arguments : SettingArguments {
        std::string ip, netmask, gateway;
    };
    CLI::App* command =
        app.add_subcommand("set-address", "Give the device at ADDRESS a fixed address, netmask and gateway");
    auto args = AddSettingCommand<Arguments>(command, &line, [](CLI::App* command, Arguments* args) {
        command->add_option("IP", args->ip, "The new address")->required();
        command->add_option("NETMASK", args->netmask, "The new netmask")->required();
        command->add_option("GATEWAY", args->gateway, "The new gateway (none when left out)");
    });
    OnCommand(command, &line, [&line, args] {
        const int checked = CheckSetting(*args);
        if (checked != kExitOk)
            return checked;
        AddressArguments fields;
        if (!ParseAddressArgument(args->ip, &fields.ip))
            return UsageError(kNotAnAddress + args->ip);
        if (!ParseAddressArgument(args->netmask, &fields.netmask))
            return UsageError(kNotAnAddress + args->netmask);
        fields.gateway = AddressInput{true, {0, 0, 0, 0}};
        if (!args->gateway.empty() && !ParseAddressArgument(args->gateway, &fields.gateway))
            return UsageError(kNotAnAddress + args->gateway);
        return RunSetAddress(line.options, args->address, fields, args->admin);
    });
}

void RegisterEnableDhcp(CLI::App& app, CommandLine& line)
{
    CLI::App* command = app.add_subcommand("enable-dhcp", "Make the device at ADDRESS a DHCP client");
    auto args = AddSettingCommand<SettingArguments>(command, &line, [](CLI::App*, SettingArguments*) {});
    OnCommand(command, &line, [&line, args] {
        const int checked = CheckSetting(*args);
        return checked != kExitOk ? checked : RunEnableDhcp(line.options, args->address, args->admin);
    });
}

void RegisterSetPorts(CLI::App& app, CommandLine& line)
{
    struct Arguments : SettingArguments {
        std::string lan1, lan2;
    };
    CLI::App* command = app.add_subcommand("set-ports", "Change the LAN ports of the two-port device at ADDRESS");
    auto args = AddSettingCommand<Arguments>(command, &line, [](CLI::App* command, Arguments* args) {
        command->add_option("--lan1", args->lan1, "IP/NETMASK[/GATEWAY] or dhcp");
        command->add_option("--lan2", args->lan2, "IP/NETMASK[/GATEWAY] or dhcp");
    });
    OnCommand(command, &line, [&line, args] {
        const int checked = CheckSetting(*args);
        if (checked != kExitOk)
            return checked;
        if (args->lan1.empty() && args->lan2.empty())
            return UsageError("set-ports: give --lan1, --lan2 or both");
        PortArgument lan1, lan2;
        std::string error;
        if (!args->lan1.empty() && !ParsePortArgument(args->lan1, &lan1, &error))
            return UsageError("--lan1: " + error);
        if (!args->lan2.empty() && !ParsePortArgument(args->lan2, &lan2, &error))
            return UsageError("--lan2: " + error);
        return RunSetPorts(line.options, args->address, lan1, lan2, args->admin);
    });
}

}  // namespace

void RegisterSettingsCommands(CLI::App& app, CommandLine& line)
{
    RegisterVerifyAdmin(app, line);
    RegisterSetAddress(app, line);
    RegisterEnableDhcp(app, line);
    RegisterSetPorts(app, line);
}
