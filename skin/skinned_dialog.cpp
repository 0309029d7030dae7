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
    fitted_ = false;
    // A picture copied at its own size is read as drawn (a DIB section); a
    // stretched one as a device-dependent bitmap, like the main window's.
    if (!skin_)
        return;
    background_ = LoadSkinPicture(skin_->background, Dpi(), skin_->fit == BackgroundFit::kUnscaled);
    // Stretched at once, while the window has no surface yet: the picture as drawn
    // and its stretched copy (each of them megabytes at a high dpi) are not both
    // kept beside the window's own pixels at the first erase.
    if (skin_->fit == BackgroundFit::kStretched && background_) {
        ClientDC screen(hwnd);
        FitBackground(screen.get());
    }
}

// Replaces the picture as drawn with its copy stretched to the client area's size:
// every erase of a large window at a high dpi would otherwise stretch several
// megabytes again. Nothing to do at that size already, or before the window has one.
bool SkinnedDialog::FitBackground(HDC dc)
{
    const RECT client = ClientRect();
    const SIZE picture = BitmapSize(background_.get());
    if (client.right <= 0 || client.bottom <= 0 || (picture.cx == client.right && picture.cy == client.bottom))
        return true;
    GdiBitmap fitted(CreateCompatibleBitmap(dc, client.right, client.bottom));
    MemoryDC target(dc);
    if (!fitted || !target)
        return false;
    {
        SelectObjectGuard select(target.get(), fitted.get());
        StretchBitmap(target.get(), 0, 0, client.right, client.bottom, background_.get(), 0, 0, picture.cx, picture.cy);
    }
    background_ = std::move(fitted);
    fitted_ = true;
    return true;
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
    // A new size starts again from the picture as drawn.
    if (picture.cx != client.right || picture.cy != client.bottom) {
        if (fitted_)
            LoadBackground();
        if (!background_ || (!fitted_ && !FitBackground(dc)))
            return false;
    }
    return DrawBitmap(dc, 0, 0, client.right, client.bottom, background_.get());
}

HBRUSH SkinnedDialog::OnCtlColor(HDC dc, HWND ctl, int kind)
{
    if (kind != CTLCOLOR_STATIC || !skin_ || !DrawsOnThePicture(ctl))
        return nullptr;
    SetTextColor(dc, static_cast<COLORREF>(skin_->labelColor));
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
