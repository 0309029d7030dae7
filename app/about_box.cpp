#include "app/about_box.h"

#include "res/resource.h"
#include "skin/skinned_dialog.h"

namespace {

// Everything the box does is its skin: the picture, white texts and a skinned OK.
class AboutDialog : public SkinnedDialog {
public:
    explicit AboutDialog(HWND owner) : SkinnedDialog(IDD_ABOUT, owner) {}
};

}  // namespace

void ShowAboutBox(HWND owner)
{
    AboutDialog dialog(owner);
    dialog.DoModal();
}
