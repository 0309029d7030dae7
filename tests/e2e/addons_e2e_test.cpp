// The hidden add-on commands of the real utility under Wine, driven by their command
// ids, against the simulator whose devices' volumes are folders of the lab: the
// codepage files written and the codepage set, a failed write, the BitTorrent
// programs with a full restart wait, a restart wait dismissed and a failed copy that
// leave the window as it was, and the widget launcher.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "payloads.h"
#include "sim_control.h"
#include "utility_driver.h"
#include "wine_io.h"

namespace {

std::string SharePath(const char* address, const std::string& path)
{
    const char* root = std::getenv("KAVRON_SIM_SHARES_WIN");
    std::string full = std::string(root ? root : "") + "\\" + address + "\\" + path;
    for (char& c : full)
        c = c == '/' ? '\\' : c;
    return full;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The settings (opcode 5) the simulator received since mark: "subcode data-as-text".
std::vector<std::string> Settings(size_t mark)
{
    std::vector<std::string> settings;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent") || line.value("opcode", 0) != 5)
            continue;
        const std::string hex = line.value("data", "");
        std::string text;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        settings.push_back(std::to_string(line.value("subcode", 0)) + " " + text);
    }
    return settings;
}

class AddonsEndToEnd : public UtilityTest {
protected:
    // The hidden buttons are never shown: their commands are sent as a click would.
    void Command(int id) { PostMessageA(U().window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    HWND Dialog(int control, int timeoutMs = 30000)
    {
        HWND found = nullptr;
        WaitFor(
            [&] {
                found = winauto::WaitForDialog(nullptr, U().ProcessId(), U().window, 200);
                return found && GetDlgItem(found, control);
            },
            timeoutMs);
        return found && GetDlgItem(found, control) ? found : nullptr;
    }
    static void Press(HWND dialog, int button) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }
    // What a refresh after a restart would change: the selected rows, then the LAN
    // panel's address, netmask and gateway.
    std::vector<std::string> SelectionAndPanel()
    {
        std::vector<std::string> seen;
        for (const auto& row : winauto::ReadListView(U().Item(IDC_DEVICE_LIST)))
            if (row.selected)
                seen.push_back(row.cells.at(0));
        for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY})
            seen.push_back(winauto::ReadIpAddress(U().Item(id)).Dotted());
        return seen;
    }
    // Chooses a codepage in the Language dialog and presses OK.
    void ChooseCodepage(int index)
    {
        HWND language = Dialog(IDC_LANGUAGE_CHOICE);
        ASSERT_NE(nullptr, language) << "no Language dialog";
        SendMessageA(GetDlgItem(language, IDC_LANGUAGE_CHOICE), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Press(language, IDOK);
    }
};

TEST_F(AddonsEndToEnd, ATraditionalChineseInstallWritesItsFourFilesAndSetsTheCodepage)
{
    Select("Vault One");
    const size_t mark = SimLogMark();
    Command(IDC_LANGUAGE);
    ChooseCodepage(0);
    // The restart wait: its close timer is driven here rather than waited for.
    HWND restart = Dialog(IDC_RESTART_PROGRESS);
    ASSERT_NE(nullptr, restart) << "no restart wait after the installation";
    PostMessageA(restart, WM_TIMER, 1, 0);
    ASSERT_TRUE(winauto::WaitIdle(U().window, 30000));

    for (const char* name : {"codepage.950", "nls_cp950.ko", "nls_cp950_12.ko", "unicode_map.950"}) {
        const Payload* payload = FindPayloadByName(name);
        ASSERT_NE(nullptr, payload);
        EXPECT_EQ(static_cast<long long>(payload->size),
                  FileSize(SharePath("198.51.100.40", std::string("HDD_1/.systemfile/.codepages/") + name)))
            << name;
    }
    EXPECT_EQ((std::vector<std::string>{"10 rw", "8 950"}), Settings(mark));
}

TEST_F(AddonsEndToEnd, AFailedThirdFileLeavesTwoFilesSetsNoCodepageAndAsksAgain)
{
    Select("Fragile");
    const size_t mark = SimLogMark();
    Command(IDC_LANGUAGE);
    ChooseCodepage(0);
    const winauto::MessageBoxText box = winauto::WaitForMessageBox(U().ProcessId(), 30000, U().window);
    EXPECT_EQ("Please check hard drives.", box.text);
    EXPECT_EQ("KavronStorageUtility", box.caption) << "no icon, the program's name as caption";
    Press(box.window, IDOK);
    HWND again = Dialog(IDC_LANGUAGE_CHOICE);
    ASSERT_NE(nullptr, again) << "a new Language dialog after the failure";
    Press(again, IDCANCEL);
    ASSERT_TRUE(winauto::WaitIdle(U().window, 30000));

    const std::string folder = "HDD_1/.systemfile/.codepages/";
    EXPECT_GT(FileSize(SharePath("198.51.100.41", folder + "codepage.950")), 0);
    EXPECT_GT(FileSize(SharePath("198.51.100.41", folder + "nls_cp950.ko")), 0);
    EXPECT_EQ(-1, FileSize(SharePath("198.51.100.41", folder + "nls_cp950_12.ko")));
    EXPECT_EQ(-1, FileSize(SharePath("198.51.100.41", folder + "unicode_map.950")));
    EXPECT_EQ((std::vector<std::string>{"10 rw", "13 stop"}), Settings(mark));
}

TEST_F(AddonsEndToEnd, ABitTorrentInstallWritesBothProgramsAndCleansUpAfterTheFullRestartWait)
{
    Select("Vault One");
    const size_t mark = SimLogMark();
    Command(IDC_BITTORRENT);
    HWND restart = Dialog(IDC_RESTART_PROGRESS, 60000);
    ASSERT_NE(nullptr, restart) << "no restart wait after the installation";
    EXPECT_EQ((std::vector<std::string>{"10 rw", "14 BT"}), Settings(mark));
    for (const char* name : {"bt", "btdog"}) {
        EXPECT_EQ(static_cast<long long>(FindPayloadByName(name)->size),
                  FileSize(SharePath("198.51.100.40", std::string("HDD_1/Nas_Prog/BT/") + name)))
            << name;
    }
    // The one full wait of the suite: about ninety seconds.
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(restart); }, 120000)) << "the wait never closed";
    ASSERT_TRUE(winauto::WaitIdle(U().window, 30000));
    EXPECT_EQ(0, StagingFoldersLeft()) << "the staging folder is removed";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\bt")) << "nothing is staged in the drive's root";
    for (const auto& row : winauto::ReadListView(U().Item(IDC_DEVICE_LIST)))
        EXPECT_FALSE(row.selected) << "the list was rebuilt";
}

