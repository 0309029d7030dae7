#include "app/web_launcher.h"

#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "framework/registry.h"
#include "framework/seam.h"
#include "framework/thread.h"
#include "framework/windows_programs.h"
#include "protocol.h"

namespace {

constexpr DWORD kRegistryTextCapacity = 120;
constexpr int kPolls = 3;
constexpr DWORD kPollPauseMs = 1000;
constexpr char kBrowsers[] = "Software\\Clients\\StartMenuInternet";

Seam<WebLauncherSystem> launcherSystem{{InternetCheckConnectionA, WinExec, Sleep}};

// The verdict, shared with the worker as one integer: the check's number in the
// high bits and its answer in the low two (0 none yet, 1 reachable, 2 not). A worker
// stores its answer only while its own check is the latest and unanswered, so a
// late answer can neither land on a newer check nor be taken for one.
enum Answer : uint32_t { kNoAnswer = 0, kReachable = 1, kUnreachable = 2, kAnswerMask = 3 };
std::atomic<uint32_t> verdict{0};

struct Check {
    std::string url;
    uint32_t number;
};

unsigned CheckReachability(void* param)
{
    Check* check = static_cast<Check*>(param);
    const bool reached = launcherSystem->checkConnection(check->url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
    uint32_t expected = check->number;
    verdict.compare_exchange_strong(expected, check->number | (reached ? kReachable : kUnreachable));
    delete check;
    return 0;
}

}  // namespace

WebLauncherSystem SetWebLauncherSystem(const WebLauncherSystem& system)
{
    return launcherSystem.Replace(system);
}

std::string ReadRegistryText(HKEY root, const char* path, const char* valueName)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return std::string();
    char text[kRegistryTextCapacity] = {};
    if (key.QueryString(valueName, text, sizeof text) != ERROR_SUCCESS)
        return std::string();
    return text;
}

void StartReachabilityCheck(const std::string& url)
{
    const uint32_t number = (verdict.load() & ~static_cast<uint32_t>(kAnswerMask)) + (kAnswerMask + 1);
    verdict.store(number);
    Check* check = new (std::nothrow) Check{url, number};
    if (!check)
        return;
    // The worker owns the check; it is not waited for, so its handle goes at once.
    Thread worker = StartThread(CheckReachability, check);
    if (!worker)
        delete check;
}

bool PollReachability()
{
    for (int poll = 0; poll < kPolls; ++poll) {
        uint32_t seen = verdict.load();
        const uint32_t answer = seen & kAnswerMask;
        if (answer == kReachable) {
            // Used up: the next launch waits for a check of its own.
            verdict.compare_exchange_strong(seen, seen & ~static_cast<uint32_t>(kAnswerMask));
            return true;
        }
        if (answer == kUnreachable)
            return false;
        if (poll + 1 < kPolls)
            launcherSystem->sleep(kPollPauseMs);
    }
    return false;
}

std::string BrowserCommandLine(const std::string& url)
{
    const std::string browser = ReadRegistryText(HKEY_LOCAL_MACHINE, kBrowsers, "");
    if (browser.find("IE") != std::string::npos)
        return ExplorerCommandLine(url);
    // The command is used as registered, quotes around the program's path included.
    const std::string key = std::string(kBrowsers) + "\\" + browser + "\\shell\\open\\command";
    return ReadRegistryText(HKEY_LOCAL_MACHINE, key.c_str(), "") + " " + url;
}

void OpenInBrowser(const std::string& url)
{
    const UINT result = launcherSystem->run(BrowserCommandLine(url).c_str(), SW_HIDE);
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND || result == ERROR_BAD_FORMAT)
        launcherSystem->run(ExplorerCommandLine(url).c_str(), SW_HIDE);
}
