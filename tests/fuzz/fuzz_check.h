// A broken invariant ends the fuzz run at once with a message: libFuzzer keeps the
// input as a crash. Checks say what must hold, not merely that nothing crashed.
#pragma once

#include <stdio.h>
#include <string.h>

[[noreturn]] inline void FuzzFail(const char* what, const char* file, int line)
{
    fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    __builtin_trap();
}

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            FuzzFail(#condition, __FILE__, __LINE__);                                                                  \
    } while (0)

// A fixed-width text field holds its terminator inside the field.
template <size_t N>
bool Terminated(const char (&field)[N])
{
    return memchr(field, 0, N) != nullptr;
}
