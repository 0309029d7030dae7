#include "session.h"

#include <stdio.h>

#include "console_text.h"
#include "protocol.h"

NetworkSession::NetworkSession() : started_(StartNetwork() == 1)
{
    // The exchanges go on without the address (no device is heard there): say why the
    // answer may be incomplete, on stderr so that the output stays as it is.
    ReceiveFailure failures[kMaxInterfaces];
    const int count = FindReceiveFailures(failures, kMaxInterfaces);
    for (int i = 0; i < count; ++i) {
        fprintf(stderr, "kavronctl: cannot receive the devices' answers at %s, UDP port %d: %s\n", failures[i].address,
                kProtocolPort, SystemTextForConsole(failures[i].reason).c_str());
    }
}

NetworkSession::~NetworkSession()
{
    ClearDevices();
    ClearVolumes(&volumeList);
    if (started_)
        StopNetwork();
}

int NetworkFailure()
{
    fprintf(stderr, "kavronctl: the socket layer could not be started\n");
    return kExitNetwork;
}

int DiscoverAndSelect(const CommandOptions& options, const std::string& address)
{
    Discover(options.selector1, options.selector2);
    CopyTextTo(protocolSession.selectedAddress, address.c_str());
    if (FindSelectedDevice() != nullptr)
        return kExitOk;
    fprintf(stderr, "kavronctl: no device found at %s\n", address.c_str());
    return kExitNoAnswer;
}

void PrintLine(const std::string& line)
{
    WriteTextLine(stdout, line);
}
