// How long the real utility's main window takes to answer while its flows wait: a
// sampler thread sends the window WM_NULL (SendMessageTimeout) every 20 ms during each
// operation and keeps the longest time it took to be answered. A window that waits on
// its own thread answers only when the exchange is over; one that waits on a worker
// answers within a few milliseconds.
//
// The lab's simulator plays bench/response.json: "Answers" answers everything,
// "Silent" never answers an address change, its disk state or its BitTorrent firmware.
// Prints one "response op=NAME max_ms=... samples=... wall_ms=..." line per operation.
//
//   utility_response_bench PATH_TO_KavronStorageUtility.exe
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "winauto.h"

namespace {

constexpr DWORD kSampleMs = 20;

double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

struct Sampler {
    HWND window;
    std::atomic<bool> stop{false};
    std::vector<double> answers;  // ms, one per sample
};

DWORD WINAPI Sample(void* param)
{
    Sampler& s = *static_cast<Sampler*>(param);
    while (!s.stop.load()) {
        const double start = NowMs();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(s.window, WM_NULL, 0, 0, SMTO_NORMAL, 180000, &result);
        const double took = NowMs() - start;
        s.answers.push_back(took);
        if (took < kSampleMs)
            Sleep(static_cast<DWORD>(kSampleMs - took));
    }
    return 0;
}

// Runs start(), samples the window until done() returns, and prints the figures.
template <class Start, class Done>
void Measure(const char* name, HWND window, Start start, Done done)
{
    Sampler sampler{window};
    HANDLE thread = CreateThread(nullptr, 0, Sample, &sampler, 0, nullptr);
    const double begin = NowMs();
    start();
    const bool ended = done();
    const double wall = NowMs() - begin;
    sampler.stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    // The longest answer, and how the others lie: one late answer on a loaded machine
    // is not a window that waits on its own thread.
    std::vector<double>& a = sampler.answers;
    std::sort(a.begin(), a.end());
    const double maxMs = a.empty() ? 0 : a.back();
    const double p99 = a.empty() ? 0 : a[a.size() * 99 / 100];
    const long over = static_cast<long>(a.end() - std::upper_bound(a.begin(), a.end(), 100.0));
    std::printf("response op=%s max_ms=%.1f p99_ms=%.1f over_100ms=%ld samples=%zu wall_ms=%.1f ended=%d\n", name,
                maxMs, p99, over, a.size(), wall, ended);
    std::fflush(stdout);
}

int RowOf(HWND list, const char* name)
{
    const auto rows = winauto::ReadListView(list);
    for (size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].cells.empty() && rows[i].cells[0] == name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: utility_response_bench PATH_TO_UTILITY\n");
        return 2;
    }
    std::string command = "\"" + WindowsPath(argv[1]) + "\"";
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "utility_response_bench: cannot start %s\n", argv[1]);
        return 1;
    }
    const DWORD pid = process.dwProcessId;
    const HWND window = winauto::WaitForWindow("Kavron Storage Utility", pid, 60000);
    const HWND list = window ? GetDlgItem(window, IDC_DEVICE_LIST) : nullptr;
    if (!list || !winauto::WaitIdle(window, 60000) ||
        !winauto::WaitFor([&] { return RowOf(list, "Silent") >= 0; }, 20000)) {
        std::fprintf(stderr, "utility_response_bench: the utility's window or its devices never came\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    const auto idle = [&] { return winauto::WaitIdle(window, 180000); };

    Measure(
        "refresh", window, [&] { winauto::ClickCentre(GetDlgItem(window, IDC_REFRESH)); }, idle);
    Measure(
        "selection", window, [&] { winauto::ClickListRow(list, RowOf(list, "Answers")); }, idle);

    // The address change the silent device never answers (the administrator check it
    // answers comes first).
    winauto::ClickListRow(list, RowOf(list, "Silent"));
    idle();
    SendMessageA(GetDlgItem(window, IDC_IP_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(198, 51, 100, 109));
    Measure(
        "address_change_unanswered", window, [&] { winauto::ClickCentre(GetDlgItem(window, IDC_APPLY)); }, idle);

    // The BitTorrent support check on the silent device: it ends in a message.
    winauto::ClickListRow(list, RowOf(list, "Silent"));
    idle();
    winauto::MessageBoxText box;
    Measure(
        "bittorrent_check_unanswered", window,
        [&] { PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BITTORRENT, BN_CLICKED), 0); },
        [&] {
            box = winauto::WaitForMessageBox(pid, 240000, window);
            return box.window != nullptr;
        });
    if (box.window)
        PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    idle();

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
