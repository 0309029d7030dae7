// The one place the skin looks its pictures up: by resource number and the DPI of
// the window that shows them. res/pictures/make-pictures.sh draws every picture at
// each scale of kDrawnScales from one description; the 100 % set is embedded as
// BITMAP resources, the others as PNG resources of type "PNG<scale>" under the
// same number, decoded with the Windows Imaging Component.
//
// Controls ask for a picture at their window's DPI and never choose a file or a
// scale themselves.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/dpi.h"  // ScaleToDpi: the 96-dpi lengths of the pictures at a dpi
#include "framework/gdi.h"

// The scales, in percent, at which every picture of the skin is drawn.
inline constexpr int kDrawnScales[] = {100, 125, 150, 175, 200};

// The drawn set a window at `dpi` takes its pictures from: at 96, 120, 144, 168 and
// 192 dpi the set drawn for it, in between the next larger one, above 192 dpi the
// 200 % set (scaled smoothly to SkinPictureSize in the last two cases).
int DrawnScaleForDpi(UINT dpi);

// Width and height of picture `resourceId` at `dpi`: its 100 % size times dpi / 96,
// each rounded by ScaleToDpi. {0, 0} when the program has no such picture.
SIZE SkinPictureSize(int resourceId, UINT dpi);

// Picture `resourceId` for a window at `dpi`, SkinPictureSize(resourceId, dpi)
// large: at a drawn scale the drawing pixel for pixel, otherwise the next larger
// drawn set (the 200 % set above 192 dpi) resized by area averaging, which blends
// rather than drops or repeats pixels (the same on every Windows). At 96 dpi
// the BITMAP resource as LoadBitmapResource gives it. dibSection: a DIB section,
// read as drawn; otherwise a bitmap compatible with the screen. A dpi of 0 (what
// GetDpiForWindow gives for an invalid window) counts as 96. Null when the
// picture is missing or cannot be decoded.
//
// Decoding a PNG needs COM on the calling thread: the loader initialises it for
// the call if the thread has not (better: a PictureDecoding on the UI thread for
// the window's life, which saves the set-up per picture).
GdiBitmap LoadSkinPicture(int resourceId, UINT dpi, bool dibSection = false);

// The same picture as a screen-compatible bitmap shared by every control that
// shows it at that dpi: loaded once while any of them holds it (a button's faces
// that repeat, the pictures of every list's scroll bars), freed with the last.
// The controls draw it through a memory DC of their own, one at a time on the UI
// thread, and never keep it selected. Null as LoadSkinPicture.
using SharedSkinPicture = std::shared_ptr<const GdiBitmap>;
SharedSkinPicture LoadSharedSkinPicture(int resourceId, UINT dpi);

// COM and one imaging factory on this thread for the object's life, used by every
// picture the thread decodes meanwhile: created once, not once per picture (under
// Wine each creation reads the registry again). Does nothing at `active` false.
class PictureDecoding {
public:
    explicit PictureDecoding(bool active);
    ~PictureDecoding();
    PictureDecoding(const PictureDecoding&) = delete;
    PictureDecoding& operator=(const PictureDecoding&) = delete;

private:
    bool com_ = false;
    bool factory_ = false;
};
