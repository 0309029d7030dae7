#include "console.h"

#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
static void DebuggerSink(const char* text)
{
    OutputDebugStringA(text);
}
static ConsoleSink currentSink = DebuggerSink;
#else
static ConsoleSink currentSink = nullptr;
#endif

ConsoleSink SetConsoleSink(ConsoleSink sink)
{
    ConsoleSink previous = currentSink;
    currentSink = sink;
    return previous;
}

void ConsoleLine(const char* format, const char* value)
{
    if (currentSink == nullptr)
        return;
    // A value is at most one datagram long; the buffer leaves room for the label.
    char line[4096 + 64];
    snprintf(line, sizeof line, format, value != nullptr ? value : "");
    currentSink(line);
}
