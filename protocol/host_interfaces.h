// Which of the host's IPv4 addresses get an interface table entry on Linux. The
// Windows resolver answers the host name with the addresses of the interfaces that
// are up, loopback left out; Linux lists every address of every interface, so the
// same choice is made here from that list. Pure: the platform file reads the list.
#pragma once

#include "transport.h"

// One IPv4 address as the system lists it, with the state of its interface.
struct InterfaceAddress {
    HostAddress address;  // deviceIndex orders the interfaces
    bool up;
    bool loopback;
};

// Writes to chosen, in interface order (addresses of one interface in the given
// order), the addresses of interfaces that are up and not loopback, at most capacity.
// Only when there is none are the up loopback addresses taken instead: each address
// costs a full discovery pass, and no device can answer on loopback. Returns the
// number written.
int ChooseHostAddresses(const InterfaceAddress* listed, int count, HostAddress* chosen, int capacity);
