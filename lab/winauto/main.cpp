// kavron-winauto: the automation helper from the command line, for scripts and for
// looking at a running utility by hand (run it under Wine next to the utility).
//
//   kavron-winauto wait TITLE [TIMEOUT_MS]        wait for a window, print its handle
//   kavron-winauto rows TITLE CONTROL_ID          list-view rows, cells tab-separated,
//                                                 "*" before a selected row
//   kavron-winauto text TITLE CONTROL_ID          a control's text (IP controls: dotted)
//   kavron-winauto click TITLE CONTROL_ID         click a control in its centre
//   kavron-winauto click-at TITLE X Y             click the control under a point of the
//                                                 window's client area (the list's bars,
//                                                 which have no id of their own)
//   kavron-winauto click-row TITLE CONTROL_ID ROW select a list row with a click
//   kavron-winauto select TITLE CONTROL_ID INDEX  choose an item of a combo box
//   kavron-winauto click-name TITLE CONTROL_ID TEXT   click the row whose first cell is TEXT
//   kavron-winauto idle TITLE [TIMEOUT_MS]        wait until the window's thread is idle
//   kavron-winauto message [TIMEOUT_MS] [ok]      print "caption<TAB>text" of a message box;
//                                                 with ok, also press its OK
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "winauto.h"

namespace {

int Usage()
{
    std::fprintf(
        stderr,
        "usage: kavron-winauto wait|rows|text|click|click-at|select|click-row|click-name|idle|message|key ...\n");
    return 2;
}

HWND Window(const char* title, int timeoutMs = 30000)
{
    HWND window = winauto::WaitForWindow(title, 0, timeoutMs);
    if (!window)
        std::fprintf(stderr, "kavron-winauto: no window \"%s\"\n", title);
    return window;
}

HWND Control(const char* title, const char* id)
{
    HWND window = Window(title);
    if (!window)
        return nullptr;
    HWND control = GetDlgItem(window, std::atoi(id));
    if (!control)
        std::fprintf(stderr, "kavron-winauto: no control %s\n", id);
    return control;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "wait" && argc >= 3) {
        HWND window = Window(argv[2], argc >= 4 ? std::atoi(argv[3]) : 30000);
        if (!window)
            return 1;
        std::printf("%p\n", static_cast<void*>(window));
        return 0;
    }
    if (command == "idle" && argc >= 3) {
        HWND window = Window(argv[2]);
        return window && winauto::WaitIdle(window, argc >= 4 ? std::atoi(argv[3]) : 60000) ? 0 : 1;
    }
    if (command == "message") {
        // The utility's main window holds controls with the message text's id too.
        HWND main = winauto::WaitForWindow("Kavron Storage Utility", 0, 0);
        auto box = winauto::WaitForMessageBox(0, argc >= 3 ? std::atoi(argv[2]) : 5000, main);
        if (!box.window)
            return 1;
        std::printf("%s\t%s\n", box.caption.c_str(), box.text.c_str());
        if (argc >= 4 && std::strcmp(argv[3], "ok") == 0)
            PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    if (command == "click-at" && argc >= 5) {
        HWND window = Window(argv[2]);
        if (!window)
            return 1;
        POINT point{std::atoi(argv[3]), std::atoi(argv[4])};
        // Down to the innermost visible child under the point, in its own coordinates.
        HWND target = window;
        for (;;) {
            HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == target)
                break;
            MapWindowPoints(target, child, &point, 1);
            target = child;
        }
        winauto::ClickAt(target, point.x, point.y);
        return 0;
    }
    if (command == "key" && argc >= 4) {
        // A virtual-key code, decimal, pressed on the window's focused control.
        HWND window = Window(argv[2]);
        return window && winauto::PressKey(window, static_cast<UINT>(std::atoi(argv[3]))) ? 0 : 1;
    }
    if (argc < 4)
        return Usage();
    HWND control = Control(argv[2], argv[3]);
    if (!control)
        return 1;
    char cls[64] = {};
    GetClassNameA(control, cls, sizeof(cls));
    if (command == "rows") {
        for (const auto& row : winauto::ReadListView(control)) {
            std::printf("%s", row.selected ? "*" : "");
            for (size_t i = 0; i < row.cells.size(); ++i)
                std::printf("%s%s", i ? "\t" : "", row.cells[i].c_str());
            std::printf("\n");
        }
        return 0;
    }
    if (command == "text") {
        if (std::strcmp(cls, "SysIPAddress32") == 0)
            std::printf("%s\n", winauto::ReadIpAddress(control).Dotted().c_str());
        else if (std::strcmp(cls, "ComboBox") == 0)
            std::printf("%s\n", winauto::ComboSelectedText(control).c_str());
        else
            std::printf("%s\n", winauto::GetText(control).c_str());
        return 0;
    }
    if (command == "click") {
        winauto::ClickCentre(control);
        return 0;
    }
    if (command == "select" && argc >= 5) {
        // Combo boxes only: the selection is a plain index, so it crosses processes.
        return SendMessageA(control, CB_SETCURSEL, std::atoi(argv[4]), 0) == std::atoi(argv[4]) ? 0 : 1;
    }
    if (command == "click-row" && argc >= 5) {
        return winauto::ClickListRow(control, std::atoi(argv[4])) ? 0 : 1;
    }
    if (command == "click-name" && argc >= 5) {
        const auto rows = winauto::ReadListView(control);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].cells.empty() && rows[i].cells[0] == argv[4])
                return winauto::ClickListRow(control, static_cast<int>(i)) ? 0 : 1;
        }
        std::fprintf(stderr, "kavron-winauto: no row \"%s\"\n", argv[4]);
        return 1;
    }
    return Usage();
}
