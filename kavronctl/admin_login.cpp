#include "admin_login.h"

#include <stdio.h>

#include "commands.h"
#include "protocol.h"
#include "terminal.h"

namespace {

// The password to try after the empty one was refused; false when nothing gives one.
bool ObtainPassword(const AdminOptions& admin, const std::string& address, std::string* password)
{
    if (admin.passwordGiven) {
        *password = admin.password;
        return true;
    }
    if (admin.passwordStdin)
        return ReadStdinLine(password);
    const std::string prompt = "Administrator password for " + admin.user + " on " + address + ": ";
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
    int refused = kExitRefused;  // or kExitUsage for an over-long password
    AdminCheckSteps check;
    check.ask = [] {
        int verdict = 0;
        if (!AskAdminVerdict(&verdict))
            return AdminAnswer::kSilent;
        return verdict != 0 ? AdminAnswer::kAccepted : AdminAnswer::kRefused;
    };
    check.prompt = [&] {
        std::string password;
        if (!ObtainPassword(admin, address, &password)) {
            fprintf(stderr,
                    "kavronctl: %s wants the administrator password: give --password, --password-stdin or run on a "
                    "terminal\n",
                    address.c_str());
            return false;
        }
        if (password.size() > kMaxCredentialLength) {
            fprintf(stderr, "kavronctl: the administrator password holds at most %d characters\n",
                    kMaxCredentialLength);
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
