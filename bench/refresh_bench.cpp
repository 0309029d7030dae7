// A Refresh of the real utility as a user makes it: from the click on Refresh to the
// device list filled again (Refresh enabled once more after its discovery and the
// window's thread answering again), next to the
// nominal discovery pass. Prints one "key=value ..." line per round; tools/bench runs it
// under Wine in labs with two interfaces and with eight.
//
//   refresh_bench PATH_TO_KavronStorageUtility.exe ROUNDS
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_process.h"
#include "cadence.h"
#include "res/resource.h"
#include "winauto.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: refresh_bench PATH_TO_UTILITY ROUNDS\n");
        return 2;
    }
    const std::string path = WindowsPath(argv[1]);
    const int rounds = std::atoi(argv[2]);
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    std::string command = "\"" + path + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "refresh_bench: cannot start %s\n", path.c_str());
        return 1;
    }
    HWND window = winauto::WaitForWindow("Kavron Storage Utility", process.dwProcessId, 60000);
    HWND refresh = window ? GetDlgItem(window, IDC_REFRESH) : nullptr;
    HWND list = window ? GetDlgItem(window, IDC_DEVICE_LIST) : nullptr;
    int status = 0;
    if (!refresh || !list || !winauto::WaitIdle(window, 30000)) {
        std::fprintf(stderr, "refresh_bench: the utility's window did not come up\n");
        status = 1;
    }
    for (int round = 0; status == 0 && round < rounds; ++round) {
        const double start = NowMs();
        winauto::ClickCentre(refresh);
        // Refresh is disabled while its discovery runs; the list is filled when it is
        // enabled again.
        const bool began = winauto::WaitFor([&] { return !IsWindowEnabled(refresh); }, 5000, 1);
        const bool ended = began && winauto::WaitFor([&] { return IsWindowEnabled(refresh) != FALSE; }, 30000, 1);
        // The count comes back once the window's thread has filled the list and
        // answers again.
        const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        const double wall = NowMs() - start;
        std::printf("refresh round=%d wall_ms=%.1f rows=%ld nominal_ms=%ld\n", round, wall, static_cast<long>(rows),
                    NominalDiscoveryMs());
        std::fflush(stdout);
        if (!ended)
            status = 1;
        winauto::WaitIdle(window, 10000);
    }
    if (window)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}
