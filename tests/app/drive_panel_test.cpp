// The drive-mapping panel in-process. Alone on the main window's template: volume
// names and the letters they are mapped to. On the main window: Connect and
// Disconnect, which volume and letter they take, the drive-in-use question, the
// messages, and the panel rebuilt from the connections a played network provider
// made.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/drive_mapping.h"
#include "message_box_recorder.h"
#include "app/drive_panel.h"
#include "main_window_fixture.h"
#include "modal_script.h"

namespace {

FakeDrives* drives = nullptr;
std::vector<std::string> calls;  // "cancel Y:", "add Y: \\server\share"
bool refuse = false;

DWORD PlayedAdd(HWND, NETRESOURCEA* resource, const char*, const char*, DWORD)
{
    calls.push_back(std::string("add ") + resource->lpLocalName + " " + resource->lpRemoteName);
    if (refuse)
        return ERROR_SESSION_CREDENTIAL_CONFLICT;
    drives->connections[resource->lpLocalName[0]] = resource->lpRemoteName;
    return NO_ERROR;
}

DWORD PlayedCancel(const char* name, DWORD, BOOL)
{
    calls.push_back(std::string("cancel ") + name);
    return name[0] && drives->connections.erase(name[0]) ? NO_ERROR : ERROR_NOT_CONNECTED;
}

DWORD PlayedUser(const char*, char* user, DWORD* length)
{
    lstrcpynA(user, "jane", static_cast<int>(*length));
    return NO_ERROR;
}

bool PlayedVersion(char* text, size_t capacity, int* code)
{
    lstrcpynA(text, "Vista", static_cast<int>(capacity));
    *code = 0;
    return true;
}

int NoDomain()
{
    return 0;
}

void NoPrompt(HWND)
{
    ADD_FAILURE() << "no prompt of ours on a version 6 system";
}

bool PlayedErrorText(DWORD error, char* text, DWORD capacity)
{
    lstrcpynA(text, error == ERROR_SESSION_CREDENTIAL_CONFLICT ? "Already connected as someone else.\r\n" : "?",
              static_cast<int>(capacity));
    return true;
}

class DrivePanelTest : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        panel_.Bind(window_);
    }
    DrivePanel panel_;
};

TEST_F(DrivePanelTest, VolumeNamesAreConvertedAndNamedByTheirDriveLetter)
{
    drives_.connections = {
        {'X', "\\\\198.51.100.20\\B\xFCrodaten"}, {'W', "\\\\office\\hdd_1"}, {'Q', "\\\\office\\HDD_1"}};
    panel_.RebuildDriveLetters();
    AppendVolume("HDD_1");
    AppendVolume("B\xC3\xBCrodaten");          // UTF-8 "Bürodaten"
    AppendVolume("\xE6\x97\xA5\xE6\x9C\xAC");  // not in the ANSI code page
    panel_.ShowPortVolumes("198.51.100.20");
    ASSERT_EQ(3, Volumes().GetItemCount());
    EXPECT_EQ("HDD_1", Volumes().GetItemText(0, 0));
    EXPECT_EQ("", Volumes().GetItemText(0, 1));  // mapped only through the name "office"
    EXPECT_EQ("B\xFCrodaten", Volumes().GetItemText(1, 0));
    EXPECT_EQ("X:", Volumes().GetItemText(1, 1));
    EXPECT_EQ("??", Volumes().GetItemText(2, 0));

    // A selected device's volumes are also found through its name.
    SelectedDevice office;
    office.name = "Office";
    office.address = "198.51.100.21";
    panel_.ShowVolumes(office);
    EXPECT_EQ("Q:", Volumes().GetItemText(0, 1));
    EXPECT_EQ("", Volumes().GetItemText(1, 1));
}

