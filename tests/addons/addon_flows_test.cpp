// The Language and BitTorrent flows in-process: what the device's answers to the
// disk, codepage and firmware checks lead to, with the device played, the pauses
// taken away, and the dialogs answered from inside their modal loops.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "addons/installation/addon_state.h"
#include "addons/bittorrent.h"
#include "addons/codepage_selection.h"
#include "addons/installation/device_checks.h"
#include "framework/application.h"
#include "framework/controls.h"
#include "message_box_recorder.h"
#include "modal_script.h"
#include "protocol.h"
#include "res/resource.h"

namespace {

// The played device: one answer per query, in turn; the last one repeats.
std::vector<std::string> diskAnswers, codepageAnswers, firmwareAnswers;
int diskQueries = 0, codepageQueries = 0, firmwareQueries = 0;
std::vector<DWORD> pauses;
std::vector<std::string> commands;

const std::string& Next(const std::vector<std::string>& answers, int asked)
{
    static const std::string none;
    if (answers.empty())
        return none;
    return answers[static_cast<size_t>(asked) < answers.size() ? asked : answers.size() - 1];
}
int PlayedDisk()
{
    CopyTextTo(protocolSession.diskStateValue, Next(diskAnswers, diskQueries++).c_str());
    return 1;
}
int PlayedCodepage()
{
    CopyTextTo(protocolSession.codepageValue, Next(codepageAnswers, codepageQueries++).c_str());
    return 1;
}
int PlayedFirmware()
{
    CopyTextTo(protocolSession.btFirmwareValue, Next(firmwareAnswers, firmwareQueries++).c_str());
    return 1;
}
void NoPause(DWORD ms)
{
    pauses.push_back(ms);
}
UINT PlayedRun(const char* command, UINT)
{
    commands.push_back(command);
    return 33;
}

class AddonFlowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetDeviceChecks({PlayedDisk, PlayedCodepage, PlayedFirmware, NoPause, PlayedRun});
        diskQueries = codepageQueries = firmwareQueries = 0;
        pauses.clear();
        commands.clear();
        restartState = 0;
    }
    void TearDown() override { SetDeviceChecks(previous_); }
    DeviceChecks previous_{};
};

