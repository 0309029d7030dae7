#include "winauto.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "remote_memory.h"

namespace winauto {
namespace {

constexpr int kPollMs = 50;

struct WindowSearch {
    const char* title;
    const char* className;
    DWORD processId;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (window == search->except || !IsWindowVisible(window))
        return TRUE;
    if (search->processId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != search->processId)
            return TRUE;
    }
    if (search->className) {
        char cls[64] = {};
        GetClassNameA(window, cls, sizeof(cls));
        if (std::strcmp(cls, search->className) != 0)
            return TRUE;
    }
    if (search->title && GetText(window) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForTopLevel(WindowSearch search, int timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        search.found = nullptr;
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs)
            return nullptr;
        Sleep(kPollMs);
    }
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

}  // namespace

HWND WaitForWindow(const char* title, DWORD processId, int timeoutMs)
{
    return WaitForTopLevel({title, nullptr, processId, nullptr, nullptr}, timeoutMs);
}

HWND WaitForDialog(const char* title, DWORD processId, HWND except, int timeoutMs)
{
    return WaitForTopLevel({title, "#32770", processId, except, nullptr}, timeoutMs);
}

bool WaitIdle(HWND window, int timeoutMs)
{
    // A thread waiting in its message loop fetches a posted message within a few
    // milliseconds; a handler it starts then holds the thread, and the WM_NULL below
    // is only answered when the handler has returned.
    // A flow that runs its waits on a worker keeps answering meanwhile; its window
    // says so when asked with the utility's busy query, and it is idle only when that
    // answers 0.
    constexpr int kFetchMs = 250;
    constexpr int kPollMs = 20;
    static const UINT busyQuery = RegisterWindowMessageA("KavronBusyQuery");
    Sleep(kFetchMs);
    const DWORD start = GetTickCount();
    for (;;) {
        const int left = timeoutMs - static_cast<int>(GetTickCount() - start);
        if (left <= 0)
            return false;
        DWORD_PTR busy = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(left), &busy))
            return false;
        if (!SendMessageTimeoutA(window, busyQuery, 0, 0, SMTO_NORMAL, static_cast<UINT>(left), &busy))
            return false;
        if (busy != 1)
            return true;
        Sleep(kPollMs);
    }
}

std::string GetText(HWND window)
{
    // WM_GETTEXT is marshalled across processes by the system for every window.
    char buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                             &copied))
        return {};
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

bool IsShown(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}
bool IsEnabled(HWND window)
{
    return IsWindowEnabled(window) != FALSE;
}

int ListColumnCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<std::string> ListColumnTitles(HWND list)
{
    std::vector<std::string> titles;
    const int columns = ListColumnCount(list);
    constexpr size_t kTextSize = 260;
    RemoteMemory remote(list, sizeof(LVCOLUMNA) + kTextSize);
    if (!remote.valid())
        return titles;
    for (int c = 0; c < columns; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = static_cast<char*>(remote.address()) + sizeof(LVCOLUMNA);
        column.cchTextMax = kTextSize;
        char text[kTextSize] = {};
        remote.Write(&column, sizeof(column));
        remote.Write(text, sizeof(text), sizeof(LVCOLUMNA));
        SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(c), remote.param());
        remote.Read(text, sizeof(text), sizeof(LVCOLUMNA));
        text[kTextSize - 1] = '\0';
        titles.emplace_back(text);
    }
    return titles;
}

std::vector<ListRow> ReadListView(HWND list)
{
    std::vector<ListRow> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const int columns = ListColumnCount(list);
    constexpr size_t kTextSize = 512;
    RemoteMemory remote(list, sizeof(LVITEMA) + kTextSize);
    if (!remote.valid())
        return rows;
    for (int r = 0; r < count; ++r) {
        ListRow row;
        for (int c = 0; c < columns; ++c) {
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = static_cast<char*>(remote.address()) + sizeof(LVITEMA);
            item.cchTextMax = kTextSize;
            remote.Write(&item, sizeof(item));
            char text[kTextSize] = {};
            const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(r), remote.param());
            if (length > 0)
                remote.Read(text, sizeof(text), sizeof(LVITEMA));
            text[kTextSize - 1] = '\0';
            row.cells.emplace_back(text);
        }
        row.selected =
            (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED) & LVIS_SELECTED) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

