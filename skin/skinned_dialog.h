// SkinnedDialog: the base of the utility's small dialogs. From the skin table it
// takes the background picture as drawn for the window's dpi (stretched over the
// client area, or copied at its own size), the colour of the static texts drawn directly on it, and the faces of
// its skinned buttons. Edits, combo boxes and lists keep the system's colours.
// A dialog that answers through a process-wide integer names it with SetAnswer;
// OK and Cancel (Escape and the close box too) store their value before it ends.
#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "res/skin_table.h"
#include "skin/skin_buttons.h"

class SkinnedDialog : public Dialog {
public:
    // A null parent: the application's main window owns the dialog.
    explicit SkinnedDialog(int templateId, HWND parent = nullptr);

    // OK stores onOk, Cancel onCancel in *answer (which outlives the dialog).
    void SetAnswer(int* answer, int onOk, int onCancel);
    // The skinned button of control id, or nullptr.
    SkinButton* SkinnedButton(int id) const { return buttons_.Find(id); }

protected:
    // Binds the table's buttons. A derived dialog calls this first.
    bool OnInitDialog() override;
    // Lays the dialog out for the new dpi and takes the background drawn for it (the
    // buttons take their faces themselves).
    void OnDpiChanged(UINT dpi, const RECT* suggested) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND ctl, int kind) override;

    // Stores value in the answer (if any) and ends the dialog with result.
    void EndWithAnswer(int value, INT_PTR result);

private:
    void LoadBackground();
    bool FitBackground(HDC dc);

    const WindowSkin* skin_;
    GdiBitmap background_;
    bool fitted_ = false;  // background_ is the picture stretched to the client area
    SkinButtonSet buttons_;
    int* answer_ = nullptr;
    int answerOk_ = 1;
    int answerCancel_ = 0;
};
