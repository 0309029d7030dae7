// Tells the Windows versions apart for the login and drive-mapping code, which
// adapt to 9x, NT 4 and version 6 systems.
#pragma once
#include <cstddef>

// Classifies one version triple. Writes the text ("Windows 98 SE", "Vista", or
// "unknown Windows version") into text (bounded by capacity) and returns the code
// (1..7 for 9x, 101..104 for NT, 201 for CE, 0 for 6.x and anything unknown).
int ClassifyWindowsVersion(unsigned long platformId, unsigned long major, unsigned long minor,
                           unsigned long buildNumber, char* text, size_t capacity);

// Reads the running system's version. Fills text and code as above; returns false
// (text "unknown Windows version", code 0) when the version cannot be read.
bool DescribeWindowsVersion(char* text, size_t capacity, int* code);
