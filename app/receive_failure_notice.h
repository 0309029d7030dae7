// The one message at start-up that names the PC's addresses on which the utility could
// not listen for the devices' answers (another program holds the protocol's port), so
// that an empty list is not taken for a network without devices.
#pragma once

#include <windows.h>

#include <string>

#include "protocol.h"

// The message for the given failures; empty when there are none.
std::string ReceiveFailureMessage(const ReceiveFailure* failures, int count);

// Shows the message for the open interface table's failures, owned by the main
// window (shown first if it is not yet), with the caption "Error" and the stop icon;
// nothing when there are none.
void ReportReceiveFailures(HWND owner);
