// SkinButton: an owner-drawn button whose face is a bitmap chosen by state
// (normal, pressed, under the mouse, disabled, focused), optionally shaped by a
// mask. Taken over from a dialog's button by subclassing; a template button of the
// automatic check-box or radio-button type keeps that behaviour.
//
// The window text is the button's name for screen readers; it is drawn over the
// face only while showCaption is set (a face that carries its label clears it).
// From the keyboard, Space and Enter press a focused push button, and the focus
// shows as the focus face or, without one, as a focus rectangle.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skin_pictures.h"

// The pictures of a skinned button: bitmap resource numbers, 0 for none.
struct ButtonFaces {
    int normal = 0;
    int down = 0;      // pressed, and while the check state is set
    int over = 0;      // under the mouse
    int disabled = 0;  // none: the normal face
    int focus = 0;
    int mask = 0;  // shapes the window: white pixels are outside
};

// How a face is put on the button.
enum class FaceDrawMode : short {
    kCopy = 0,     // the face's top left corner at its own size, cut at the button's edges
    kStretch = 1,  // the whole face stretched over the button
    kTile = 2,     // repeated from the top left corner
};

class SkinButton : public Button {
public:
    enum Kind { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };
    // Posted to the other radio buttons of a group when one becomes checked.
    static constexpr UINT kClearCheckMessage = WM_USER + 0x100;

    SkinButton();

    // Loads the faces as drawn for the window's dpi (replacing the previous ones;
    // again at each dpi change) and the drawing settings:
    // border draws a 3D edge around the face; margin insets the caption and the
    // focus rectangle. A mask shapes the window and, in copy mode, sizes it.
    // Returns false when a given bitmap could not be loaded.
    bool SetSkin(const ButtonFaces& faces, FaceDrawMode mode = FaceDrawMode::kCopy, bool border = false,
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
    // Faces that name the same picture share one bitmap (LoadSharedSkinPicture): the
    // normal face is most often the disabled one too, the pressed face the one under
    // the mouse.
    using Face = SharedSkinPicture;
    Face normalBitmap;
    Face downBitmap;
    Face disabledBitmap;
    GdiBitmap maskBitmap;
    Face overBitmap;
    Face focusBitmap;
    short margin = 0;
    bool showCaption = true;
    COLORREF textColor;
    GdiRegion region;  // our copy; the window owns the one it was given
    short border = 0;
    FaceDrawMode drawMode = FaceDrawMode::kStretch;
    UINT facesDpi = 0;  // the dpi the faces were loaded for

private:
    ButtonFaces faces_;
    bool IsUnderPoint(POINT screen) const;
    void DrawFace(HDC dc, HBITMAP face, const RECT& r) const;
    void ClearOtherRadios();
};
