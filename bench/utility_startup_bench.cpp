// Start-up of the real utility: time from starting its process to its main window
// being shown, and to its device list being filled by the first discovery, and the
// utility's peak memory.
// Prints one "key=value ..." line per round; tools/bench runs it under Wine in a lab
// with the simulator and compares the time with the nominal discovery time.
//
//   utility_startup_bench PATH_TO_KavronStorageUtility.exe ROUNDS
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_process.h"
#include "cadence.h"
#include "protocol_types.h"
#include "res/resource.h"
#include "winauto.h"

namespace {

// Local IPv4 addresses as the utility will find them: discovery visits each.
int InterfaceCount()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return 0;
    char name[128] = {};
    int count = 0;
    if (gethostname(name, sizeof(name)) == 0) {
        if (hostent* host = gethostbyname(name)) {
            while (count < kMaxInterfaces && host->h_addr_list[count])
                ++count;
        }
    }
    WSACleanup();
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: utility_startup_bench PATH_TO_UTILITY ROUNDS\n");
        return 2;
    }
    const std::string path = WindowsPath(argv[1]);
    const int rounds = std::atoi(argv[2]);
    const int interfaces = InterfaceCount();
    const long nominal = NominalDiscoveryMs();  // one pass over every interface
    for (int round = 0; round < rounds; ++round) {
        STARTUPINFOA startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        std::string command = "\"" + path + "\"";
        const double start = NowMs();
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            std::fprintf(stderr, "utility_startup_bench: cannot start %s\n", path.c_str());
            return 1;
        }
        HWND window = nullptr;
        while (!window && NowMs() - start < 60000) {
            window = winauto::WaitForWindow("Kavron Storage Utility", process.dwProcessId, 0);
            if (!window)
                Sleep(2);
        }
        const double shown = NowMs() - start;
        // The list filled: the simulator's devices are there once the first discovery
        // has ended (at once when it ran before the window appeared).
        const HWND list = window ? GetDlgItem(window, IDC_DEVICE_LIST) : nullptr;
        while (list && NowMs() - start < 60000) {
            DWORD_PTR rows = 0;
            if (SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &rows) && rows > 0)
                break;
            Sleep(2);
        }
        const double listed = NowMs() - start;
        // Let it settle as a user would see it, then read its peak working set.
        winauto::WaitIdle(window, 10000);
        PROCESS_MEMORY_COUNTERS memory{sizeof(memory)};
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory));
        if (window)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        std::printf("startup round=%d shown=%d wall_ms=%.1f listed_ms=%.1f nominal_ms=%ld interfaces=%d peak_kb=%zu\n",
                    round, window != nullptr, shown, listed, nominal, interfaces, memory.PeakWorkingSetSize / 1024);
        std::fflush(stdout);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 0;
}
