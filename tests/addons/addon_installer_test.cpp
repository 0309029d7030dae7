// The installer's folders and file lists, WriteEmbeddedFile, and whole installations
// onto shares played by folders of the test's Wine prefix (\\kavrontest\VOLUME).
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "addons/addon_installer.h"
#include "addons/installation/addon_state.h"
#include "addons/installation/staging_folder.h"
#include "protocol.h"
#include "res/payloads.h"
#include "wine_io.h"

namespace {

const char kHost[] = "kavrontest";

std::string systemVolume;
std::vector<std::string> sent;  // "rw", "stop", "codepage 950", "BT"
int connectAttempts = 0;
DWORD connectResult = ERROR_BAD_NET_NAME;

int PlayedAccessMode(const char* mode)
{
    sent.push_back(mode);
    return 1;
}
int PlayedShareName()
{
    CopyTextTo(protocolSession.shareNameValue, systemVolume.c_str());
    return 1;
}
int PlayedCodepage(const char* codepage)
{
    sent.push_back(std::string("codepage ") + codepage);
    return 1;
}
int PlayedNotify(const char* text)
{
    sent.push_back(text);
    return 1;
}
int PlayedStop(const char* text)
{
    sent.push_back(text);
    return 1;
}
DWORD PlayedConnect(NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    EXPECT_EQ(static_cast<DWORD>(RESOURCETYPE_ANY), resource->dwType);
    EXPECT_EQ(nullptr, resource->lpLocalName);
    EXPECT_STREQ("", password);
    EXPECT_STREQ("", user);
    EXPECT_EQ(0u, flags);
    ++connectAttempts;
    return connectResult;
}

// The test prefix's folder that plays \\kavrontest\VOLUME, as Windows sees it.
std::string Share(const std::string& volume)
{
    const char* prefix = std::getenv("WINEPREFIX");
    std::string path = std::string("Z:") + (prefix ? prefix : "") + "/dosdevices/unc/" + kHost + "/" + volume;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

void MakeFolders(const std::string& path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class InstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetInstallerSystem(
            {PlayedAccessMode, PlayedShareName, PlayedCodepage, PlayedNotify, PlayedStop, PlayedConnect});
        sent.clear();
        connectAttempts = 0;
        connectResult = ERROR_BAD_NET_NAME;
        systemVolume = "HDD_1";
        btInstalled = 0;
    }
    void TearDown() override { SetInstallerSystem(previous_); }
    InstallerSystem previous_{};
};

TEST(AddonLayout, FoldersAndFilesFollowTheReportedSystemVolume)
{
    std::string folder;
    struct Case {
        const char* volume;
        InstallMode mode;
        const char* folder;
    };
    const Case cases[] = {
        {"", InstallMode::kCodepage, "HDD_a\\.codepages"},
        {"hdd_A", InstallMode::kBitTorrent, "HDD_a\\Nas_Prog/BT"},
        {"hdd_1", InstallMode::kCodepage, "hdd_1\\.systemfile\\.codepages"},  // spelled as reported
        {"hdd_1", InstallMode::kBitTorrent, "HDD_1\\Nas_Prog/BT"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(AddonFolder(c.volume, c.mode, &folder)) << c.volume;
        EXPECT_EQ(c.folder, folder);
    }
    EXPECT_FALSE(AddonFolder("USB1", InstallMode::kCodepage, &folder)) << "no folder to write to: a failed write";

    // Cyrillic: seven files on an HDD_1 device, five on an HDD_a one, the maps last.
    EXPECT_EQ((std::vector<int>{169, 177, 183, 188, 194, 171, 184}), CodepageFiles(7, true));
    EXPECT_EQ((std::vector<int>{169, 170, 185, 171, 184}), CodepageFiles(7, false));
    for (int index : {3, 4, 5})
        EXPECT_TRUE(CodepageFiles(index, true).empty()) << CodepageNumber(index);
    for (int index = 0; index < 9; ++index)
        for (int id : CodepageFiles(index, index % 2 == 0))
            EXPECT_NE(nullptr, FindPayload(id)) << "resource " << id;
}

TEST_F(InstallerTest, WriteEmbeddedFileWritesTheResourceWholeOrFails)
{
    MakeFolders(Share("USB1"));
    const std::string direct = std::string("\\\\") + kHost + "\\USB1\\codepage.950";
    EXPECT_TRUE(WriteEmbeddedFile("Codepage", 151, direct, ""));
    EXPECT_EQ(static_cast<long long>(FindPayload(151)->size), FileSize(direct));
    EXPECT_EQ(6, connectAttempts) << "six tries to reach the share, whatever they give";

    connectAttempts = 0;
    connectResult = NO_ERROR;
    CreateDirectoryA("C:\\kavron-test", nullptr);
    const std::string local = "C:\\kavron-test\\btdog", final = direct + ".btdog";
    EXPECT_TRUE(WriteEmbeddedFile("BT", 220, local, final));
    EXPECT_EQ(1, connectAttempts) << "the first that connects ends the tries";
    EXPECT_EQ(static_cast<long long>(FindPayload(220)->size), FileSize(final));
    EXPECT_EQ(-1, FileSize(local)) << "the temporary file is gone";

    // A local file that cannot be written leaves the device's program in place.
    std::ofstream(final, std::ios::binary) << "old program";
    EXPECT_FALSE(WriteEmbeddedFile("BT", 220, "C:\\kavron-test\\missing\\btdog", final));
    EXPECT_EQ(11, FileSize(final)) << "neither deleted nor overwritten";

    EXPECT_FALSE(WriteEmbeddedFile("Codepage", 9999, direct + ".none", "")) << "no such resource";
    EXPECT_EQ(-1, FileSize(direct + ".none"));
    EXPECT_FALSE(WriteEmbeddedFile("Codepage", 151, std::string("\\\\") + kHost + "\\USB1\\no\\such\\x", ""));
}

TEST_F(InstallerTest, ACodepageInstallWritesEveryFileInOrderThenSetsTheCodepage)
{
    const std::string folder = Share("HDD_1") + "\\.systemfile\\.codepages";
    MakeFolders(folder);
    chosenCodepageIndex = 0;  // Traditional Chinese
    EXPECT_TRUE(InstallAddon(InstallMode::kCodepage, kHost));
    EXPECT_FALSE(installFailed);
    for (int id : {151, 174, 192, 156})
        EXPECT_EQ(static_cast<long long>(FindPayload(id)->size), FileSize(folder + "\\" + FindPayload(id)->name)) << id;
    EXPECT_EQ((std::vector<std::string>{"rw", "codepage 950"}), sent);

    // The third file cannot be written: the first two stay, nothing after them.
    const std::string hddA = Share("HDD_a") + "\\.codepages";
    MakeFolders(hddA);
    MakeFolders(hddA + "\\nls_gb2312.o");  // a folder where the third file goes
    systemVolume = "";
    chosenCodepageIndex = 1;  // Simplified Chinese, older layout
    sent.clear();
    EXPECT_FALSE(InstallAddon(InstallMode::kCodepage, kHost));
    EXPECT_TRUE(installFailed);
    EXPECT_EQ(8, FileSize(hddA + "\\codepage.936"));
    EXPECT_EQ(static_cast<long long>(FindPayload(158)->size), FileSize(hddA + "\\nls_cp936.o"));
    EXPECT_EQ(-1, FileSize(hddA + "\\unicode_map.936"));
    EXPECT_EQ((std::vector<std::string>{"rw", "stop"}), sent) << "no codepage is set";

    // The codepages without files only set the codepage.
    systemVolume = "HDD_1";
    chosenCodepageIndex = 4;
    sent.clear();
    EXPECT_TRUE(InstallAddon(InstallMode::kCodepage, kHost));
    EXPECT_EQ((std::vector<std::string>{"rw", "codepage 852"}), sent);

    // A system volume that is neither layout is a failed write.
    systemVolume = "USB1";
    sent.clear();
    EXPECT_FALSE(InstallAddon(InstallMode::kCodepage, kHost));
    EXPECT_EQ((std::vector<std::string>{"rw", "stop"}), sent);
}

TEST_F(InstallerTest, ABitTorrentInstallCopiesBothProgramsThroughTheTemporaryFolder)
{
    const std::string folder = Share("HDD_1") + "\\Nas_Prog\\BT";
    MakeFolders(folder);
    EXPECT_TRUE(InstallAddon(InstallMode::kBitTorrent, kHost));
    EXPECT_EQ(static_cast<long long>(FindPayload(215)->size), FileSize(folder + "\\bt"));
    EXPECT_EQ(static_cast<long long>(FindPayload(220)->size), FileSize(folder + "\\btdog"));
    EXPECT_EQ((std::vector<std::string>{"rw", "BT"}), sent);
    EXPECT_EQ(1, btInstalled);
    EXPECT_EQ(-1, restartState.load()) << "restarted only once the restart wait completes";
    const std::string staging = BtStaging().Path();
    EXPECT_EQ(1, StagingFoldersLeft()) << staging;
    EXPECT_EQ(-1, FileSize(staging + "bt")) << "the staged files are deleted after their copies";
    RemoveBtStaging();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(staging.c_str()));

    // Without the add-on folder on the device nothing is written or announced, and
    // nothing of the run before counts.
    restartState = 0;
    sent.clear();
    systemVolume = "HDD_a";
    EXPECT_FALSE(InstallAddon(InstallMode::kBitTorrent, kHost));
    EXPECT_EQ((std::vector<std::string>{"rw", "stop"}), sent);
    EXPECT_EQ(0, btInstalled);
    EXPECT_EQ(-1, restartState.load());
    EXPECT_EQ(0, StagingFoldersLeft()) << "a failed run removes its staging folder itself";
}

// The staging folder is the user's alone: new each time, never one that was there
// first, closed to other accounts, not to be moved while in use, and removed only
// when empty.
TEST(StagingFolderTest, AFolderOfTheUsersOwnMadeNewAndRemovedOnlyWhenEmpty)
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    StagingFolder first, second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(0u, first.Path().find(std::string(temp) + "kavron-staging-")) << first.Path();

