#include "skin/skinned_dialog.h"

#include "skin/skin_pictures.h"

namespace {

// Texts that sit on the picture: labels, and the captions of check and radio
// buttons. Edits and combo boxes also ask with CTLCOLOR_STATIC when disabled or
// read-only; they keep their own colours.
bool DrawsOnThePicture(HWND ctl)
{
    char cls[16] = {};
    GetClassNameA(ctl, cls, sizeof cls);
    return lstrcmpiA(cls, "Static") == 0 || lstrcmpiA(cls, "Button") == 0;
}

}  // namespace

SkinnedDialog::SkinnedDialog(int templateId, HWND parent)
    : Dialog(templateId, parent), skin_(FindWindowSkin(templateId))
{}

void SkinnedDialog::LoadBackground()
{
    // A picture copied at its own size is read as drawn (a DIB section); a
    // stretched one as a device-dependent bitmap, like the main window's.
    if (skin_)
        background_ = LoadSkinPicture(skin_->background, Dpi(), skin_->fit == BackgroundFit::kUnscaled);
}

void SkinnedDialog::SetAnswer(int* answer, int onOk, int onCancel)
{
    answer_ = answer;
    answerOk_ = onOk;
    answerCancel_ = onCancel;
}

bool SkinnedDialog::OnInitDialog()
{
    LoadBackground();
    BindSkinButtons(hwnd, TemplateId(), &buttons_);
    return true;
}

void SkinnedDialog::OnDpiChanged(UINT dpi, const RECT* suggested)
{
    Dialog::OnDpiChanged(dpi, suggested);
    LoadBackground();
    Invalidate();
}

void SkinnedDialog::EndWithAnswer(int value, INT_PTR result)
{
    if (answer_)
        *answer_ = value;
    EndDialog(result);
}

void SkinnedDialog::OnOK()
{
    EndWithAnswer(answerOk_, IDOK);
}

void SkinnedDialog::OnCancel()
{
    EndWithAnswer(answerCancel_, IDCANCEL);
}

bool SkinnedDialog::OnEraseBkgnd(HDC dc)
{
    if (!skin_ || !background_)
        return false;
    const SIZE picture = BitmapSize(background_.get());
    if (skin_->fit == BackgroundFit::kUnscaled)
        return DrawBitmap(dc, 0, 0, picture.cx, picture.cy, background_.get());
    const RECT client = ClientRect();
    // Drawn for this size at this dpi: copied pixel for pixel. A size the layout
    // rounded a pixel away from the picture's is stretched over it.
    if (picture.cx == client.right && picture.cy == client.bottom)
        return DrawBitmap(dc, 0, 0, picture.cx, picture.cy, background_.get());
    DefaultEraseBkgnd(dc);
    StretchBitmap(dc, 0, 0, client.right, client.bottom, background_.get(), 0, 0, picture.cx, picture.cy);
    return true;
}

HBRUSH SkinnedDialog::OnCtlColor(HDC dc, HWND ctl, int kind)
{
    if (kind != CTLCOLOR_STATIC || !skin_ || !DrawsOnThePicture(ctl))
        return nullptr;
    SetTextColor(dc, static_cast<COLORREF>(skin_->labelColor));
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
