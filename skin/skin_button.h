// SkinButton: an owner-drawn button whose face is a bitmap chosen by state
// (normal, pressed, under the mouse, disabled, focused), optionally shaped by a
// mask. Taken over from a dialog's button by subclassing; a template button of the
// automatic check-box or radio-button type keeps that behaviour.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

class SkinButton : public Button {
public:
    enum Kind { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };
    // Posted to the other radio buttons of a group when one becomes checked.
    static constexpr UINT kClearCheckMessage = 0x500;

    SkinButton();

    // Bitmap resource numbers (0 = none) and drawing settings: drawMode 0 copies
    // the face at its own size, 1 stretches it, 2 tiles it; border draws a 3D
    // edge; margin insets the caption and the focus rectangle. A disabled face
    // defaults to the normal one. A mask (white = transparent) shapes the window.
    // Returns false when a given bitmap could not be loaded.
    bool SetSkin(int normal, int down, int over, int disabled, int focus, int mask, int drawMode = 1, int border = 0,
                 int margin = 0);

    void PreSubclassWindow() override;
    virtual void DrawItem(DRAWITEMSTRUCT* dis);
    bool OnReflectedDrawItem(DRAWITEMSTRUCT* dis) override
    {
        DrawItem(dis);
        return true;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool checkState = false;
    int kind = kPushButton;
    bool hover = false;
    bool pressed = false;
    GdiBitmap normalBitmap;
    GdiBitmap downBitmap;
    GdiBitmap disabledBitmap;
    GdiBitmap maskBitmap;
    GdiBitmap overBitmap;
    GdiBitmap focusBitmap;
    short margin = 0;
    COLORREF textColor;
    GdiRegion region;  // our copy; the window owns the one it was given
    short border = 0;
    short drawMode = 1;

private:
    bool IsUnderPoint(POINT screen) const;
    void DrawFace(HDC dc, HBITMAP face, const RECT& r) const;
    void ClearOtherRadios();
};
