// The drive letter table, the drive box and the Location rule, with the system's
// drives played through the table's seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/drive_panel.h"
#include "app/mapping/drive_table.h"
#include "fakes.h"

namespace {

class DriveTableTest : public testing::Test {
protected:
    void SetUp() override
    {
        combo_ = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 100, 200, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_NE(nullptr, combo_);
    }
    void TearDown() override { DestroyWindow(combo_); }

    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        const int count = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[600] = {};
            SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }
    int Selection() const { return static_cast<int>(SendMessageA(combo_, CB_GETCURSEL, 0, 0)); }
    void Rebuild()
    {
        RefreshDriveTable();
        FillDriveLetterList(combo_);
    }

    FakeDrives drives_;
    HWND combo_ = nullptr;
};

TEST_F(DriveTableTest, LettersZFirstWithConnectionsAndLocalDrivesLeftOut)
{
    drives_.types = {{'A', DRIVE_REMOVABLE}, {'C', DRIVE_FIXED},   {'D', DRIVE_CDROM}, {'E', DRIVE_RAMDISK},
                     {'F', DRIVE_REMOVABLE}, {'G', DRIVE_UNKNOWN}, {'Y', DRIVE_REMOTE}};
    drives_.connections = {{'Y', "\\\\nas1\\HDD_1"}};
    Rebuild();

    std::vector<std::string> expected = {"Z:", "Y: \\\\nas1\\HDD_1"};
    for (char c = 'X'; c >= 'G'; --c)
        expected.push_back(std::string(1, c) + ":");
    EXPECT_EQ(expected, Items());
    EXPECT_EQ(0, Selection());  // Z:, the highest free letter

    EXPECT_STREQ("Z:", driveTable[0].drive);
    EXPECT_STREQ("A:", driveTable[25].drive);
    EXPECT_STREQ("nas1", driveTable[1].server);
    EXPECT_STREQ("HDD_1", driveTable[1].share);
}

TEST_F(DriveTableTest, AAndBAreNeverOfferedWhateverTheirType)
{
    drives_.types = {{'A', DRIVE_NO_ROOT_DIR}, {'B', DRIVE_REMOTE}};
    drives_.connections = {{'B', "\\\\nas\\vol"}};
    Rebuild();
    const auto items = Items();
    ASSERT_EQ(24u, items.size());
    EXPECT_EQ("C:", items.back());
}

TEST_F(DriveTableTest, FirstFreeLetterIsPreselectedAndNoneWhenAllAreConnected)
{
    for (char c = 'C'; c <= 'Z'; ++c)
        drives_.types[c] = DRIVE_FIXED;
    drives_.types['Z'] = drives_.types['X'] = drives_.types['W'] = DRIVE_REMOTE;
    drives_.connections = {{'Z', "\\\\a\\one"}, {'X', "\\\\a\\two"}};
    Rebuild();
    EXPECT_EQ((std::vector<std::string>{"Z: \\\\a\\one", "X: \\\\a\\two", "W:"}), Items());
    EXPECT_EQ(2, Selection());  // W:, the first free one in box order

    drives_.connections['W'] = "\\\\a\\three";
    Rebuild();
    EXPECT_EQ(3u, Items().size());
    EXPECT_EQ(CB_ERR, Selection());
}

TEST_F(DriveTableTest, RemoteNamesSplitAtTheFirstBackslashAfterTheServer)
{
    drives_.types = {{'Z', DRIVE_REMOTE}, {'Y', DRIVE_REMOTE}, {'X', DRIVE_REMOTE}};
    drives_.connections = {{'Z', "\\\\server\\volume\\folder"}, {'Y', "\\\\server\\\\extra"}, {'X', "\\\\noshare"}};
    Rebuild();
    EXPECT_STREQ("server", driveTable[0].server);
    EXPECT_STREQ("volume\\folder", driveTable[0].share);
    // A backslash right after the server gives an empty-looking share part.
    EXPECT_STREQ("server", driveTable[1].server);
    EXPECT_STREQ("\\extra", driveTable[1].share);
    // No backslash after the server: the slot keeps what it had (empty here).
    EXPECT_STREQ("", driveTable[2].server);
    EXPECT_STREQ("", driveTable[2].share);
    EXPECT_EQ("Z: \\\\server\\volume\\folder", Items()[0]);
}

TEST_F(DriveTableTest, SlotWithoutBackslashKeepsItsEarlierConnection)
{
    drives_.types = {{'Z', DRIVE_REMOTE}};
    drives_.connections = {{'Z', "\\\\old\\share"}};
    RefreshDriveTable();
    drives_.connections = {{'Z', "\\\\new"}};
    RefreshDriveTable();
    EXPECT_STREQ("old", driveTable[0].server);
    EXPECT_STREQ("share", driveTable[0].share);
    drives_.connections.clear();  // disconnected: the slot is emptied
    RefreshDriveTable();
    EXPECT_STREQ("", driveTable[0].server);
}

TEST_F(DriveTableTest, ARememberedConnectionIsNoFreeLetter)
{
    // Z: is remembered for a share whose server is off now: the system names the share
    // and answers that it is not available. It is listed with its share, Y: is the
    // free letter preselected, and the volume is located on Z: as when connected.
    drives_.types = {{'Z', DRIVE_NO_ROOT_DIR}};
    drives_.connections = {{'Z', "\\\\198.51.100.20\\HDD_1"}};
    drives_.unavailable = "Z";
    Rebuild();
    EXPECT_EQ("Z: \\\\198.51.100.20\\HDD_1", Items().front());
    EXPECT_EQ(1, Selection());
    EXPECT_STREQ("Z:", LocateVolumeDrive("HDD_1", "198.51.100.20", nullptr));
}

TEST_F(DriveTableTest, LocationRuleIgnoresCaseAndPrefersTheLowestLetter)
{
    drives_.types = {{'Z', DRIVE_REMOTE}, {'M', DRIVE_REMOTE}, {'K', DRIVE_REMOTE}, {'J', DRIVE_REMOTE}};
    drives_.connections = {{'Z', "\\\\OFFICE\\hdd_1"},
                           {'M', "\\\\198.51.100.20\\HDD_1"},
                           {'K', "\\\\198.51.100.20\\USB1"},
                           {'J', "\\\\other\\HDD_1"}};
    RefreshDriveTable();
    EXPECT_STREQ("M:", LocateVolumeDrive("HDD_1", "office", "198.51.100.20"));
    EXPECT_STREQ("Z:", LocateVolumeDrive("HDD_1", "Office", "198.51.100.99"));
    EXPECT_STREQ("K:", LocateVolumeDrive("usb1", "198.51.100.20", nullptr));
    EXPECT_STREQ("", LocateVolumeDrive("USB2", "office", "198.51.100.20"));
    EXPECT_STREQ("", LocateVolumeDrive("HDD_1", "nobody", nullptr));
}

TEST_F(DriveTableTest, RealSystemCallsGiveAFreeLetterUnderThisPrefix)
{
    SetDriveSystem(drives_.System());
    Rebuild();
    // A new prefix maps C: and Z: as fixed drives: neither is offered.
    for (const std::string& item : Items()) {
        EXPECT_NE("C:", item.substr(0, 2));
        EXPECT_NE("A:", item.substr(0, 2));
    }
    EXPECT_GE(Selection(), 0);
}

}  // namespace
