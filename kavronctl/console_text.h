// Text between the console, pipes and the code page Windows' calls take. The device's
// administrator check and the networking calls take credentials in the ANSI code page
// (the window's login dialog gives them so); a console gives what is typed in its own
// code page, and a password file is usually UTF-8. Natively, bytes stay as they are.
#pragma once

#include <stdio.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF). Plain ASCII is.
bool IsUtf8(const std::string& text);

// A line read from a pipe or file: its UTF-8 byte order mark dropped, and whether what
// is left is UTF-8 (else it is taken to be in the console's code page).
bool PipedLineIsUtf8(std::string* line);

// A credential read from a console or pipe (UTF-8 under Windows, see terminal.h) as the
// device and the networking calls take it. False when a character has no place in the
// ANSI code page: it would reach the device as another character or as "?", so it is
// refused rather than sent. Natively the bytes are taken as they are.
bool CredentialForSystem(const std::string& typed, std::string* system);

// What to say when CredentialForSystem refuses: names the code page.
std::string UnrepresentableCredential(const char* what);

// Text in the ANSI code page (Windows' error messages, a name from the command line)
// as the console shows it: in the console's output code page. Natively, and without a
// console, unchanged.
std::string SystemTextForConsole(const std::string& text);

// One line of UTF-8 text (the newline added) on stream. Under Windows, when the stream
// is a console, it goes as UTF-16 through WriteConsoleW, so that a device's name shows
// right whatever the console's code page; to a pipe or file, and natively, the bytes go
// as they are (scripts read UTF-8).
void WriteTextLine(FILE* stream, const std::string& line);

#ifdef _WIN32
// The conversions behind the above, with their code pages given, for the tests.
bool DecodeCodePage(const std::string& bytes, UINT codePage, std::wstring* wide);
// Strict: no best-fit substitutes (an "a" for an "ā"), no default character.
bool EncodeCodePage(const std::wstring& wide, UINT codePage, std::string* bytes);
bool CredentialForCodePage(const std::string& utf8, UINT codePage, std::string* system);
// The piped line as UTF-8: kept when PipedLineIsUtf8, else decoded from codePage.
std::string PipedLineToUtf8(std::string line, UINT codePage);
// Lenient: what the target lacks becomes its default character (display only).
std::string RecodeForDisplay(const std::string& text, UINT from, UINT to);
#endif
