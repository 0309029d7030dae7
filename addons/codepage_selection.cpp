#include "addons/codepage_selection.h"

#include <string>

#include "addons/addon_installer.h"
#include "addons/addon_state.h"
#include "addons/device_checks.h"
#include "addons/restart_progress.h"
#include "framework/busy.h"
#include "framework/controls.h"
#include "framework/dlg_items.h"
#include "framework/message_box.h"
#include "protocol.h"
#include "resource.h"
#include "skin/skinned_dialog.h"

namespace {

constexpr int kRounds = 10;
constexpr DWORD kRoundPauseMs = 1000;

// Disk states as the device reports them.
enum DiskState { kNoDisks = 1, kUnformatted = 2, kReady = 3, kUnicode = 4, kExtendedFirmware = 5 };

// The list index of each codepage the device may report; any other is Western European.
int ChoiceOf(int codepage)
{
    switch (codepage) {
    case 950:
        return 0;
    case 936:
        return 1;
    case 865:
        return 3;
    case 852:
        return 4;
    case 857:
        return 5;
    case 949:
        return 6;
    case 866:
        return 7;
    case 932:
        return 8;
    default:
        return 2;
    }
}

bool IsKnownCodepage(int codepage)
{
    return codepage == 850 || ChoiceOf(codepage) != 2;
}

const char kUnsupportedChoice[] =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware from the support link.";

class LanguageDialog : public SkinnedDialog {
public:
    LanguageDialog(HWND owner, const char* host) : SkinnedDialog(IDD_LANGUAGE, owner), host_(host) {}

protected:
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        BindDlgItems(hwnd, {{IDC_LANGUAGE_CHOICE, &choice_}});
        // All of this runs before the dialog is first shown; the device's answers are
        // waited for off the thread, the main window answering meanwhile.
        const int disks = RunBusy(hwnd, [this] { return AskDiskState(); });
        const char* refusal = nullptr;
        switch (disks) {
        case kReady:
            choice_.SetCurSel(ChoiceOf(RunBusy(hwnd, [this] { return AskCodepage(); })));
            return true;
        case kNoDisks:
            refusal = "No hard drives were detected.\nPlease verify that the hard drives are properly connected before "
                      "continuing.";
            break;
        case kUnformatted:
            refusal = "Please format hard drive.";
            break;
        case kUnicode:
            refusal = "This device supports Unicode.";
            break;
        default:
            refusal = "Multi-language options are not supported on this device.";
            break;
        }
        ShowPlainMessage(refusal);
        if (disks == kUnformatted)
            OpenDevicePages(host_.c_str());
        restartState = -1;
        EndDialog(IDOK);  // never shown
        return true;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        if (id != IDC_LANGUAGE_CHOICE)
            return false;
        if (code == CBN_SELCHANGE && IsChoiceUnsupported(choice_.GetCurSel()))
            RefuseChoice();
        return true;
    }

    void OnOK() override
    {
        chosenCodepageIndex = choice_.GetCurSel();
        if (chosenCodepageIndex < 0)
            return;
        if (IsChoiceUnsupported(chosenCodepageIndex)) {
            RefuseChoice();
            return;
        }
        Dialog::EndDialog(IDOK);
        RunAddonInstaller(nullptr, InstallMode::kCodepage, host_.c_str());
        if (!installFailed) {
            RunRestartProgress(nullptr);
            return;
        }
        // Asks afresh (both checks again): the user may try again or cancel.
        LanguageDialog again(nullptr, host_.c_str());
        again.DoModal();
    }

    void OnCancel() override
    {
        restartState = -1;
        Dialog::EndDialog(IDCANCEL);
    }

private:
    // Owned by the dialog, not the main window (already disabled under it): the
    // dialog must take no click, and above all no OK, while the message is up.
    void RefuseChoice() { ShowMessageBox(hwnd, kUnsupportedChoice, nullptr, MB_OK); }

    // Up to ten rounds, a second apart, until the device reports a disk state.
    int AskDiskState()
    {
        int state = AskUntil(Checks().queryDiskState, protocolSession.diskStateValue, kRounds, kRoundPauseMs,
                             [](int n) { return n >= kNoDisks && n <= kExtendedFirmware; });
        extendedCodepages = 0;
        if (state == kExtendedFirmware) {
            extendedCodepages = 1;
            CopyTextTo(protocolSession.diskStateValue, "3");
            state = kReady;
        }
        return state;
    }
    // Up to ten rounds, a second apart, until the device reports a codepage it may have.
    int AskCodepage()
    {
        return AskUntil(Checks().queryCodepage, protocolSession.codepageValue, kRounds, kRoundPauseMs, IsKnownCodepage);
    }

    ComboBox choice_;
    std::string host_;
};

}  // namespace

bool IsChoiceUnsupported(int choice)
{
    return extendedCodepages == 0 && choice >= 3 && choice <= 5;
}

bool RunLanguageDialog(HWND owner, const char* host)
{
    LanguageDialog dialog(owner, host);
    dialog.DoModal();
    return restartState == 0;
}
