// The interfaces whose receive socket could not be opened on the interface's address
// and the protocol's port, typically because another program holds the port for
// itself. Their exchanges go on and time out as before (no device is heard there);
// this is only what the user is told once, at start-up.
#pragma once

#include "protocol_types.h"

struct ReceiveFailure {
    char address[16];  // the interface's dotted address
    int error;         // the system's error code
    char reason[256];  // the system's text for it, without a line end; "Error N." without one
};

// The failures of the open interface table, in table order; at most capacity of them.
// Returns their number (0 when every receive socket was bound, or the table is closed).
int FindReceiveFailures(ReceiveFailure* failures, int capacity);
