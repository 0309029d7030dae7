// Configuration of the real utility under Wine: the device's pages open in the
// registered browser (the lab's recorder) with the scheme the device asks for, and
// a device that has gone is reported and the list refreshed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim_control.h"
#include "utility_driver.h"

namespace {

// The recorder's lines: one per browser start.
std::vector<json> BrowserStarts()
{
    std::vector<json> starts;
    const char* path = std::getenv("KAVRON_BROWSER_LOG_WIN");
    std::ifstream log(path ? path : "");
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty())
            starts.push_back(json::parse(line, nullptr, false));
    }
    return starts;
}

const char kRecorder[] = "\"C:\\Program Files\\Kavron Lab Browser\\kavron-browser-recorder.exe\"";

class WebEndToEnd : public UtilityTest {
protected:
};

TEST_F(WebEndToEnd, ConfigurationOpensTheDevicesPageWithItsScheme)
{
    struct Case {
        const char *name, *url, *address;
    };
    const Case cases[] = {
        {"Office Storage", "http://198.51.100.20", "198.51.100.20"},
        {"Living Room Media", "https://198.51.100.31", "198.51.100.31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.name);
        const size_t before = BrowserStarts().size();
        winauto::ClickCentre(U().Item(IDC_CONFIGURATION));
        ASSERT_TRUE(WaitFor([&] { return BrowserStarts().size() > before; }, 30000)) << "no browser started";
        const json start = BrowserStarts().back();
        EXPECT_EQ(std::string(kRecorder) + " " + c.url, start["commandLine"]);
        EXPECT_EQ(200, start.value("status", 0));
        const std::string body = start.value("body", "");
        EXPECT_NE(std::string::npos, body.find(std::string("device-address: ") + c.address)) << body;
        EXPECT_NE(std::string::npos, body.find(c.name)) << body;
        ASSERT_TRUE(winauto::WaitIdle(U().window, 20000));
    }
}

TEST_F(WebEndToEnd, ADeviceThatHasGoneIsReportedAndTheListRefreshed)
{
    Select("Office Storage");
    // The device leaves the network: the simulator plays only the other one now.
    json media = SimDevice("0e0e0e0e0302", "198.51.100.31");
    media["name"] = "Living Room Media";
    media["on"] = json::array({kSimLan0});
    media["values"] = {{"19", "1"}};
    ASSERT_TRUE(ApplySimDevices(json::array({media})));
    const size_t before = BrowserStarts().size();
    winauto::ClickCentre(U().Item(IDC_CONFIGURATION));
    const winauto::MessageBoxText box = winauto::WaitForMessageBox(U().ProcessId(), 20000, U().window);
    EXPECT_EQ("Device is no longer available.", box.text);
    EXPECT_EQ("Warning", box.caption);
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(winauto::WaitIdle(U().window, 30000));
    EXPECT_EQ(-1, U().RowOf("Office Storage")) << "the list shows the network as it is now";
    EXPECT_GE(U().RowOf("Living Room Media"), 0);
    EXPECT_EQ(before, BrowserStarts().size()) << "no browser for a device that has gone";
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
