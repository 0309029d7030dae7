// kavronctl's Windows commands under Wine, against simulated devices whose volumes are
// folders of the lab: drive letters through the lab's network provider, add-ons written
// onto the device's share.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kavronctl_run.h"
#include "payloads.h"
#include "sim_control.h"
#include "wine_io.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The office device: volumes HDD_1 and USB1, its disks ready, firmware with BitTorrent.
json Office(const json& values = json::object())
{
    json device = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    device["values"] = {{"3", "HDD_1:USB1"}, {"12", "HDD_1"}, {"11", "3"}, {"9", "850"}, {"15", "1"}};
    device["values"].update(values);
    return device;
}

// The provider's add calls for a letter, in order.
std::vector<json> Adds(const char* letter)
{
    std::vector<json> adds;
    std::istringstream log(ReadFile(LabPath("KAVRON_NETPROVIDER_LOG")));
    for (std::string line; std::getline(log, line);) {
        json call = json::parse(line, nullptr, false);
        if (call.value("call", "") == "add3" && call.value("local", "") == letter)
            adds.push_back(call);
    }
    return adds;
}

TEST(KavronctlWindows, MapAndUnmapAsConnectAndDisconnectDo)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Office()})));
    CommandRun run = Kavronctl("map 198.51.100.20 hdd_1 y");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Y:\t\\\\198.51.100.20\\HDD_1\n") << "the device's spelling";
    EXPECT_TRUE(PathFileExistsA("Y:\\.systemfile")) << "the letter shows the volume";

    // A letter in use is refused unless --force; no question without a terminal.
    run = KavronctlApart("map 198.51.100.20 USB1 Y:");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Y: is in use (\\\\198.51.100.20\\HDD_1)"), std::string::npos) << run.err;
    run = Kavronctl("map 198.51.100.20 USB1 Y: --force --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(json::parse(run.out, nullptr, false),
              (json{{"outcome", "mapped"}, {"drive", "Y:"}, {"remote", "\\\\198.51.100.20\\USB1"}}));
    for (const char* refused : {"map 198.51.100.20 NOPE", "map 198.51.100.20 HDD_1 C:", "map 198.51.100.20 HDD_1 5"}) {
        run = KavronctlApart(refused);
        EXPECT_EQ(run.status, 2) << refused << run.err;
    }

    // After a refused first try, where the window lets the system ask, the command
    // tries the user it was given, without CONNECT_INTERACTIVE; the password piped as
    // UTF-8 reaches the system as the characters it holds.
    std::ofstream(LabPath("KAVRON_NETPROVIDER_CONTROL")) << "add X: 1326 1\nadd W: 1326 2\n";
    run = KavronctlApart("map 198.51.100.20 HDD_1 X: --user bob --password-stdin", LabFile("pw.in", "s\xc3\xa9"
                                                                                                    "cret\n"));
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<json> adds = Adds("X:");
    ASSERT_EQ(adds.size(), 2u);
    EXPECT_EQ(adds[1]["user"], "bob");
    EXPECT_EQ(adds[1]["password"], "s\xc3\xa9"
                                   "cret");
    EXPECT_EQ(adds[1]["flags"], CONNECT_UPDATE_PROFILE);
    // Without a user and without a terminal: the same try, with nobody asked.
    run = KavronctlApart("map 198.51.100.20 HDD_1 W:");
    EXPECT_EQ(run.status, 5);
    EXPECT_NE(run.err.find("Failed to map drive. "), std::string::npos) << run.err;
    adds = Adds("W:");
    ASSERT_EQ(adds.size(), 2u) << "an interactive try would not reach the provider";
    EXPECT_EQ(adds[1]["flags"], CONNECT_UPDATE_PROFILE);

    run = Kavronctl("unmap y:");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Y:\n");
    EXPECT_FALSE(PathFileExistsA("Y:\\.systemfile"));
    run = KavronctlApart("unmap Y:");
    EXPECT_EQ(run.status, 5);
    EXPECT_NE(run.err.find("Unable to disconnect Y:"), std::string::npos) << run.err;
    EXPECT_EQ(Kavronctl("unmap X:").status, 0);
}

