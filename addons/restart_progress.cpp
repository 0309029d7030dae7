#include "addons/restart_progress.h"

#include "addons/installation/addon_state.h"
#include "addons/installation/restart_wait.h"
#include "framework/dlg_items.h"
#include "framework/thread.h"
#include "res/resource.h"
#include "skin/skin_progress_ctrl.h"
#include "skin/skinned_dialog.h"

namespace {

constexpr UINT_PTR kCloseTimer = 1;

// What the worker needs, owned by the dialog for as long as the worker runs.
struct Progress {
    HWND bar;
    HANDLE stop;  // set when the dialog goes: the worker touches the bar no more
    RestartTiming timing;
};

// The shared wait, its steps shown on the bar; the stop event ends it between steps
// and during a pause.
unsigned DriveProgress(void* param)
{
    const Progress& p = *static_cast<Progress*>(param);
    SendMessageA(p.bar, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
    SendMessageA(p.bar, PBM_SETSTEP, 1, 0);
    RestartWaitView view;
    view.step = [&p](int, int) {
        if (WaitForSingleObject(p.stop, 0) == WAIT_OBJECT_0)
            return false;
        SendMessageA(p.bar, PBM_STEPIT, 0, 0);
        return true;
    };
    view.pause = [&p](DWORD ms) { return WaitForSingleObject(p.stop, ms) != WAIT_OBJECT_0; };
    RunRestartWait(p.timing, view);
    return 0;
}

class RestartProgressDialog : public SkinnedDialog {
public:
    explicit RestartProgressDialog(HWND owner) : SkinnedDialog(IDD_RESTART_PROGRESS, owner) {}
    ~RestartProgressDialog() override
    {
        if (progress_.stop)
            CloseHandle(progress_.stop);
    }

protected:
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        BindDlgItems(hwnd, {{IDC_RESTART_PROGRESS, &bar_, DlgItemBinding::kSubclass}});
        const RestartTiming& timing = CurrentRestartTiming();
        progress_ = {bar_.hwnd, CreateEventA(nullptr, TRUE, FALSE, nullptr), timing};
        if (progress_.stop)
            worker_ = StartThread(DriveProgress, &progress_);
        SetTimer(hwnd, kCloseTimer, timing.closeMs, nullptr);
        return true;
    }
    void OnTimer(UINT_PTR) override
    {
        // The full wait has passed: the device has had its time to restart, wherever
        // the worker is. On a busy machine each of its steps lasts a little longer
        // than asked, and the last may not be made before the timer fires.
        restartState = 0;
        EndDialog(IDCANCEL);
        KillTimer(hwnd, kCloseTimer);
    }
    void OnDestroy() override
    {
        // The bar goes with the dialog: stop the worker first. It may be sending the
        // bar a step right now, so keep taking sent messages while waiting for it.
        if (!worker_)
            return;
        SetEvent(progress_.stop);
        HANDLE worker = worker_.handle();
        while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        worker_.Close();
    }

private:
    SkinProgressCtrl bar_;
    Progress progress_{};
    Thread worker_;
};

}  // namespace

void RunRestartProgress(HWND owner)
{
    RestartProgressDialog dialog(owner);
    dialog.DoModal();
}
