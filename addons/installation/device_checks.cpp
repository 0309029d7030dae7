#include "addons/installation/device_checks.h"

#include <string>

#include "framework/seam.h"
#include "framework/windows_programs.h"
#include "protocol.h"

namespace {

Seam<DeviceChecks> checks{{QueryDiskState, QueryCodepage, QueryBtFirmware, Sleep, WinExec}};

}  // namespace

DeviceChecks SetDeviceChecks(const DeviceChecks& next)
{
    return checks.Replace(next);
}

const DeviceChecks& Checks()
{
    return *checks;
}

int LeadingNumber(const char* text)
{
    int value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9' && value < 100000000; ++p)
        value = value * 10 + (*p - '0');
    return value;
}

int AskUntil(int (*query)(), char* value, int rounds, DWORD pauseMs, bool (*wanted)(int number))
{
    int number = 0;
    for (int round = 0; round < rounds; ++round) {
        value[0] = '\0';
        query();
        checks->sleep(pauseMs);
        number = LeadingNumber(value);
        if (wanted(number))
            break;
    }
    return number;
}

void OpenDevicePages(const char* host)
{
    checks->run(ExplorerCommandLine("http://" + std::string(host)).c_str(), SW_HIDE);
}
