// The ClientId of every fuzz run: fixed bytes that the seeds carry, the last `zeros`
// of its six compared bytes (0 to 6) zero, as one instance in 256 has at least one.
#pragma once

#include "protocol_types.h"

inline void InstallFuzzClientId(int zeros)
{
    static const unsigned char fixed[6] = {0x4b, 0x56, 0x21, 0x7e, 0x10, 0xc3};
    for (int i = 0; i < 6; ++i)
        clientId[i] = i < 6 - zeros ? fixed[i] : 0;
    for (int i = 6; i < kClientIdSize; ++i)
        clientId[i] = 0;
}
