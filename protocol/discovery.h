// Discovery: asks every interface in turn who is there and rebuilds the device list.
#pragma once

// Empties the device list and fills it from the answers, one record per device
// address, in the order the first answers arrived. Extended and full answers are kept
// only when their selector bytes match; an argument of 0 accepts any byte.
void Discover(unsigned char selector1, unsigned char selector2);
