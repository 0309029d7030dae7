// Reading a password: one line from standard input, or typed on the terminal without
// being shown (termios natively, the console mode under Windows).
//
// Under Windows every line comes back as UTF-8, whatever its source: a console is read
// as the characters typed (whatever its code page); a pipe or file as UTF-8 when it is
// that (a byte order mark is dropped), else in the console's code page, else the ANSI
// one. Natively a line is the bytes as they came. console_text.h makes credentials of
// them.
#pragma once

#include <string>

// One line of standard input without its line end; false when input ends first.
bool ReadStdinLine(std::string* line);

// Writes prompt to stderr and reads one line from the terminal with echo off. The
// terminal is restored however the read ends: a line, end of input, an error, or a
// signal (Ctrl+C, a closed terminal, kill), after which the process ends as the
// signal would have ended it (under Windows: Ctrl+C, Ctrl+Break or a closed console).
// False when standard input is no terminal (no console under Windows) or ends.
bool ReadHiddenLine(const char* prompt, std::string* line);

// Whether standard input / standard error is a terminal (a console under Windows):
// someone there to answer a question, a line that may be rewritten in place.
bool StdinIsTerminal();
bool StderrIsTerminal();

// Writes prompt to stderr and reads one line typed on the terminal, shown as typed.
// False when standard input is no terminal or ends.
bool ReadTypedLine(const char* prompt, std::string* line);
