// The web launcher: the scheme rule, the registered browser's command line, the
// explorer fallback, the reachability verdict (answered at once, late or never) and
// Configuration on the main window, with the device and the system played.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/web_launcher.h"
#include "message_box_recorder.h"
#include "framework/registry.h"
#include "main_window_fixture.h"

namespace {

const char kBrowsers[] = "Software\\Clients\\StartMenuInternet";
// Explorer by its full path in the prefix's Windows folder: never one found beside the
// program or in the current folder.
const std::string kExplorer = "\"C:\\windows\\explorer.exe\" ";

// The played device answers the check with `reachable`; a check of the late
// address answers once `release` is set, one of the silent address not before the
// test ends. The workers are detached: the test follows them through what they do
// here (entered, answered), each change told through `changed`.
std::atomic<bool> reachable{true};
HANDLE release = nullptr;
HANDLE testEnd = nullptr;
const char kLate[] = "http://198.51.100.20";
const char kSilent[] = "http://198.51.100.22";
std::mutex workers;
std::condition_variable changed;
int entered = 0;  // checks begun
int checks = 0;   // checks answered

BOOL PlayedCheck(const char* url, DWORD flags, DWORD)
{
    EXPECT_EQ(static_cast<DWORD>(FLAG_ICC_FORCE_CONNECTION), flags);
    {
        std::lock_guard<std::mutex> lock(workers);
        ++entered;
    }
    changed.notify_all();
    if (std::string(url) == kLate)
        WaitForSingleObject(release, INFINITE);
    if (std::string(url) == kSilent)
        WaitForSingleObject(testEnd, INFINITE);
    const BOOL answer = reachable ? TRUE : FALSE;
    {
        std::lock_guard<std::mutex> lock(workers);
        ++checks;
    }
    changed.notify_all();
    return answer;
}

// Waits (at most 10 s) until the workers have done what `done` looks for.
template <class Done>
bool AwaitWorkers(Done done)
{
    std::unique_lock<std::mutex> lock(workers);
    return changed.wait_for(lock, std::chrono::seconds(10), done);
}

std::vector<std::string> commands;
UINT runResult = 33;  // above 31: started
UINT PlayedRun(const char* commandLine, UINT show)
{
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), show);
    commands.push_back(commandLine);
    return commands.size() == 1 ? runResult : 33;
}

// A second of the launcher's polling is 50 ms here; the worker gets the time it needs.
void ShortSleep(DWORD ms)
{
    Sleep(ms / 20);
}

void RegisterBrowser(const char* name, const char* command)
{
    RegKey browsers;
    ASSERT_EQ(ERROR_SUCCESS, browsers.Create(HKEY_LOCAL_MACHINE, kBrowsers));
    ASSERT_EQ(ERROR_SUCCESS, browsers.SetString("", name));
    if (command) {
        RegKey open;
        const std::string key = std::string(kBrowsers) + "\\" + name + "\\shell\\open\\command";
        ASSERT_EQ(ERROR_SUCCESS, open.Create(HKEY_LOCAL_MACHINE, key.c_str()));
        ASSERT_EQ(ERROR_SUCCESS, open.SetString("", command));
    }
}

class WebLauncherTest : public MainDialogFixture {
protected:
    void SetUp() override
    {
        MainDialogFixture::SetUp();
        release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        testEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        previous_ = SetWebLauncherSystem({PlayedCheck, PlayedRun, ShortSleep});
        commands.clear();
        runResult = 33;
        reachable = true;
    }
    void TearDown() override
    {
        SetEvent(release);
        SetEvent(testEnd);
        // Every check began in the test itself (its verdict was polled, or the test saw
        // it begin): once each has answered, no worker touches the events or the calls.
        EXPECT_TRUE(AwaitWorkers([] { return checks == entered; }));
        SetWebLauncherSystem(previous_);
        CloseHandle(release);
        CloseHandle(testEnd);
        MainDialogFixture::TearDown();
    }
    WebLauncherSystem previous_{};
};