TEST_F(AddonsEndToEnd, ARestartWaitLeftWithEscapeOrAFailedBitTorrentCopyLeavesTheWindowAsItWas)
{
    // A run that installed, its restart wait dismissed with Escape: the device is
    // still restarting, so nothing is refreshed.
    Select("Vault One");
    const std::vector<std::string> vault = SelectionAndPanel();
    ASSERT_EQ((std::vector<std::string>{"Vault One", "198.51.100.40", "255.255.255.0", "198.51.100.1"}), vault);
    Command(IDC_BITTORRENT);
    HWND restart = Dialog(IDC_RESTART_PROGRESS, 60000);
    ASSERT_NE(nullptr, restart) << "no restart wait after the installation";
    PostMessageA(restart, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(restart); }, 10000)) << "Escape left the wait open";
    ASSERT_TRUE(U().Idle());
    EXPECT_EQ(vault, SelectionAndPanel()) << "refreshed while the device restarts";

    // Then a run whose copy onto the device fails: its message and no restart wait,
    // whatever the run before installed.
    Select("Fragile");
    const std::vector<std::string> fragile = SelectionAndPanel();
    Command(IDC_BITTORRENT);
    EXPECT_EQ("Please check hard drives.", U().AnswerMessage(60000).text);
    EXPECT_EQ(nullptr, Dialog(IDC_RESTART_PROGRESS, 5000)) << "a restart wait after a failed copy";
    ASSERT_TRUE(U().Idle());
    EXPECT_EQ(fragile, SelectionAndPanel());
    EXPECT_EQ(0, StagingFoldersLeft()) << "each run removes its staging folder, the dismissed wait's too";
}

TEST_F(AddonsEndToEnd, TheWidgetLauncherWritesTheAddressAndAsksForAnUnknownModel)
{
    Select("Stranger");
    Command(IDC_WIDGET);
    HWND prompt = Dialog(IDCANCEL);
    ASSERT_NE(nullptr, prompt) << "no engine prompt";
    Press(prompt, IDCANCEL);  // "Next"
    HWND which = Dialog(IDC_MODEL_ZKM110);
    ASSERT_NE(nullptr, which) << "no model question for ZKM-999";
    Press(which, IDCANCEL);
    ASSERT_TRUE(winauto::WaitIdle(U().window, 30000));
    std::ifstream file("C:\\ip.txt", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ("198.51.100.42", text.str());
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