// A console shows the device's UTF-8 names as the characters they are, whatever its
// code page; a pipe gets the UTF-8 bytes; map finds such a name by the command line's
// word (the ANSI code page) and gives the system the name the window would give it.
TEST(KavronctlWindows, DeviceNamesBeyondAsciiShowOnAConsoleStayUtf8InAPipeAndMap)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Office({{"3", "HDD_1:B\xc3\xbcrodaten"}})})));
    EXPECT_EQ(Kavronctl("query 198.51.100.20 volumes").out, "HDD_1\nB\xc3\xbcrodaten\n");
    const std::wstring shown = KavronctlOnConsole("query 198.51.100.20 volumes");
    // Written as bytes, the console shows them in its code page: "BÃ¼rodaten".
    EXPECT_NE(shown.find(L"HDD_1\nB\u00fcrodaten\n"), std::wstring::npos) << shown.size() << " characters";

    const CommandRun run = KavronctlApart("map 198.51.100.20 b\xfcrodaten V:");
    const std::vector<json> adds = Adds("V:");
    ASSERT_EQ(adds.size(), 1u) << run.err;
    EXPECT_EQ(adds[0]["remote"], "\\\\198.51.100.20\\B\xc3\xbcrodaten");
    Kavronctl("unmap V:");
}

// The payload's size as the table has it.
size_t PayloadSize(const char* name)
{
    for (const Payload& payload : kPayloads) {
        if (std::string(payload.name) == name)
            return payload.size;
    }
    return 0;
}

TEST(KavronctlWindows, InstallCodepageWritesTheFilesOntoTheShareAndWaitsForTheRestart)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Office()})));
    const CommandRun run = KavronctlApart("install-codepage 198.51.100.20 950 --restart-wait 1");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "codepage 950 installed on 198.51.100.20\n");
    EXPECT_NE(run.err.find("The system is restarting. Please wait a moment. 100 %"), std::string::npos) << run.err;
    const std::string folder = LabPath("KAVRON_SIM_SHARES") + "\\198.51.100.20\\HDD_1\\.systemfile\\.codepages\\";
    for (const char* name : {"codepage.950", "nls_cp950.ko", "nls_cp950_12.ko", "unicode_map.950"}) {
        EXPECT_EQ(ReadFile(folder + name).size(), PayloadSize(name)) << name;
        EXPECT_GT(PayloadSize(name), 0u);
    }

    struct Refusal {
        json device;
        const char* arguments;
        int status;
        const char* message;
    };
    json blocked = Office();
    blocked["unwritablePaths"] = {"HDD_1/.systemfile/.codepages/codepage.936"};
    const Refusal refusals[] = {
        {Office(), "install-codepage 198.51.100.20 865", 2, "This codepage does not supported in this firmware."},
        {Office(), "install-codepage 198.51.100.20 123", 2, "CODEPAGE is one of 950, 936, 850, 865"},
        {Office({{"11", "2"}}), "install-codepage 198.51.100.20 950", 2, "Please format hard drive."},
        {blocked, "install-codepage 198.51.100.20 936", 5, "Please check hard drives."},
    };
    for (const Refusal& refusal : refusals) {
        ASSERT_TRUE(ApplySimDevices(json::array({refusal.device})));
        const CommandRun refused = KavronctlApart(std::string(refusal.arguments) + " --restart-wait 0");
        EXPECT_EQ(refused.status, refusal.status) << refusal.arguments << refused.err;
        EXPECT_NE(refused.err.find(refusal.message), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out, "");
    }
}

TEST(KavronctlWindows, InstallBtChecksTheAdministratorAndTheDeviceFirst)
{
    json guarded = Office();
    guarded["admin"] = {{"password", "secret"}};
    ASSERT_TRUE(ApplySimDevices(json::array({guarded})));
    CommandRun run = KavronctlApart("install-bt 198.51.100.20 --restart-wait 0");
    EXPECT_EQ(run.status, 4) << run.err;
    run = KavronctlApart("install-bt 198.51.100.20 --password-stdin --restart-wait 1", LabFile("pw.in", "secret\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "BitTorrent installed on 198.51.100.20\n");
    const std::string folder = LabPath("KAVRON_SIM_SHARES") + "\\198.51.100.20\\HDD_1\\Nas_Prog\\BT\\";
    EXPECT_EQ(ReadFile(folder + "bt").size(), PayloadSize("bt"));
    EXPECT_EQ(ReadFile(folder + "btdog").size(), PayloadSize("btdog"));
    EXPECT_EQ(0, StagingFoldersLeft()) << "the local copies are gone";
    EXPECT_FALSE(PathFileExistsA("C:\\bt")) << "nothing is staged in the drive's root";

    ASSERT_TRUE(ApplySimDevices(json::array({Office({{"15", "2"}})})));
    run = KavronctlApart("install-bt 198.51.100.20 --restart-wait 0");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("BitTorrent does not supported on this device now."), std::string::npos) << run.err;
}

}  // namespace
