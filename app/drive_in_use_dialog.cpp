#include "app/drive_in_use_dialog.h"

#include "res/resource.h"
#include "skin/skinned_dialog.h"

int driveInUseAnswer;

namespace {

class DriveInUseDialog : public SkinnedDialog {
public:
    explicit DriveInUseDialog(HWND owner) : SkinnedDialog(IDD_DRIVE_IN_USE, owner)
    {
        SetAnswer(&driveInUseAnswer, 1, 0);
    }
};

}  // namespace

int AskDriveInUse(HWND owner)
{
    driveInUseAnswer = 0;
    DriveInUseDialog dialog(owner);
    dialog.DoModal();
    return driveInUseAnswer;
}
