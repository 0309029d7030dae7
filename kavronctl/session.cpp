#include "session.h"

#include <stdio.h>

#include "protocol.h"

NetworkSession::NetworkSession() : started_(StartNetwork() == 1) {}

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

int SelectDevice(const CommandOptions& options, const std::string& address)
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
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
}
