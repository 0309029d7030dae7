#include "framework/dialog_layout.h"

#include <cstring>

namespace {

// A cursor over the template's bytes that never reads past the end.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }

    template <class T>
    T Read()
    {
        T value{};
        if (!ok_ || pos_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    // A zero-terminated UTF-16 string, narrowed to ANSI into `out` (may be null).
    void ReadString(char* out, size_t outSize)
    {
        size_t n = 0;
        for (WORD c = Read<WORD>(); ok_ && c != 0; c = Read<WORD>()) {
            if (out && n + 1 < outSize)
                out[n++] = static_cast<char>(c < 0x80 ? c : '?');
        }
        if (out && outSize)
            out[n] = '\0';
    }
    // A name or a number: 0x0000 nothing, 0xFFFF then a number, else a string.
    void SkipNameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF)
            Read<WORD>();
        else if (first != 0) {
            pos_ -= sizeof(WORD);
            ReadString(nullptr, 0);
        }
    }
    void Skip(size_t n)
    {
        if (pos_ + n > size_)
            ok_ = false;
        else
            pos_ += n;
    }
    void AlignToDword() { Skip((4 - pos_ % 4) % 4); }

private:
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

RECT UnitsRect(short x, short y, short cx, short cy)
{
    return RECT{x, y, x + cx, y + cy};
}

}  // namespace

bool ReadDialogTemplate(HINSTANCE module, int templateId, DialogTemplateInfo* info)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    TemplateReader r(data, SizeofResource(module, found));
    *info = DialogTemplateInfo();

    const WORD version = r.Read<WORD>();
    const WORD signature = r.Read<WORD>();
    const bool extended = version == 1 && signature == 0xFFFF;
    WORD count = 0;
    if (extended) {
        r.Read<DWORD>();  // help id
        info->exStyle = r.Read<DWORD>();
        info->style = r.Read<DWORD>();
    } else {
        info->style = MAKELONG(version, signature);
        info->exStyle = r.Read<DWORD>();
    }
    count = r.Read<WORD>();
    r.Read<short>();
    r.Read<short>();
    info->units.cx = r.Read<short>();
    info->units.cy = r.Read<short>();
    r.SkipNameOrOrdinal();     // menu
    r.SkipNameOrOrdinal();     // class
    r.ReadString(nullptr, 0);  // title
    if (info->style & DS_SETFONT) {
        info->font.points = r.Read<WORD>();
        if (extended) {
            const WORD weight = r.Read<WORD>();
            info->font.weight = weight ? weight : FW_NORMAL;
            info->font.italic = r.Read<BYTE>() != 0;
            r.Read<BYTE>();  // the character set: the dialog manager asks for the default one
        }
        r.ReadString(info->font.face, sizeof info->font.face);
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignToDword();
        if (extended) {
            r.Read<DWORD>();  // help id
            r.Read<DWORD>();  // extended style
            r.Read<DWORD>();  // style
        } else {
            r.Read<DWORD>();
            r.Read<DWORD>();
        }
        const short x = r.Read<short>(), y = r.Read<short>(), cx = r.Read<short>(), cy = r.Read<short>();
        if (extended)
            r.Read<DWORD>();  // id
        else
            r.Read<WORD>();
        r.SkipNameOrOrdinal();   // class
        r.SkipNameOrOrdinal();   // title
        r.Skip(r.Read<WORD>());  // creation data
        info->items.push_back(UnitsRect(x, y, cx, cy));
    }
    return r.ok();
}

SIZE DialogBaseUnits(const TemplateFont& font, UINT dpi)
{
    if (font.points <= 0) {
        const LONG units = GetDialogBaseUnits();
        return SIZE{LOWORD(units), HIWORD(units)};
    }
    GdiFont made(CreateTemplateFont(font, dpi));
    ClientDC screen(nullptr);
    SelectObjectGuard select(screen.get(), made.get());
    TEXTMETRICA metrics = {};
    SIZE letters = {0, 0};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!GetTextMetricsA(screen.get(), &metrics) || !GetTextExtentPoint32A(screen.get(), kLetters, 52, &letters))
        return SIZE{4, 8};
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