TEST_F(AddonFlowsTest, LanguageRefusalsComeBeforeTheDialogShows)
{
    struct Case {
        const char* disk;
        const char* message;
        bool opensPages;
    };
    const Case cases[] = {
        {"1",
         "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.",
         false},
        {"2", "Please format hard drive.", true},
        {"4", "This device supports Unicode.", false},
        {"", "Multi-language options are not supported on this device.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disk);
        diskAnswers = {c.disk};
        diskQueries = 0;
        commands.clear();
        restartState = 0;
        MessageBoxRecorder boxes;
        EXPECT_FALSE(RunLanguageDialog(nullptr, "198.51.100.20"));
        ASSERT_EQ(1u, boxes.messages.size());
        EXPECT_EQ(c.message, boxes.messages[0].text);
        EXPECT_EQ(ApplicationName(), boxes.messages[0].caption);
        EXPECT_EQ(0u, boxes.messages[0].icon());
        EXPECT_EQ(-1, restartState.load());
        EXPECT_EQ(c.opensPages ? std::vector<std::string>{"\"C:\\windows\\explorer.exe\" http://198.51.100.20"}
                               : std::vector<std::string>{},
                  commands);
        // A device that never says: ten rounds a second apart; the others stop at once.
        EXPECT_EQ(c.disk[0] ? 1 : 10, diskQueries);
    }
    EXPECT_EQ(std::vector<DWORD>(pauses.size(), 1000), pauses);
}

TEST_F(AddonFlowsTest, TheDevicesCodepageIsChosenAndTheExtendedOnesNeedTheirFirmware)
{
    struct Case {
        std::vector<std::string> disk, codepage;
        int chosen;
        int asked;
    };
    const Case cases[] = {
        {{"3"}, {"", "x", "932"}, 8, 3},  // asked until it names a codepage
        {{"3"}, {"850"}, 2, 1},
        {{"3"}, {"999"}, 2, 10},  // never a known one: Western European after ten rounds
        {{"5"}, {"852"}, 4, 1},   // extended firmware
    };
    for (const Case& c : cases) {
        diskAnswers = c.disk;
        codepageAnswers = c.codepage;
        diskQueries = codepageQueries = 0;
        int chosen = -2;
        std::vector<std::string> offered;
        ModalScript script;
        script.Then(IDC_LANGUAGE_CHOICE, [&](HWND dialog) {
            const ComboBox list(GetDlgItem(dialog, IDC_LANGUAGE_CHOICE));
            chosen = list.GetCurSel();
            for (int item = 0; item < list.GetCount(); ++item)
                offered.push_back(list.GetItemText(item));
            ModalScript::Press(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunLanguageDialog(nullptr, "198.51.100.20")) << "Cancel";
        EXPECT_EQ(c.chosen, chosen) << c.codepage.back();
        // The order the installer indexes its files by.
        EXPECT_EQ(offered, (std::vector<std::string>{"Traditional Chinese", "Simplified Chinese", "Western European",
                                                     "Northern European", "Central European", "Turkish",
                                                     "Korean Hangul", "Cyrillic", "Japanese SJIS"}));
        EXPECT_EQ(c.asked, codepageQueries);
        EXPECT_EQ(-1, restartState.load()) << "Cancel";
    }

    // Without the extended firmware 865, 852 and 857 are refused, at the choice and at OK.
    diskAnswers = {"3"};
    codepageAnswers = {"950"};
    MessageBoxRecorder boxes;
    bool stillOpen = false;
    HWND languageDialog = nullptr;
    ModalScript script;
    script.Then(IDC_LANGUAGE_CHOICE, [&](HWND dialog) {
        languageDialog = dialog;
        HWND box = GetDlgItem(dialog, IDC_LANGUAGE_CHOICE);
        ComboBox(box).SetCurSel(5);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_CHOICE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        ComboBox(box).SetCurSel(-1);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // no choice: nothing
        stillOpen = stillOpen && IsWindowVisible(dialog);
        ModalScript::Press(dialog, IDCANCEL);
    });
    RunLanguageDialog(nullptr, "198.51.100.20");
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(2u, boxes.messages.size());
    for (const RecordedMessageBox& box : boxes.messages) {
        EXPECT_EQ("This codepage does not supported in this firmware.\nPlease download the latest firmware from the "
                  "support link.",
                  box.text);
        // The dialog owns them: while one is up, the dialog takes no click.
        EXPECT_EQ(languageDialog, box.owner);
        EXPECT_EQ(ApplicationName(), box.caption);
    }
}

TEST_F(AddonFlowsTest, BitTorrentSupportFollowsTheDiskAndFirmwareAnswers)
{
    struct Case {
        std::vector<std::string> disk, firmware;
        bool supported;
        const char* message;
        int firmwareQueries;
    };
    const char* unsupported = "BitTorrent does not supported on this device now.";
    const Case cases[] = {
        {{"", "3"}, {"0", "1"}, true, "", 2},
        {{"4"}, {"1"}, true, "", 2},                       // 4 and 5 count as ready here
        {{"3"}, {"2"}, false, unsupported, 1},             // a first "no" is final
        {{"3"}, {"1", "2", "0"}, false, unsupported, 16},  // a later "2" is asked again
        {{"1"},
         {"1"},
         false,
         "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.",
         2},
        {{"2"}, {"1"}, false, "Please format hard drive.", 2},
        {{"7"}, {"1"}, false, unsupported, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disk.back() + " / " + c.firmware.back());
        diskAnswers = c.disk;
        firmwareAnswers = c.firmware;
        diskQueries = firmwareQueries = 0;
        restartState = 0;
        commands.clear();
        MessageBoxRecorder boxes;
        EXPECT_EQ(c.supported, CheckBitTorrentSupport("198.51.100.20"));
        EXPECT_EQ(c.firmwareQueries, firmwareQueries) << "the firmware is asked whatever the disks said";
        if (c.supported) {
            EXPECT_TRUE(boxes.messages.empty());
            EXPECT_EQ(0, restartState.load());
            continue;
        }
        ASSERT_EQ(1u, boxes.messages.size());
        EXPECT_EQ(c.message, boxes.messages[0].text);
        EXPECT_EQ(-1, restartState.load());
        EXPECT_EQ(c.disk.back() == "2", commands.size() == 1);
    }
}

}  // namespace
