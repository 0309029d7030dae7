// DialogLayout: a dialog laid out for any dpi as its 96-dpi layout times the scale.
//
// The dialog manager sizes a template by the dialog font's base units at the
// window's dpi, and those do not grow in step with the dpi (Arial 8 is 6 x 13 at
// 96 dpi, 9 x 18 at 144 dpi: the height grows by 1.38, not 1.5), so the pictures
// drawn for a scale would not line up with the controls. The layout reads the
// template itself, computes every rectangle as the dialog manager does at 96 dpi,
// and puts the window and each template control at that rectangle times dpi/96.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/dpi.h"
#include "framework/gdi.h"

// What the layout needs of a dialog template: its style, its client size and each
// control's rectangle in dialog units, in template order, and its font.
struct DialogTemplateInfo {
    DWORD style = 0;
    DWORD exStyle = 0;
    SIZE units = {0, 0};
    std::vector<RECT> items;  // left, top, right, bottom in dialog units
    TemplateFont font;        // points 0: the system font
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX resource. False when it is missing or cut short.
bool ReadDialogTemplate(HINSTANCE module, int templateId, DialogTemplateInfo* info);

// The dialog base units of `font` at `dpi` (width from the average of the 52 Latin
// letters, height the font's), as the dialog manager computes them.
SIZE DialogBaseUnits(const TemplateFont& font, UINT dpi);

class DialogLayout {
public:
    // Reads the template and pairs its controls with the dialog's children, which the
    // dialog manager created in template order. Call before any other child exists.
    bool Record(HWND dialog, HINSTANCE module, int templateId);
    bool Recorded() const { return recorded_; }

    // Lays the dialog out for `dpi`: each template control at its 96-dpi rectangle
    // times dpi/96, the window's client area likewise, and the dialog font at `dpi`
    // when it is not that already. `placed` is where the window goes (WM_DPICHANGED's
    // suggested rectangle); without it the window keeps its top left corner.
    void Apply(HWND dialog, UINT dpi, const RECT* placed);

    // The 96-dpi rectangle of a template control in its dialog's client area, and the
    // client size; false / {0, 0} when unknown.
    bool BaseRect(HWND control, RECT* rect) const;
    SIZE BaseClientSize() const { return client_; }

private:
    struct Control {
        HWND hwnd;
        RECT base;
    };
    bool recorded_ = false;
    DialogTemplateInfo template_;
    SIZE client_ = {0, 0};
    std::vector<Control> controls_;
    UINT fontDpi_ = 0;  // the dpi the dialog's font was made for
    GdiFont font_;      // the dialog font this layout made, once it made one
};