RECT ListRowRect(HWND list, int row)
{
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    RemoteMemory remote(list, sizeof(RECT));
    if (!remote.valid())
        return RECT{};
    remote.Write(&rect, sizeof(rect));
    if (!SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.param()))
        return RECT{};
    remote.Read(&rect, sizeof(rect));
    return rect;
}

void ClickAt(HWND window, int x, int y)
{
    PostMessageA(window, WM_MOUSEMOVE, 0, PointParam(x, y));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, PointParam(x, y));
}

void ClickCentre(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    ClickAt(window, (client.right - client.left) / 2, (client.bottom - client.top) / 2);
}

HWND FocusedControl(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool PressKey(HWND window, UINT key)
{
    HWND focus = FocusedControl(window);
    if (!focus)
        return false;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(focus, WM_KEYDOWN, key, 1 | scan);
    PostMessageA(focus, WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000u));
    return true;
}

bool ClickListRow(HWND list, int row)
{
    const RECT rect = ListRowRect(list, row);
    if (rect.right <= rect.left)
        return false;
    ClickAt(list, rect.left + 4, (rect.top + rect.bottom) / 2);
    return true;
}

int ComboSelection(HWND combo)
{
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

namespace {
std::string ComboItem(HWND combo, int index)
{
    // The system marshals CB_GETLBTEXT's buffer across processes, but as Unicode
    // text whichever variant is sent: ask for it as such and convert.
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0]));
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof(text) - 1, nullptr, nullptr);
    return text;
}
}  // namespace

std::string ComboSelectedText(HWND combo)
{
    const int selection = ComboSelection(combo);
    return selection < 0 ? std::string() : ComboItem(combo, selection);
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back(ComboItem(combo, i));
    return items;
}

std::string IpValue::Dotted() const
{
    if (blank)
        return {};
    char text[16];
    std::snprintf(text, sizeof(text), "%lu.%lu.%lu.%lu", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

IpValue ReadIpAddress(HWND ipControl)
{
    IpValue value;
    value.blank = SendMessageA(ipControl, IPM_ISBLANK, 0, 0) != 0;
    if (value.blank)
        return value;
    RemoteMemory remote(ipControl, sizeof(DWORD));
    if (!remote.valid())
        return value;
    SendMessageA(ipControl, IPM_GETADDRESS, 0, remote.param());
    remote.Read(&value.address, sizeof(value.address));
    return value;
}

std::vector<RECT> WindowRegionRects(HWND window)
{
    std::vector<RECT> rects;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<unsigned char> buffer(size);
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        if (size && GetRegionData(region, size, data)) {
            const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
            rects.assign(r, r + data->rdh.nCount);
        }
    }
    DeleteObject(region);
    return rects;
}

bool RegionContains(HWND window, int x, int y)
{
    for (const RECT& r : WindowRegionRects(window)) {
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    }
    return false;
}

MessageBoxText WaitForMessageBox(DWORD processId, int timeoutMs, HWND except)
{
    MessageBoxText box;
    const DWORD start = GetTickCount();
    for (;;) {
        HWND dialog = WaitForDialog(nullptr, processId, except, kPollMs);
        // The standard message box shows its text in a static control with id 0xFFFF.
        HWND text = dialog ? GetDlgItem(dialog, 0xFFFF) : nullptr;
        if (text) {
            box.window = dialog;
            box.caption = GetText(dialog);
            box.text = GetText(text);
            return box;
        }
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs)
            return box;
        Sleep(kPollMs);
    }
}

bool SaveWindowPicture(HWND window, const char* bmpPath)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    bool ok = false;
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    if (FILE* f = std::fopen(bmpPath, "wb")) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + imageSize;
        ok = std::fwrite(&file, sizeof(file), 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f) == 1 && std::fwrite(bits, imageSize, 1, f) == 1;
        ok = (std::fclose(f) == 0) && ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

StartedProcess::StartedProcess(const std::string& windowsPath)
{
    STARTUPINFOA startup{sizeof(startup)};
    std::string command = "\"" + windowsPath + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        info_ = {};
}

StartedProcess::~StartedProcess()
{
    if (!info_.hProcess)
        return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

DWORD StartedProcess::WaitExit(int timeoutMs) const
{
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return kStillRunning;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

}  // namespace winauto
