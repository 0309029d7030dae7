// The administrator check that kavronctl puts in front of every setting: the
// utility's (protocol/admin_check.h), the user with the empty password first, and only
// when the device refuses that, the password given, read from standard input or typed
// on a terminal.
#pragma once

#include <string>

struct AdminOptions {
    std::string user = "admin";
    std::string password;
    bool passwordGiven = false;  // --password
    bool passwordStdin = false;  // --password-stdin: one line
};

// Asks the selected device once. Returns 1 with its verdict (0 refused), 0 when it
// did not answer.
int AskAdmin(const std::string& user, const std::string& password, int* verdict);

// The whole check on the selected device. Returns kExitOk when the device accepts,
// kExitRefused after a wrong password or when there is no password to try,
// kExitNoAnswer when it stays silent, kExitUsage for an over-long password; says why on
// stderr.
int EnsureAdmin(const AdminOptions& admin);
