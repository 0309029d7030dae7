// The diagnostic lines of the queries ("codepage=950") go to one replaceable sink.
// Default: OutputDebugStringA on Windows, nowhere on Linux.
#pragma once

typedef void (*ConsoleSink)(const char* text);

// Installs sink (null: drop the lines) and returns the previous one.
ConsoleSink SetConsoleSink(ConsoleSink sink);

// Formats one line with a single "%s" and hands it to the sink.
void ConsoleLine(const char* format, const char* value);
