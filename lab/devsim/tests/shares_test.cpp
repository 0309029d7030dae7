// The devices' volumes as folders: which folders a device plays, and what a new plan does
// to the folders and links an earlier one made (in a temporary folder, no sockets).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "config.h"
#include "device.h"
#include "shares.h"

namespace devsim {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::vector<Device> Devices(const std::string& devices)
{
    const ConfigResult r =
        ParseConfig(R"({"generation": 1, "interfaces": ["198.51.100.2"], "devices": [)" + devices + "]}");
    EXPECT_TRUE(r.ok) << r.error;
    std::vector<Device> out;
    for (const DeviceConfig& config : r.config.devices)
        out.emplace_back(config);
    return out;
}

bool Mentions(const std::vector<std::string>& problems, const std::string& text)
{
    for (const std::string& problem : problems) {
        if (problem.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST(SharePlan, VolumesAsReportedWithTheSystemVolumesAddonFolders)
{
    const SharePlan plan = PlanShares(Devices(R"(
      {"identity": "02a1b2c3d4e5", "address": "198.51.100.20",
       "values": {"12": "hdd_1", "3": "HDD_1:USB1::Bad/Name:..:usb1:Scans"},
       "extraFolders": ["scans/2024/May"],
       "unwritablePaths": ["HDD_1/Nas_Prog/BT/btdog", "HDD_1/.systemfile", "hdd_1/.systemfile/.codepages/x",
                           "Nope/x"]},
      {"identity": "02a1b2c37f31", "address": "198.51.100.31", "values": {"12": "HDD_a", "3": "HDD_a"}},
      {"identity": "02a1b2c37f31", "address": "198.51.100.31", "values": {"12": "Other"}},
      {"identity": "02a1b2c3a840", "address": "203.0.113.40", "values": {"3": "HDD_1"}},
      {"identity": "02a1b2c3a840", "address": "203.0.113.41", "values": {"12": "HDD_1"}, "addonFolders": false})"));
    ASSERT_EQ(plan.devices.size(), 4u) << "the second device on 198.51.100.31 plays nothing";

    // One volume per name without regard to case, spelled as the system volume is.
    const DeviceShares& hdd1 = plan.devices[0];
    EXPECT_EQ(hdd1.address, "198.51.100.20");
    EXPECT_EQ(hdd1.disk, "02a1b2c3d4e5-198.51.100.20");
    EXPECT_EQ(hdd1.volumes, (Names{"hdd_1", "USB1", "Scans"}));
    EXPECT_EQ(hdd1.aliases, (std::vector<std::pair<std::string, std::string>>{{"HDD_1", "hdd_1"}, {"usb1", "USB1"}}));
    // An unwritable path takes the place of every folder at or below it.
    EXPECT_EQ(hdd1.folders, (Names{"hdd_1/Nas_Prog", "hdd_1/Nas_Prog/BT", "Scans/2024", "Scans/2024/May"}));
    EXPECT_EQ(hdd1.unwritable, (Names{"hdd_1/Nas_Prog/BT/btdog", "hdd_1/.systemfile"}));
    EXPECT_TRUE(Mentions(plan.problems, "198.51.100.20: volume \"Bad/Name\" not played"));
    EXPECT_TRUE(Mentions(plan.problems, "198.51.100.20: volume \"..\" not played"));
    EXPECT_TRUE(Mentions(plan.problems, "\"Nope/x\" is in none of its volumes"));

    EXPECT_EQ(plan.devices[1].folders, (Names{"HDD_a/.codepages", "HDD_a/Nas_Prog", "HDD_a/Nas_Prog/BT"}));
    // No system volume, no add-on folders; nor when the configuration leaves them out.
    EXPECT_EQ(plan.devices[2].volumes, (Names{"HDD_1"}));
    EXPECT_TRUE(plan.devices[2].folders.empty());
    EXPECT_TRUE(plan.devices[3].folders.empty());
}

class ShareFoldersTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/devsim-shares-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        top_ = pattern;
        unc_ = top_ + "/unc";
        shares_.emplace(top_ + "/shares", unc_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(top_, ignored);
    }
    std::vector<std::string> Apply(const std::string& extra)
    {
        return shares_->Sync(
            PlanShares(Devices(R"({"identity": "02a1b2c3d4e5", "address": "198.51.100.20", )" + extra + "}")));
    }
    static bool Writable(const std::string& path)
    {
        std::ofstream out(path, std::ios::binary);
        return static_cast<bool>(out << "x");
    }

    std::string top_, unc_;
    std::optional<ShareFolders> shares_;
};

TEST_F(ShareFoldersTest, LinksFollowThePlanAndOnlyWhatWasMadeHereIsTakenAway)
{
    // Already in the prefix: the network provider's empty folder for a share nobody played
    // yet, and a share a test plays from a folder of its own.
    fs::create_directories(unc_ + "/198.51.100.20/USB1");
    fs::create_directory_symlink(top_, unc_ + "/198.51.100.20/Own");
    std::vector<std::string> problems =
        Apply(R"("values": {"12": "HDD_1", "3": "USB1:Own"}, "unwritablePaths": ["HDD_1/Nas_Prog/BT/bt"])");
    ASSERT_EQ(problems.size(), 1u) << testing::PrintToString(problems);
    EXPECT_TRUE(Mentions(problems, unc_ + "/198.51.100.20/Own is left alone")) << problems[0];
    EXPECT_EQ(fs::read_symlink(unc_ + "/198.51.100.20/Own"), top_);
    EXPECT_TRUE(fs::is_symlink(unc_ + "/198.51.100.20/USB1"));
    EXPECT_TRUE(fs::is_directory(unc_ + "/198.51.100.20/HDD_1/Nas_Prog/BT"));
    const std::string volume = top_ + "/shares/198.51.100.20/HDD_1";
    EXPECT_TRUE(fs::is_directory(volume + "/.systemfile/.codepages"));
    EXPECT_FALSE(Writable(volume + "/Nas_Prog/BT/bt"));
    EXPECT_FALSE(fs::exists(volume + "/Nas_Prog/BT/bt"));

    // Taken back: the path is writable again, the empty add-on folders go, and so does
    // the link of a volume no longer reported.
    EXPECT_TRUE(
        Apply(R"("values": {"12": "HDD_1"}, "addonFolders": false, "extraFolders": ["HDD_1/Nas_Prog/BT"])").empty());
    EXPECT_TRUE(Writable(volume + "/Nas_Prog/BT/bt"));
    EXPECT_FALSE(fs::exists(volume + "/.systemfile"));
    EXPECT_FALSE(fs::exists(unc_ + "/198.51.100.20/USB1"));

    // A folder with a file in it stays; a file written before its path became unwritable
    // gives way to the link.
    ASSERT_TRUE(Writable(volume + "/late"));
    EXPECT_TRUE(
        Apply(R"("values": {"12": "HDD_1"}, "addonFolders": false, "unwritablePaths": ["HDD_1/late"])").empty());
    EXPECT_TRUE(fs::exists(volume + "/Nas_Prog/BT/bt"));
    EXPECT_FALSE(fs::exists(volume + "/late"));
}

}  // namespace
}  // namespace devsim
