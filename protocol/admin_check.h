// The administrator check in front of a settings change, the same for the utility and
// kavronctl: the device is first asked for the user with the empty password; only when
// it refuses is the user asked, once, for a password, and the device asked again. A
// second refusal gets "Wrong administrator password input!". How the device is asked
// (where the wait runs, whether silence counts as a refusal), how the user is asked
// (the login dialog, the terminal or standard input) and how the message is shown are
// the front end's, given as callables.
#pragma once

#include <functional>

// The device's answer to the administrator check.
enum class AdminAnswer { kAccepted, kRefused, kSilent };

struct AdminCheckSteps {
    // Asks the device about protocolSession.adminUser / adminPassword.
    std::function<AdminAnswer()> ask;
    // Asks the user and stores the credentials in protocolSession; false when nobody
    // could give a password (the front end has said why).
    std::function<bool()> prompt;
    // Shows the message of a wrong password.
    std::function<void(const char* message)> tell;
};

// The check's outcome: kAccepted, kRefused (a wrong password, or none to try), or
// kSilent when the device did not answer.
enum class AdminCheck { kAccepted, kRefused, kSilent };

// Runs the check for user on the selected device.
AdminCheck RunAdminCheck(const char* user, const AdminCheckSteps& steps);

// The message of a second refusal.
extern const char kWrongAdminPassword[];
