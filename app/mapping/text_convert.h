// Conversions of the texts devices send to what the windows show and the networking
// calls take (the ANSI code page); kavronctl maps volumes by the same names.
#pragma once
#include <windows.h>

#include <cstddef>

// Converts UTF-8 text (at most its first 256 bytes) to the ANSI code page, into out
// (capacity bytes, always terminated; empty when capacity is below 2). Characters
// the code page lacks become its replacement character.
void Utf8ToAnsi(const char* utf8, char* out, size_t capacity);

// Parses strict dotted-decimal text ("a.b.c.d", each 0-255) into a host-order value
// with the first number in the high byte, as IP address controls take it.
bool ParseDottedAddress(const char* text, DWORD* hostOrder);
