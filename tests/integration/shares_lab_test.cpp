// The devices' volumes as folders of the lab. Natively: the folders and their add-on
// folders appear when a configuration is applied, keep their files when it is applied
// again, and follow a device to its new address. Under Wine (with the lab's network
// provider): \\ADDRESS\VOLUME\... leads there for fopen and CopyFileA in the spellings the
// utility writes, an unwritable path stays so, a drive letter shows the same files, and
// shares come and go with the configuration while the program runs.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "kavronctl_run.h"
#include "sim_control.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>
#include <winnetwk.h>
#else
#include <filesystem>
#endif

namespace {

// A device with the given system volume (sub-code 12) and volume list (sub-code 3).
json Device(const char* identity, const char* address, const char* system, const char* volumes)
{
    json device = SimDevice(identity, address);
    device["values"] = {{"12", system}, {"3", volumes}};
    return device;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : "(cannot read " + path + ")";
}

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << text);
}

#ifndef _WIN32

bool IsFolder(const std::string& path)
{
    return std::filesystem::is_directory(path);
}

TEST(SimShares, FoldersAppearKeepTheirFilesAndFollowTheDevice)
{
    // The system volume is reported in lower case, the volume list spells it otherwise.
    const json devices = {Device("02a1b2c3d4e5", "198.51.100.20", "hdd_1", "HDD_1:USB1"),
                          Device("02a1b2c37f31", "198.51.100.31", "HDD_a", "HDD_a")};
    ASSERT_TRUE(ApplySimDevices(devices));
    const std::string root = LabPath("KAVRON_SIM_SHARES");
    ASSERT_FALSE(root.empty());
    const std::string office = root + "/198.51.100.20/";
    EXPECT_TRUE(IsFolder(office + "hdd_1/.systemfile/.codepages"));
    EXPECT_TRUE(IsFolder(office + "hdd_1/Nas_Prog/BT"));
    EXPECT_TRUE(IsFolder(office + "USB1"));
    EXPECT_TRUE(IsFolder(root + "/198.51.100.31/HDD_a/.codepages"));
    EXPECT_TRUE(IsFolder(root + "/198.51.100.31/HDD_a/Nas_Prog/BT"));

    ASSERT_TRUE(Write(office + "hdd_1/Nas_Prog/BT/bt", "payload"));
    ASSERT_TRUE(ApplySimDevices(devices));
    EXPECT_EQ(Read(office + "HDD_1/Nas_Prog/BT/bt"), "payload");  // both spellings, one volume

    const CommandRun moved = Kavronctl("set-address 198.51.100.20 198.51.100.21 255.255.255.0 198.51.100.1");
    ASSERT_EQ(moved.status, 0) << moved.out;
    EXPECT_EQ(Read(root + "/198.51.100.21/hdd_1/Nas_Prog/BT/bt"), "payload");
    EXPECT_FALSE(IsFolder(office + "hdd_1")) << "nothing plays at the old address";
    EXPECT_TRUE(IsFolder(root + "/198.51.100.31/HDD_a"));

    // The configuration applied again brings the device back, with its files.
    ASSERT_TRUE(ApplySimDevices(devices));
    EXPECT_EQ(Read(office + "hdd_1/Nas_Prog/BT/bt"), "payload");
    EXPECT_FALSE(IsFolder(root + "/198.51.100.21"));
}

#else

std::string Env(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

TEST(SimShares, UncPathsLeadToTheFoldersWhileTheProgramRuns)
{
    json office = Device("02a1b2c3d4e5", "198.51.100.20", "hdd_1", "HDD_1:USB1");
    office["unwritablePaths"] = {"hdd_1/.systemfile/.codepages/codepage.950"};
    ASSERT_TRUE(ApplySimDevices(json::array({office})));
    const std::string shares = Env("KAVRON_SIM_SHARES_WIN") + "\\198.51.100.20\\hdd_1";
    ASSERT_NE(shares, "\\198.51.100.20\\hdd_1");

    // Codepage files go to the volume as reported; the BitTorrent programs to "HDD_1",
    // with a forward slash in the folder.
    FILE* file = fopen("\\\\198.51.100.20\\hdd_1\\.systemfile\\.codepages\\x", "wb");
    ASSERT_NE(file, nullptr);
    fputs("codepage", file);
    fclose(file);
    EXPECT_EQ(Read(shares + "\\.systemfile\\.codepages\\x"), "codepage");
    const std::string local = LabFile("bt", "bt program");
    const char bt[] = "\\\\198.51.100.20\\HDD_1\\Nas_Prog/BT\\bt";
    ASSERT_TRUE(CopyFileA(local.c_str(), bt, FALSE)) << GetLastError();
    EXPECT_EQ(Read(shares + "\\Nas_Prog\\BT\\bt"), "bt program");

    const char blocked[] = "\\\\198.51.100.20\\hdd_1\\.systemfile\\.codepages\\codepage.950";
    EXPECT_EQ(fopen(blocked, "wb"), nullptr);
    EXPECT_FALSE(CopyFileA(local.c_str(), blocked, FALSE));
    EXPECT_FALSE(PathFileExistsA(blocked));

    // The utility's connection on a file's path, and a drive letter on the volume as the
    // volume list spells it: the provider finds the share played and the letter shows it.
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = const_cast<char*>(bt);
    EXPECT_EQ(WNetAddConnection2A(&resource, nullptr, nullptr, 0), static_cast<DWORD>(NO_ERROR));
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = const_cast<char*>("Y:");
    resource.lpRemoteName = const_cast<char*>("\\\\198.51.100.20\\HDD_1");
    ASSERT_EQ(WNetAddConnection2A(&resource, "", "", 0), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(Read("Y:\\Nas_Prog\\BT\\bt"), "bt program");
    EXPECT_EQ(WNetCancelConnection2A("Y:", 0, TRUE), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(Read(Env("KAVRON_NETPROVIDER_LOG_WIN")).find("\"share\":\"created\""), std::string::npos);

    // A device that arrives is reachable once its configuration is acknowledged; one that
    // has gone is not.
    ASSERT_TRUE(ApplySimDevices(json::array({Device("02a1b2c3a840", "203.0.113.40", "HDD_a", "")})));
    EXPECT_TRUE(PathFileExistsA("\\\\203.0.113.40\\HDD_a\\.codepages"));
    EXPECT_TRUE(Write("\\\\203.0.113.40\\HDD_a\\Nas_Prog/BT\\btdog", "dog"));
    EXPECT_FALSE(PathFileExistsA("\\\\198.51.100.20\\hdd_1"));
    EXPECT_EQ(Read(Env("KAVRON_SIM_SHARES_WIN") + "\\203.0.113.40\\HDD_a\\Nas_Prog\\BT\\btdog"), "dog");
}

#endif

}  // namespace
