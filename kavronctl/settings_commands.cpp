#include "settings_commands.h"

#include <stdio.h>
#include <string.h>

#include <nlohmann/json.hpp>

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
        fprintf(stderr, "kavronctl: %s is not a two-port device (model \"%s\"%s); use set-address or enable-dhcp\n",
                address.c_str(), EscapeField(device->model).c_str(), IsPortConfigEmpty(table) ? ", no port table" : "");
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
