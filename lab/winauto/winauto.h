// Drives another process's windows from outside, the way a user would see them:
// finds windows, reads list-view rows, control texts and address fields across the
// process boundary, and clicks controls with posted mouse messages. Used by the
// end-to-end tests and by the kavron-winauto command.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace winauto {

// The first visible top-level window of the process (any process when
// processId is 0) whose title equals title, waiting up to timeoutMs.
HWND WaitForWindow(const char* title, DWORD processId, int timeoutMs);
// A visible top-level dialog (class #32770) owned by the process, other than
// except, whose title equals title (any title when title is nullptr).
HWND WaitForDialog(const char* title, DWORD processId, HWND except, int timeoutMs);
// Waits until the window's thread is idle again: the clicks posted before this call
// have been taken from its queue and every handler they started has returned.
// (Sent messages overtake posted ones, so the thread is first given a moment to
// fetch what was posted.) A window of the utility that waits on a worker answers
// meanwhile; it counts as idle when its busy query answers 0. False on timeout.
bool WaitIdle(HWND window, int timeoutMs);

std::string GetText(HWND window);
bool IsShown(HWND window);  // WS_VISIBLE on the window itself
bool IsEnabled(HWND window);

struct ListRow {
    std::vector<std::string> cells;
    bool selected = false;
};
int ListColumnCount(HWND list);
std::vector<std::string> ListColumnTitles(HWND list);
std::vector<ListRow> ReadListView(HWND list);
RECT ListRowRect(HWND list, int row);  // client coordinates of the list

// Left click at a client point of the window (posted WM_LBUTTONDOWN/UP).
void ClickAt(HWND window, int x, int y);
void ClickCentre(HWND window);
// Clicks a list row in its first column, as a user selecting it would.
bool ClickListRow(HWND list, int row);

// The control that has the keyboard focus in the window's thread, or nullptr.
HWND FocusedControl(HWND window);
// Presses and releases a key on the focused control of the window's thread (posted
// WM_KEYDOWN/WM_KEYUP, which the window's loop hands to its dialog manager).
// False when no control has the focus.
bool PressKey(HWND window, UINT key);

int ComboSelection(HWND combo);
std::string ComboSelectedText(HWND combo);
std::vector<std::string> ComboItems(HWND combo);

// An IP address control's value in host order; blank when no field holds a digit.
struct IpValue {
    bool blank = true;
    DWORD address = 0;
    std::string Dotted() const;
};
IpValue ReadIpAddress(HWND ipControl);
inline bool IsBlankAddress(HWND ipControl)
{
    return ReadIpAddress(ipControl).blank;
}

// The window's shape as a list of rectangles (window coordinates); empty when the
// window has no region of its own.
std::vector<RECT> WindowRegionRects(HWND window);
bool RegionContains(HWND window, int x, int y);

struct MessageBoxText {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// A message box of the process, other than except (its main window, which holds
// controls with the same id): a dialog with the standard text control.
MessageBoxText WaitForMessageBox(DWORD processId, int timeoutMs, HWND except = nullptr);

// Polls the condition every pollMs until it holds; false after timeoutMs.
template <class Condition>
bool WaitFor(Condition condition, int timeoutMs = 20000, int pollMs = 20)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs)
            return false;
        Sleep(static_cast<DWORD>(pollMs));
    }
    return true;
}

// Saves what the window shows on screen as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const char* bmpPath);

// A program the driver started (a Windows path, quoted on its command line). One
// still running when this ends is terminated, so that a failed test leaves none behind.
class StartedProcess {
public:
    explicit StartedProcess(const std::string& windowsPath);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    HANDLE handle() const { return info_.hProcess; }
    DWORD id() const { return info_.dwProcessId; }
    // Its exit status; kStillRunning when it has not ended within timeoutMs.
    static constexpr DWORD kStillRunning = 0xFFFF;
    DWORD WaitExit(int timeoutMs) const;

private:
    PROCESS_INFORMATION info_{};
};

}  // namespace winauto
