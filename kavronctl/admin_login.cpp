#include "admin_login.h"

#include <stdio.h>

#include "commands.h"
#include "console_text.h"
#include "protocol.h"
#include "terminal.h"

namespace {

// The password to try after the empty one was refused; false when nothing gives one.
// *read: it came from stdin or the terminal, not from the command line (which the
// system hands over in the ANSI code page already).
bool ObtainPassword(const AdminOptions& admin, const std::string& address, std::string* password, bool* read)
{
    *read = !admin.passwordGiven;
    if (admin.passwordGiven) {
        *password = admin.password;
        return true;
    }
    if (admin.passwordStdin)
        return ReadStdinLine(password);
    // The name as the command line gave it: in the ANSI code page under Windows.
    const std::string prompt =
        "Administrator password for " + SystemTextForConsole(admin.user) + " on " + address + ": ";
    return ReadHiddenLine(prompt.c_str(), password);
}

int Silent(const std::string& address)
{
    fprintf(stderr, "kavronctl: %s did not answer the administrator check\n", address.c_str());
    return kExitNoAnswer;
}

}  // namespace

int AskAdmin(const std::string& user, const std::string& password, int* verdict)
{
    CopyTextTo(protocolSession.adminUser, user.c_str());
    CopyTextTo(protocolSession.adminPassword, password.c_str());
    return AskAdminVerdict(verdict);
}

int EnsureAdmin(const AdminOptions& admin)
{
    const std::string address = protocolSession.selectedAddress;
    int refused = kExitRefused;  // or kExitUsage for a password the device cannot take
    AdminCheckSteps check;
    check.ask = [] {
        int verdict = 0;
        if (!AskAdminVerdict(&verdict))
            return AdminAnswer::kSilent;
        return verdict != 0 ? AdminAnswer::kAccepted : AdminAnswer::kRefused;
    };
    check.prompt = [&] {
        std::string password;
        bool read = false;
        if (!ObtainPassword(admin, address, &password, &read)) {
            fprintf(stderr,
                    "kavronctl: %s wants the administrator password: give --password, --password-stdin or run on a "
                    "terminal\n",
                    address.c_str());
            return false;
        }
        if (read && !CredentialForSystem(password, &password)) {
            fprintf(stderr, "kavronctl: %s\n", UnrepresentableCredential("the administrator password").c_str());
            refused = kExitUsage;
            return false;
        }
        if (password.size() > kCredentialLength) {
            fprintf(stderr, "kavronctl: the administrator password holds at most %d characters\n", kCredentialLength);
            refused = kExitUsage;
            return false;
        }
        CopyTextTo(protocolSession.adminPassword, password.c_str());
        return true;
    };
    check.tell = [](const char* message) { fprintf(stderr, "kavronctl: %s\n", message); };
    switch (RunAdminCheck(admin.user.c_str(), check)) {
    case AdminCheck::kAccepted:
        return kExitOk;
    case AdminCheck::kSilent:
        return Silent(address);
    default:
        return refused;
    }
}
