#include "addons/codepage_selection.h"

#include <string>

#include "addons/installation/addon_checks.h"
#include "addons/addon_installer.h"
#include "addons/check_report.h"
#include "addons/installation/addon_state.h"
#include "addons/restart_progress.h"
#include "framework/controls.h"
#include "framework/dlg_items.h"
#include "framework/message_box.h"
#include "protocol.h"
#include "res/codepages.h"
#include "res/resource.h"
#include "skin/skinned_dialog.h"

namespace {

class LanguageDialog : public SkinnedDialog {
public:
    LanguageDialog(HWND owner, const char* host) : SkinnedDialog(IDD_LANGUAGE, owner), host_(host) {}

protected:
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        BindDlgItems(hwnd, {{IDC_LANGUAGE_CHOICE, &choice_}});
        for (const Codepage& codepage : kCodepages)
            choice_.AddString(codepage.name);  // the list index is the table's
        // All of this runs before the dialog is first shown; the device's answers are
        // waited for off the thread, the main window answering meanwhile.
        MessageBoxCheckReport report(hwnd);
        if (CheckCodepageDisks(host_.c_str(), report) == kReady) {
            choice_.SetCurSel(report.Wait(AskCodepageChoice, 0));
            return true;
        }
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

    ComboBox choice_;
    std::string host_;
};

}  // namespace

bool RunLanguageDialog(HWND owner, const char* host)
{
    LanguageDialog dialog(owner, host);
    dialog.DoModal();
    return restartState == 0;
}
