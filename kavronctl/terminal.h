// Reading a password: one line from standard input, or typed on the terminal without
// being shown (termios natively, the console mode under Windows).
#pragma once

#include <string>

// One line of standard input without its line end; false when input ends first.
bool ReadStdinLine(std::string* line);

// Writes prompt to stderr and reads one line from the terminal with echo off,
// restoring the terminal afterwards. False when standard input is no terminal (no
// console under Windows) or ends.
bool ReadHiddenLine(const char* prompt, std::string* line);

// Whether standard input / standard error is a terminal (a console under Windows):
// someone there to answer a question, a line that may be rewritten in place.
bool StdinIsTerminal();
bool StderrIsTerminal();

// Writes prompt to stderr and reads one line typed on the terminal, shown as typed.
// False when standard input is no terminal or ends.
bool ReadTypedLine(const char* prompt, std::string* line);