    // Only the user and the system, nothing inherited from the temporary folder.
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetNamedSecurityInfoA(first.Path().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    &dacl, nullptr, &descriptor));
    ASSERT_NE(nullptr, dacl);
    std::vector<std::string> trustees;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, index, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        char* sid = nullptr;
        ConvertSidToStringSidA(&ace->SidStart, &sid);
        trustees.push_back(sid ? sid : "?");
        LocalFree(sid);
    }
    LocalFree(descriptor);
    // (Wine keeps a folder's access as its Unix mode and reads it back as these entries:
    // without ours it would add read access for Everyone, S-1-1-0.)
    std::sort(trustees.begin(), trustees.end());
    ASSERT_EQ(2u, trustees.size());
    EXPECT_EQ("S-1-5-18", trustees[0]) << "the system";
    EXPECT_EQ(0u, trustees[1].find("S-1-5-21-")) << "the user: " << trustees[1];

    // What another account made first (here a folder with a file) is not taken over.
    const std::string planted = std::string(temp) + "kavron-planted";
    CreateDirectoryA(planted.c_str(), nullptr);
    std::ofstream(planted + "\\bt", std::ios::binary) << "another account's program";
    StagingFolder third;
    EXPECT_FALSE(third.CreateAt(planted));
    EXPECT_EQ("", third.Path());
    EXPECT_EQ(25, FileSize(planted + "\\bt"));

    // While in use, nobody can put something else in its place.
    const std::string path = first.Path().substr(0, first.Path().size() - 1);
    EXPECT_FALSE(MoveFileA(path.c_str(), (path + "-moved").c_str()));

    // Removed when empty; a folder that holds something stays, and so does what it holds.
    std::ofstream(second.Path() + "left", std::ios::binary) << "x";
    const std::string secondPath = second.Path();
    first.Remove();
    second.Remove();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ(1, FileSize(secondPath + "left"));
    DeleteFileA((secondPath + "left").c_str());
    RemoveDirectoryA(secondPath.c_str());
    DeleteFileA((planted + "\\bt").c_str());
    RemoveDirectoryA(planted.c_str());
}

}  // namespace