class ConnectTest : public MainDialogFixture {
protected:
    void SetUp() override
    {
        MainDialogFixture::SetUp();
        drives = &drives_;
        previous_ =
            SetMappingSystem({PlayedAdd, PlayedCancel, PlayedUser, PlayedVersion, NoDomain, NoPrompt, PlayedErrorText});
        calls.clear();
        refuse = false;
        // Office's row selected, its volumes shown (HDD_1 is on Y: already), as a
        // click and the volume query would have left them.
        AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
        Select(0);
        AppendVolume("HDD_1");
        AppendVolume("USB1");
        Volumes().SetItemText(Volumes().InsertItem(0, "HDD_1"), 1, "Y:");
        Volumes().InsertItem(1, "USB1");
    }
    void TearDown() override
    {
        SetMappingSystem(previous_);
        MainDialogFixture::TearDown();
    }
    void SelectVolume(int row) { Volumes().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED); }
    std::string Location(int row) const { return Volumes().GetItemText(row, 1); }
    void ChooseLetter(int index) { ComboBox(Item(IDC_DRIVE_LETTERS)).SetCurSel(index); }

    MappingSystem previous_{};
};

TEST_F(ConnectTest, ConnectMapsTheSelectedVolumeOnTheChosenLetterAndShowsIt)
{
    ASSERT_EQ("Y:", Location(0));
    SelectVolume(1);
    MessageBoxRecorder boxes;
    Click(IDC_CONNECT);  // Z:, the first free letter, is preselected
    EXPECT_EQ((std::vector<std::string>{"cancel Z:", "add Z: \\\\198.51.100.20\\USB1"}), calls);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Successfully mapped drive.", boxes.messages[0].text);
    EXPECT_EQ("Confirm", boxes.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), boxes.messages[0].icon());
    EXPECT_EQ("Z:", Location(1)) << "the volume list is rebuilt with the new letter";
    EXPECT_EQ("Z: \\\\198.51.100.20\\USB1", Items(IDC_DRIVE_LETTERS).front());
    EXPECT_EQ("198.51.100.20", std::string(selectedHost));
}

TEST_F(ConnectTest, ConnectNeedsAVolumeItsDeviceAndALetter)
{
    MessageBoxRecorder boxes;
    Click(IDC_CONNECT);  // no volume selected
    SelectVolume(1);
    Devices().SetItemState(0, 0, LVIS_SELECTED);
    Click(IDC_CONNECT);  // a volume, but no device row to name the server
    ASSERT_EQ(2u, boxes.messages.size());
    for (const RecordedMessageBox& box : boxes.messages) {
        EXPECT_EQ("Please select a device in the above section.", box.text);
        EXPECT_EQ("Warning", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon());
    }
    Select(0);
    ChooseLetter(-1);
    Click(IDC_CONNECT);  // no letter: nothing at all
    EXPECT_EQ(2u, boxes.messages.size());
    EXPECT_TRUE(calls.empty());
}

TEST_F(ConnectTest, ALetterInUseIsTakenOverOnlyAfterOk)
{
    SelectVolume(1);
    ChooseLetter(1);  // "Y: \\198.51.100.20\HDD_1"
    MessageBoxRecorder boxes;
    {
        ModalScript script;
        script.Then(IDCANCEL, [](HWND question) { ModalScript::Press(question, IDCANCEL); });
        Click(IDC_CONNECT);
        EXPECT_EQ(1u, script.Done());
    }
    EXPECT_TRUE(calls.empty()) << "Cancel changes nothing";
    EXPECT_TRUE(boxes.messages.empty());

    ModalScript script;
    script.Then(IDCANCEL, [](HWND question) { ModalScript::Press(question, IDOK); });
    Click(IDC_CONNECT);
    EXPECT_EQ(1u, script.Done());
    EXPECT_EQ((std::vector<std::string>{"cancel Y:", "add Y: \\\\198.51.100.20\\USB1"}), calls);
    EXPECT_EQ("", Location(0)) << "HDD_1 lost its letter";
    EXPECT_EQ("Y:", Location(1));
}

TEST_F(ConnectTest, ARememberedLetterIsAskedForBeforeItsMappingIsDropped)
{
    drives_.connections['Z'] = "\\\\198.51.100.20\\USB1";
    drives_.unavailable = "Z";
    RefreshDriveTable();
    FillDriveLetterList(Item(IDC_DRIVE_LETTERS));
    SelectVolume(1);
    ChooseLetter(0);  // "Z: \\198.51.100.20\USB1", remembered
    MessageBoxRecorder boxes;
    ModalScript script;
    script.Then(IDCANCEL, [](HWND question) { ModalScript::Press(question, IDCANCEL); });
    Click(IDC_CONNECT);
    EXPECT_EQ(1u, script.Done()) << "the drive-in-use question";
    EXPECT_TRUE(calls.empty()) << "no forced cancel of the remembered mapping";
}

