#include "host_interfaces.h"

namespace {

// Keeps chosen sorted by interface index while adding the wanted addresses one by
// one; an address goes after those of its own interface already there, so one
// interface's addresses keep their listed order. Past capacity the highest fall off.
int TakeInInterfaceOrder(const InterfaceAddress* listed, int count, bool loopback, HostAddress* chosen, int capacity)
{
    int taken = 0;
    for (int i = 0; i < count; ++i) {
        const InterfaceAddress& candidate = listed[i];
        if (!candidate.up || candidate.loopback != loopback)
            continue;
        int at = taken;
        while (at > 0 && chosen[at - 1].deviceIndex > candidate.address.deviceIndex)
            --at;
        if (at >= capacity)
            continue;
        if (taken < capacity)
            ++taken;
        for (int j = taken - 1; j > at; --j)
            chosen[j] = chosen[j - 1];
        chosen[at] = candidate.address;
    }
    return taken;
}

}  // namespace

int ChooseHostAddresses(const InterfaceAddress* listed, int count, HostAddress* chosen, int capacity)
{
    int taken = TakeInInterfaceOrder(listed, count, false, chosen, capacity);
    if (taken == 0)
        taken = TakeInInterfaceOrder(listed, count, true, chosen, capacity);
    return taken;
}
