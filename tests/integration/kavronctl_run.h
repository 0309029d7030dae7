// Runs the real kavronctl of this build from a lab test, natively or under Wine.
#pragma once

#include <stdio.h>

#include <string>

struct CommandRun {
    int status;
    std::string out;  // stdout, CR LF line ends made LF
    std::string err;  // stderr, when captured
};

// Starts kavronctl with the arguments (a shell redirection may follow them).
FILE* StartKavronctl(const std::string& arguments);

// Reads the started command's output to its end and waits for its exit status.
CommandRun Finish(FILE* pipe);

CommandRun Kavronctl(const std::string& arguments);

#ifdef _WIN32
// What kavronctl writes to a console: run on a new console of this process's own, the
// screen read back with each row's trailing blanks dropped, one line per row. Empty
// when no console could be had.
std::wstring KavronctlOnConsole(const std::string& arguments);
#endif

// The same with stderr kept apart from stdout, and stdin read from stdinFile (a
// path from LabFile) or, when empty, from the empty device.
CommandRun KavronctlApart(const std::string& arguments, const std::string& stdinFile = "");

// A file in the lab's scratch folder, in this build's spelling, created with content.
std::string LabFile(const char* name, const std::string& content);
