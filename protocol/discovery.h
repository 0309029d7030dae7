// Discovery: asks every interface who is there, listens to all of them at once for
// about a second (or, quick, until the answers have stopped), and rebuilds the device
// list.
#pragma once

// How long a pass listens: the full pass through all its windows (the window's Refresh
// and every flow), or the quick one, which ends once the answers have stopped
// (QuickDiscoveryWait, for scripts).
enum class DiscoveryPace { kFull, kQuick };

// Empties the device list and fills it from every answer of the pass, one record per
// device address: interface by interface in table order, on each in the order the
// answers arrived; a device that answers on two interfaces is kept with the first.
// Extended and full answers are kept only when their selector bytes match; an argument
// of 0 accepts any byte.
void Discover(unsigned char selector1, unsigned char selector2, DiscoveryPace pace = DiscoveryPace::kFull);

// The selector bytes the utility's Refresh asks with, and kavronctl unless told others.
constexpr unsigned char kDiscoverySelector1 = 3;
constexpr unsigned char kDiscoverySelector2 = 3;
