// Which pictures each window of the utility shows: the background of every dialog
// and the faces of every skinned button. The utility binds its windows from these
// tables (skin/skin_buttons.h, skin/skinned_dialog.h); the gallery's window preview,
// res/pictures/preview.py and the resource test read the same rows, so a face or a
// background is assigned in exactly one place.
//
// Keep one row per line: preview.py reads the rows with a pattern.
#pragma once

#include <windows.h>

#include "res/resource.h"

// How a window's background picture covers its client area.
enum class BackgroundFit {
    kStretched,  // stretched over the whole client area
    kUnscaled,   // copied at its own size to the top left corner
};

struct WindowSkin {
    int dialog;
    int background;
    BackgroundFit fit;
    unsigned long labelColor;  // COLORREF of the static texts drawn on the picture
};

// Faces of one skinned button: normal, pressed, under the mouse, disabled, and its
// name: what it does, in words, which becomes its window text so that screen readers
// announce it (the faces carry the label as a picture; the name is not drawn over
// them). A row whose faces are all 0 still makes the button a SkinButton, drawn
// without pictures and with its name as the caption.
struct ButtonSkin {
    int dialog;
    int control;
    int normal;
    int down;
    int over;
    int disabled;
    const char* name;
};

constexpr unsigned long kBlackLabels = 0x000000;
constexpr unsigned long kWhiteLabels = 0xFFFFFF;

// clang-format off
inline constexpr WindowSkin kWindowSkins[] = {
    {IDD_MAIN, IDB_MAIN_BACKGROUND, BackgroundFit::kStretched, kBlackLabels},
    {IDD_LOGIN, IDB_LOGIN_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
    {IDD_LANGUAGE, IDB_LANGUAGE_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
    {IDD_RESTART_PROGRESS, IDB_RESTART_BACKGROUND, BackgroundFit::kUnscaled, kWhiteLabels},
    {IDD_ADDON_INSTALLER, IDB_LANGUAGE_BACKGROUND, BackgroundFit::kUnscaled, kWhiteLabels},
    {IDD_DRIVE_IN_USE, IDB_DRIVE_IN_USE_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
    {IDD_WIDGET_ENGINE_PROMPT, IDB_WIDGET_PROMPT_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
    {IDD_WIDGET_MODEL, IDB_WIDGET_MODEL_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
    {IDD_ABOUT, IDB_ABOUT_BACKGROUND, BackgroundFit::kStretched, kWhiteLabels},
};

inline constexpr ButtonSkin kButtonSkins[] = {
    // The main window: first face when normal or disabled, second when pressed or under the mouse.
    {IDD_MAIN, IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_DOWN, IDB_CLOSE_DOWN, IDB_CLOSE, "Close"},
    {IDD_MAIN, IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_DOWN, IDB_MINIMIZE_DOWN, IDB_MINIMIZE, "Minimize"},
    {IDD_MAIN, IDC_REFRESH, IDB_REFRESH, IDB_REFRESH_DOWN, IDB_REFRESH_DOWN, IDB_REFRESH, "Refresh"},
    {IDD_MAIN, IDC_CONFIGURATION, IDB_CONFIGURATION, IDB_CONFIGURATION_DOWN, IDB_CONFIGURATION_DOWN, IDB_CONFIGURATION, "Configuration"},
    {IDD_MAIN, IDC_LANGUAGE, IDB_LANGUAGE, IDB_LANGUAGE_DOWN, IDB_LANGUAGE_DOWN, IDB_LANGUAGE, "Language"},
    {IDD_MAIN, IDC_BITTORRENT, IDB_BITTORRENT, IDB_BITTORRENT_DOWN, IDB_BITTORRENT_DOWN, IDB_BITTORRENT, "BitTorrent"},
    {IDD_MAIN, IDC_APPLY, IDB_APPLY, IDB_APPLY_DOWN, IDB_APPLY_DOWN, IDB_APPLY, "Apply"},
    {IDD_MAIN, IDC_CONNECT, IDB_CONNECT, IDB_CONNECT_DOWN, IDB_CONNECT_DOWN, IDB_CONNECT, "Connect"},
    {IDD_MAIN, IDC_DISCONNECT, IDB_DISCONNECT, IDB_DISCONNECT_DOWN, IDB_DISCONNECT_DOWN, IDB_DISCONNECT, "Disconnect"},
    {IDD_MAIN, IDC_ABOUT, IDB_ABOUT, IDB_ABOUT_DOWN, IDB_ABOUT_DOWN, IDB_ABOUT, "About"},
    {IDD_MAIN, IDC_EXIT, IDB_EXIT, IDB_EXIT_DOWN, IDB_EXIT_DOWN, IDB_EXIT, "Exit"},
    {IDD_MAIN, IDC_WIDGET, 0, 0, 0, 0, "Widget"},
    // The small dialogs: the second face when pressed, under the mouse or disabled.
    {IDD_LOGIN, IDOK, IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN, "OK"},
    {IDD_LOGIN, IDCANCEL, IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, "Cancel"},
    {IDD_LANGUAGE, IDOK, IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN, "OK"},
    {IDD_LANGUAGE, IDCANCEL, IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, "Cancel"},
    {IDD_DRIVE_IN_USE, IDOK, IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN, "OK"},
    {IDD_DRIVE_IN_USE, IDCANCEL, IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, "Cancel"},
    {IDD_WIDGET_MODEL, IDOK, IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN, "OK"},
    {IDD_WIDGET_MODEL, IDCANCEL, IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, "Cancel"},
    {IDD_WIDGET_ENGINE_PROMPT, IDOK, IDB_DOWNLOAD, IDB_DOWNLOAD_DOWN, IDB_DOWNLOAD_DOWN, IDB_DOWNLOAD_DOWN, "Download"},
    {IDD_WIDGET_ENGINE_PROMPT, IDCANCEL, IDB_NEXT, IDB_NEXT_DOWN, IDB_NEXT_DOWN, IDB_NEXT_DOWN, "Next"},
    {IDD_ABOUT, IDOK, IDB_ABOUT_OK, IDB_ABOUT_OK_DOWN, IDB_ABOUT_OK_DOWN, IDB_ABOUT_OK_DOWN, "OK"},
};
// clang-format on

// The row of a window, or nullptr when it has none.
constexpr const WindowSkin* FindWindowSkin(int dialog)
{
    for (const WindowSkin& skin : kWindowSkins) {
        if (skin.dialog == dialog)
            return &skin;
    }
    return nullptr;
}

// The row of one button of a window, or nullptr.
constexpr const ButtonSkin* FindButtonSkin(int dialog, int control)
{
    for (const ButtonSkin& skin : kButtonSkins) {
        if (skin.dialog == dialog && skin.control == control)
            return &skin;
    }
    return nullptr;
}
