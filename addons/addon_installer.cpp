#include "addons/addon_installer.h"

#include "framework/busy.h"
#include "framework/message_box.h"
#include "res/resource.h"
#include "skin/skinned_dialog.h"

namespace {

constexpr UINT kTickMs = 2000;

class AddonInstallerDialog : public SkinnedDialog {
public:
    AddonInstallerDialog(HWND owner, InstallMode mode, const char* host)
        : SkinnedDialog(IDD_ADDON_INSTALLER, owner), mode_(mode), host_(host)
    {}

protected:
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        SetTimer(hwnd, TimerId(), kTickMs, nullptr);
        return true;
    }
    // Enter, Escape and the close box do nothing: only the tick ends the window.
    void OnOK() override {}
    void OnCancel() override {}
    void OnTimer(UINT_PTR) override
    {
        // The one tick that does anything: no second one while this one runs (nor
        // during the work, whose pump skips ticks).
        KillTimer(hwnd, TimerId());
        const StepReason reason(L"Installing files on the device");
        const bool installed = RunBusy(hwnd, [this] { return InstallAddon(mode_, host_.c_str()); });
        Dialog::EndDialog(IDCANCEL);
        if (!installed)
            ShowMessageBox(nullptr, kCheckDrives, nullptr, MB_OK);
    }

private:
    UINT_PTR TimerId() const { return mode_ == InstallMode::kCodepage ? 1 : 2; }

    InstallMode mode_;
    std::string host_;
};

}  // namespace

void RunAddonInstaller(HWND owner, InstallMode mode, const char* host)
{
    AddonInstallerDialog dialog(owner, mode, host);
    dialog.DoModal();
}