TEST_F(ConnectTest, ALetterMappedSinceTheBoxWasFilledIsAskedForBeforeItsMappingIsDropped)
{
    SelectVolume(1);
    MessageBoxRecorder boxes;
    // Z: was free when the box was filled; the user has mapped it in Explorer since.
    drives_.connections['Z'] = "\\\\office\\docs";
    {
        ModalScript script;
        script.Then(IDCANCEL, [](HWND question) { ModalScript::Press(question, IDCANCEL); });
        Click(IDC_CONNECT);
        EXPECT_EQ(1u, script.Done()) << "the drive-in-use question";
    }
    EXPECT_TRUE(calls.empty()) << "Cancel leaves the mapping";
    EXPECT_TRUE(boxes.messages.empty());
    const std::vector<std::string> letters = Items(IDC_DRIVE_LETTERS);
    EXPECT_EQ("Z: \\\\office\\docs", letters.front()) << "the box is rebuilt";
    EXPECT_EQ(0, ComboBox(Item(IDC_DRIVE_LETTERS)).GetCurSel()) << "with the letter asked for chosen";

    // Y: showed HDD_1; while the first question is up, it is remapped to another share
    // (remembered, not connected now): OK to the first is no answer for the second.
    ChooseLetter(1);
    ASSERT_EQ("Y: \\\\198.51.100.20\\HDD_1", Items(IDC_DRIVE_LETTERS)[1]);
    ModalScript script;
    script.Then(IDCANCEL, [this](HWND question) {
        drives_.connections['Y'] = "\\\\office\\music";
        drives_.unavailable = "Y";
        ModalScript::Press(question, IDOK);
    });
    script.Then(IDCANCEL, [](HWND question) { ModalScript::Press(question, IDOK); });
    Click(IDC_CONNECT);
    EXPECT_EQ(2u, script.Done());
    EXPECT_EQ((std::vector<std::string>{"cancel Y:", "add Y: \\\\198.51.100.20\\USB1"}), calls);
}

TEST_F(ConnectTest, AFailedConnectionIsReportedAndChangesNothing)
{
    SelectVolume(1);
    refuse = true;
    const std::vector<std::string> letters = Items(IDC_DRIVE_LETTERS);
    MessageBoxRecorder boxes;
    Click(IDC_CONNECT);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Failed to map drive.\nAlready connected as someone else.", boxes.messages[0].text);
    EXPECT_EQ("Error", boxes.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), boxes.messages[0].icon());
    EXPECT_EQ(letters, Items(IDC_DRIVE_LETTERS));
}

TEST_F(ConnectTest, DisconnectDropsTheVolumesLetterOrTheChosenOne)
{
    const std::string unable = "Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that "
                               "the drive is not being accessed.";
    MessageBoxRecorder boxes;
    // A volume without a letter fails; the box's choice is not used instead.
    SelectVolume(1);
    Click(IDC_DISCONNECT);
    // No volume selected: the letter chosen in the box, here a free one.
    Volumes().SetItemState(1, 0, LVIS_SELECTED);
    Click(IDC_DISCONNECT);
    ASSERT_EQ(2u, boxes.messages.size());
    EXPECT_EQ(unable, boxes.messages[0].text);
    EXPECT_EQ("Error", boxes.messages[0].caption);
    EXPECT_EQ(unable, boxes.messages[1].text);
    EXPECT_EQ((std::vector<std::string>{"cancel ", "cancel Z:"}), calls);

    // HDD_1 on Y: is dropped, and the panel shows it.
    SelectVolume(0);
    Click(IDC_DISCONNECT);
    ASSERT_EQ(3u, boxes.messages.size());
    EXPECT_EQ("Successfully unmapped drive.", boxes.messages[2].text);
    EXPECT_EQ("Confirm", boxes.messages[2].caption);
    EXPECT_EQ("", Location(0));
    EXPECT_EQ("Y:", Items(IDC_DRIVE_LETTERS)[1]);
}

}  // namespace