TEST_F(WebLauncherTest, TheRegisteredBrowserIsRunAsStored)
{
    const std::string url = "http://198.51.100.20";
    RegisterBrowser("IEXPLORE.EXE", "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\"");
    EXPECT_EQ(kExplorer + url, BrowserCommandLine(url));
    // "ie" in lower case only is another browser: its command, quotes and all.
    RegisterBrowser("Sieve Browser", "\"C:\\Program Files\\Sieve\\sieve.exe\" -osint -url");
    EXPECT_EQ("\"C:\\Program Files\\Sieve\\sieve.exe\" -osint -url " + url, BrowserCommandLine(url));
    // A browser whose command key is missing: a blank and the address.
    RegisterBrowser("Gone", nullptr);
    EXPECT_EQ(" " + url, BrowserCommandLine(url));
    // A value that does not fit 120 bytes reads as empty.
    RegisterBrowser(std::string(130, 'x').c_str(), nullptr);
    EXPECT_EQ("", ReadRegistryText(HKEY_LOCAL_MACHINE, kBrowsers, ""));

    // Explorer takes over when the browser's program cannot be found or run.
    RegisterBrowser("Sieve Browser", "\"C:\\Program Files\\Sieve\\sieve.exe\"");
    for (UINT result : {2u, 3u, 11u, 5u, 33u}) {
        commands.clear();
        runResult = result;
        OpenInBrowser(url);
        const bool fallback = result == 2 || result == 3 || result == 11;
        ASSERT_EQ(fallback ? 2u : 1u, commands.size()) << result;
        if (fallback) {
            EXPECT_EQ(kExplorer + url, commands[1]);
        }
    }
}

TEST_F(WebLauncherTest, VerdictsCountOnlyForTheirOwnCheck)
{
    StartReachabilityCheck("http://198.51.100.21");
    EXPECT_TRUE(PollReachability());
    EXPECT_FALSE(PollReachability()) << "a verdict is used once";

    reachable = false;
    StartReachabilityCheck("http://198.51.100.21");
    EXPECT_FALSE(PollReachability());

    // A device that answers only after the polls gave up: its late "reachable" must
    // not count for the next check, still waiting for an answer of its own.
    reachable = true;
    int before = 0;
    AwaitWorkers([&] { return (before = checks) == entered; });
    StartReachabilityCheck(kLate);
    EXPECT_FALSE(PollReachability());
    StartReachabilityCheck(kSilent);
    SetEvent(release);
    ASSERT_TRUE(AwaitWorkers([&] { return checks == before + 1 && entered == before + 2; }))
        << "the late check answered, the silent one began";
    EXPECT_FALSE(PollReachability());
}

TEST_F(WebLauncherTest, ConfigurationOpensTheSelectedDeviceOrReportsItGone)
{
    RegisterBrowser("Sieve Browser", "sieve.exe");
    MessageBoxRecorder boxes;
    Click(IDC_CONFIGURATION);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Please select a device to configure.", boxes.messages[0].text);
    EXPECT_EQ("Warning", boxes.messages[0].caption);
    EXPECT_TRUE(commands.empty());

    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
    Select(0);
    CopyTextTo(protocolSession.sslValue, "1");
    Click(IDC_CONFIGURATION);
    EXPECT_EQ((std::vector<std::string>{"sieve.exe https://198.51.100.20"}), commands);
    EXPECT_STREQ("198.51.100.20", selectedHost);

    reachable = false;
    Click(IDC_CONFIGURATION);
    ASSERT_EQ(2u, boxes.messages.size());
    EXPECT_EQ("Device is no longer available.", boxes.messages[1].text);
    EXPECT_EQ("Warning", boxes.messages[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), boxes.messages[1].icon());
    EXPECT_EQ(0, Devices().GetItemCount()) << "the list is refreshed (nobody answers here)";
    EXPECT_EQ(1u, commands.size());
}

}  // namespace
