// What another process holds, read from outside it: its private memory and working
// set, its kernel handles, its GDI objects and its USER objects.
//
// Each figure comes from the documented call when that call gives one. Wine answers
// some of those calls with a constant (PrivateUsage 0, GetProcessHandleCount 0,
// GetGuiResources 0 with ERROR_CALL_NOT_IMPLEMENTED): a figure is then read from the
// next source that is real under Wine, and a figure with no real source is reported as
// unavailable, never as 0. docs/windows-notes.md lists which source gives what.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>

namespace soak {

enum Figure { kPrivateBytes, kWorkingSet, kHandles, kGdiObjects, kUserObjects, kFigureCount };

// The name a figure is printed under.
const char* FigureName(Figure figure);

struct Sample {
    std::optional<std::uint64_t> values[kFigureCount];
    // Where each value came from (a short text, for the report).
    const char* sources[kFigureCount] = {};
};

// Reads every figure of the process. The handle needs PROCESS_QUERY_INFORMATION and
// PROCESS_VM_READ; pid is its process id.
Sample SampleProcess(HANDLE process, DWORD pid);

// Reads until two readings in a row agree on the handles, GDI and USER objects (at
// most a few seconds): just after a handler has returned, the window's paints still
// run, and each holds a DC and a bitmap of its own for a moment.
Sample SampleSettled(HANDLE process, DWORD pid);

}  // namespace soak
