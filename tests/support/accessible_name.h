// What a screen reader hears on Windows, read from the windows themselves: Wine's
// accessibility library answers nothing, so the names are worked out by the rules of
// Windows' standard proxy. A button is named by its window text; any other control
// by the static text before it, searched backwards through the siblings until a
// static, or a control that starts a group and is a tab stop. '&' marks an access key
// and is not read ("&&" is one '&'). Works on another process's windows too.
#pragma once

#include <windows.h>

#include <string>

inline std::string WindowClassOf(HWND h)
{
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

inline std::string WithoutAccessKeyMarks(const std::string& text)
{
    std::string read;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        read += text[i];
    }
    return read;
}

inline std::string StandardProxyName(HWND control)
{
    auto textOf = [](HWND h) {
        char text[256] = {};
        GetWindowTextA(h, text, sizeof text);
        return WithoutAccessKeyMarks(text);
    };
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(WindowClassOf(control).c_str(), "Button") == 0 && (style & BS_TYPEMASK) != BS_GROUPBOX)
        return textOf(control);
    for (HWND h = GetWindow(control, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (lstrcmpiA(WindowClassOf(h).c_str(), "Static") == 0)
            return textOf(h);
        if ((GetWindowLongA(h, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP))
            break;
    }
    return std::string();
}

// The dialog's control that holds the focus when `focus` does: an address field's
// part counts as the field.
inline HWND DialogControlOf(HWND dialog, HWND focus)
{
    while (focus && GetParent(focus) != dialog)
        focus = GetParent(focus);
    return focus;
}
