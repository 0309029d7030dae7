// The two system calls the web configuration launcher rests on, under Wine against the
// simulator's pages: the reachability check (InternetCheckConnectionA with
// FLAG_ICC_FORCE_CONNECTION) and the default browser as the registry names it, started
// with WinExec. Runs in `lab/lab run --wine --browser --sim ...`: the registered browser
// is the lab's recorder, which logs the page it fetched.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "sim_control.h"

namespace {

const char* const kOffice = "198.51.100.20";  // SSL off
const char* const kMedia = "198.51.100.31";   // SSL on

json Devices()
{
    json office = SimDevice("02a1b2c3d4e5", kOffice);
    office["name"] = "Office Storage";
    office["values"] = {{"19", "0"}};
    json media = SimDevice("02a1b2c37f31", kMedia);
    media["name"] = "Living Room Media";
    media["values"] = {{"19", "1"}};
    return json::array({office, media});
}

struct Check {
    bool reachable;
    long long tookMs;
};

Check CheckConnection(const std::string& url)
{
    const auto start = std::chrono::steady_clock::now();
    const BOOL reachable = InternetCheckConnectionA(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0);
    const auto took = std::chrono::steady_clock::now() - start;
    return Check{reachable != FALSE, std::chrono::duration_cast<std::chrono::milliseconds>(took).count()};
}

// The web lines the simulator logged for one device since the mark. A connection is
// logged when the simulator sees it end, which may be just after the client has moved
// on: wait a little for the first one.
std::vector<json> WebLines(size_t mark, const char* device)
{
    std::vector<json> lines;
    for (int i = 0; i < 100 && lines.empty(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const json& line : SimLogSince(mark)) {
            if (line.contains("scheme") && line.value("device", "") == device)
                lines.push_back(line);
        }
    }
    return lines;
}

// A registry value as the launcher reads it: the key's default value, 120 bytes at most.
std::string ReadDefaultValue(const std::string& subkey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "";
    char buffer[120] = {};
    DWORD size = sizeof buffer;
    const LONG read = RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? std::string(buffer) : "";
}

std::string BrowserCommand()
{
    const std::string name = ReadDefaultValue("Software\\Clients\\StartMenuInternet");
    return ReadDefaultValue("Software\\Clients\\StartMenuInternet\\" + name + "\\shell\\open\\command");
}

// Waits for the recorder's next log line after `lines` lines.
json NextBrowserLine(size_t lines)
{
    for (int i = 0; i < 400; ++i) {
        std::ifstream in(LabPath("KAVRON_BROWSER_LOG_WIN"));
        std::string line;
        for (size_t n = 0; std::getline(in, line); ++n) {
            if (n == lines)
                return json::parse(line, nullptr, false);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return json();
}

TEST(WebLaunch, ForcedConnectionCheckConnectsToTheSchemesPortAndFailsAtOnceForAGoneDevice)
{
    ASSERT_TRUE(ApplySimDevices(Devices()));
    size_t mark = SimLogMark();
    Check check = CheckConnection(std::string("http://") + kOffice);
    EXPECT_TRUE(check.reachable);
    check = CheckConnection(std::string("https://") + kMedia);
    EXPECT_TRUE(check.reachable);
    // A bare connection and nothing sent: port 80 for http, 443 for https.
    std::vector<json> office = WebLines(mark, kOffice);
    ASSERT_EQ(office.size(), 1u);
    EXPECT_EQ(office[0]["scheme"], "http");
    EXPECT_EQ(office[0]["error"], "closed before a request");
    std::vector<json> media = WebLines(mark, kMedia);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0]["scheme"], "https");
    // Nothing listens on 443 of a device without SSL.
    EXPECT_FALSE(CheckConnection(std::string("https://") + kOffice).reachable);

    ASSERT_TRUE(ApplySimDevices(json::array({Devices()[1]})));
    check = CheckConnection(std::string("http://") + kOffice);
    EXPECT_FALSE(check.reachable);
    EXPECT_LT(check.tookMs, 1000);
    std::printf("gone device: false after %lld ms\n", check.tookMs);
    // An address nothing ever held: the connection waits for the neighbour lookup to fail.
    check = CheckConnection("http://198.51.100.99");
    EXPECT_FALSE(check.reachable);
    std::printf("address never held: false after %lld ms\n", check.tookMs);
}

TEST(WebLaunch, RegisteredBrowserStartedLikeTheLauncherFetchesTheDevicePage)
{
    ASSERT_TRUE(ApplySimDevices(Devices()));
    const std::string command = BrowserCommand();
    ASSERT_EQ(command, "\"C:\\Program Files\\Kavron Lab Browser\\kavron-browser-recorder.exe\"");

    size_t lines = 0;
    for (const auto& [scheme, address, name] :
         {std::make_tuple("http", kOffice, "Office Storage"), std::make_tuple("https", kMedia, "Living Room Media")}) {
        const std::string url = std::string(scheme) + "://" + address;
        const std::string commandLine = command + " " + url;
        const size_t mark = SimLogMark();
        ASSERT_GT(WinExec(commandLine.c_str(), SW_HIDE), 31u) << commandLine;
        const json line = NextBrowserLine(lines++);
        ASSERT_TRUE(line.is_object()) << "no line from the browser for " << url;
        EXPECT_EQ(line["commandLine"], commandLine);
        EXPECT_EQ(line["url"], url);
        EXPECT_EQ(line.value("status", 0), 200) << line.dump();
        const std::string body = line.value("body", "");
        EXPECT_NE(body.find(std::string("<title>Kavron device ") + name + "</title>"), std::string::npos) << body;
        EXPECT_NE(body.find(std::string("device-address: ") + address + "\n"), std::string::npos);
        EXPECT_NE(body.find(std::string("device-scheme: ") + scheme + "\n"), std::string::npos);
        const std::vector<json> fetched = WebLines(mark, address);
        ASSERT_EQ(fetched.size(), 1u);
        EXPECT_EQ(fetched[0]["path"], "/");
        EXPECT_EQ(fetched[0]["client"].get<std::string>().rfind(std::string(kClientLan0) + ":", 0), 0u);
    }
}

}  // namespace