bool DialogLayout::Record(HWND dialog, HINSTANCE module, int templateId)
{
    recorded_ = false;
    controls_.clear();
    if (!ReadDialogTemplate(module, templateId, &template_))
        return false;
    const SIZE base = DialogBaseUnits(template_.font, kBaseDpi);
    auto toPixels = [&base](const RECT& u) {
        const int x = MulDiv(u.left, base.cx, 4), y = MulDiv(u.top, base.cy, 8);
        return RECT{x, y, x + MulDiv(u.right - u.left, base.cx, 4), y + MulDiv(u.bottom - u.top, base.cy, 8)};
    };
    client_ = SIZE{MulDiv(template_.units.cx, base.cx, 4), MulDiv(template_.units.cy, base.cy, 8)};
    // The dialog manager creates the controls in template order, each below the last.
    // A control of no size in its template sizes itself (an icon takes the icon's
    // size): its own size now, brought back to 96 dpi.
    const UINT dpi = WindowDpi(dialog);
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const RECT& units : template_.items) {
        if (!child)
            return false;
        RECT base = toPixels(units);
        if (units.right == units.left || units.bottom == units.top) {
            RECT now{};
            GetWindowRect(child, &now);
            base.right = base.left + MulDiv(now.right - now.left, kBaseDpi, static_cast<int>(dpi));
            base.bottom = base.top + MulDiv(now.bottom - now.top, kBaseDpi, static_cast<int>(dpi));
        }
        controls_.push_back(Control{child, base});
        child = GetWindow(child, GW_HWNDNEXT);
    }
    fontDpi_ = dpi;
    recorded_ = true;
    return true;
}

bool DialogLayout::BaseRect(HWND control, RECT* rect) const
{
    for (const Control& c : controls_) {
        if (c.hwnd == control) {
            *rect = c.base;
            return true;
        }
    }
    return false;
}

void DialogLayout::Apply(HWND dialog, UINT dpi, const RECT* placed)
{
    if (!recorded_ || dpi == 0)
        return;
    // A new dpi gets the dialog font made for it; controls that show another font of
    // their own keep it (their owners scale it).
    HFONT oldFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (dpi != fontDpi_ && template_.font.points > 0) {
        GdiFont made(CreateTemplateFont(template_.font, dpi));
        if (made) {
            HFONT newFont = made.get();
            SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
            // The font the controls show until now stays alive until they have the new one.
            GdiFont previous = std::move(font_);
            font_ = std::move(made);
            for (const Control& c : controls_) {
                if (IsWindow(c.hwnd) && reinterpret_cast<HFONT>(SendMessageA(c.hwnd, WM_GETFONT, 0, 0)) == oldFont)
                    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
            }
            fontDpi_ = dpi;
        }
    }

    RECT frame = {0, 0, ScaleToDpi(client_.cx, dpi), ScaleToDpi(client_.cy, dpi)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE));
    AdjustWindowRectForDpi(&frame, style, exStyle, dpi);
    RECT now = {};
    GetWindowRect(dialog, &now);
    const POINT at = placed ? POINT{placed->left, placed->top} : POINT{now.left, now.top};
    // A child dialog's position is in its parent's client area.
    POINT origin = at;
    if (style & WS_CHILD)
        ScreenToClient(GetParent(dialog), &origin);
    const int width = placed ? placed->right - placed->left : frame.right - frame.left;
    const int height = placed ? placed->bottom - placed->top : frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame is now the one drawn at the window's dpi; where it is not the one
    // computed (a frame a pixel apart, or a dpi no monitor backs, as in the tests),
    // the window gives or takes the difference so that the client area is exact.
    RECT client = {};
    GetClientRect(dialog, &client);
    const int dx = ScaleToDpi(client_.cx, dpi) - client.right;
    const int dy = ScaleToDpi(client_.cy, dpi) - client.bottom;
    if (dx != 0 || dy != 0)
        SetWindowPos(dialog, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (const Control& c : controls_) {
        if (!IsWindow(c.hwnd))
            continue;
        const RECT r = ScaleRectToDpi(c.base, dpi);
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (moves)
            moves = DeferWindowPos(moves, c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
        else
            SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    }
    if (moves)
        EndDeferWindowPos(moves);
}
