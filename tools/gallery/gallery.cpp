// kavron-gallery: shows every skinned control of the utility in its states on one
// window: each button face normal, pressed, under the mouse and disabled; a list
// that scrolls (with a selected row) and one that does not, with their headers
// and both picture sets of the scroll bars; progress bars at a few positions.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "res/resource.h"
#include "skin/skin_button.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_progress_ctrl.h"

namespace {

constexpr int kGalleryDialog = 9500;

struct Face {
    const char* name;
    int normal, down, over, disabled;
};

// The main window's buttons (first / second / second / first) and the dialogs'.
const Face kFaces[] = {
    {"Refresh", IDB_REFRESH, IDB_REFRESH_DOWN, IDB_REFRESH_DOWN, IDB_REFRESH},
    {"Configuration", IDB_CONFIGURATION, IDB_CONFIGURATION_DOWN, IDB_CONFIGURATION_DOWN, IDB_CONFIGURATION},
    {"Apply", IDB_APPLY, IDB_APPLY_DOWN, IDB_APPLY_DOWN, IDB_APPLY},
    {"Connect", IDB_CONNECT, IDB_CONNECT_DOWN, IDB_CONNECT_DOWN, IDB_CONNECT},
    {"Disconnect", IDB_DISCONNECT, IDB_DISCONNECT_DOWN, IDB_DISCONNECT_DOWN, IDB_DISCONNECT},
    {"About", IDB_ABOUT, IDB_ABOUT_DOWN, IDB_ABOUT_DOWN, IDB_ABOUT},
    {"Exit", IDB_EXIT, IDB_EXIT_DOWN, IDB_EXIT_DOWN, IDB_EXIT},
    {"Language", IDB_LANGUAGE, IDB_LANGUAGE_DOWN, IDB_LANGUAGE_DOWN, IDB_LANGUAGE},
    {"BitTorrent", IDB_BITTORRENT, IDB_BITTORRENT_DOWN, IDB_BITTORRENT_DOWN, IDB_BITTORRENT},
    {"Minimize", IDB_MINIMIZE, IDB_MINIMIZE_DOWN, IDB_MINIMIZE_DOWN, IDB_MINIMIZE},
    {"Close", IDB_CLOSE, IDB_CLOSE_DOWN, IDB_CLOSE_DOWN, IDB_CLOSE},
    {"OK", IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN},
    {"Cancel", IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN},
    {"Download", IDB_DOWNLOAD, IDB_DOWNLOAD_DOWN, IDB_DOWNLOAD_DOWN, IDB_DOWNLOAD_DOWN},
    {"Next", IDB_NEXT, IDB_NEXT_DOWN, IDB_NEXT_DOWN, IDB_NEXT_DOWN},
};

enum State { kNormal, kPressed, kHover, kDisabled, kStateCount };
const char* const kStateNames[kStateCount] = {"normal", "pressed", "under the mouse", "disabled"};

constexpr int kFirstButtonId = 2000;
constexpr int kLabelWidth = 100;
constexpr int kColumnWidth = 130;
constexpr int kTop = 34;

class GalleryDialog : public Dialog {
public:
    GalleryDialog() : Dialog(kGalleryDialog) {}

    bool OnInitDialog() override
    {
        SetWindowPos(hwnd, nullptr, 0, 0, 1100, 660, SWP_NOMOVE | SWP_NOZORDER);
        font_.reset(CreateFontA(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
        AddButtons();
        AddLists();
        AddProgressBars();
        return true;
    }

    bool OnCommand(int, int, HWND) override { return true; }  // the faces only show

private:
    HWND AddStatic(const char* text, int x, int y, int w, int h)
    {
        HWND s = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, x, y, w, h, hwnd,
                                 nullptr, ResourceInstance(), nullptr);
        SendMessageA(s, WM_SETFONT, SendMessageA(hwnd, WM_GETFONT, 0, 0), FALSE);
        return s;
    }

    void AddButtons()
    {
        for (int state = 0; state < kStateCount; ++state)
            AddStatic(kStateNames[state], 10 + kLabelWidth + state * kColumnWidth, 10, kColumnWidth, 16);
        int y = kTop;
        int id = kFirstButtonId;
        for (const Face& face : kFaces) {
            GdiBitmap probe = LoadBitmapResource(face.normal);
            const SIZE size = BitmapSize(probe.get());
            AddStatic(face.name, 10, y + (size.cy - 13) / 2, kLabelWidth - 6, 16);
            for (int state = 0; state < kStateCount; ++state) {
                HWND h =
                    CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                    10 + kLabelWidth + state * kColumnWidth, y, size.cx, size.cy, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), ResourceInstance(), nullptr);
                auto button = std::make_unique<SkinButton>();
                button->SubclassWindow(h);
                button->SetSkin(face.normal, face.down, face.over, face.disabled, 0, 0, 0, 0, 0);
                if (state == kPressed)
                    button->Send(BM_SETSTATE, TRUE);
                else if (state == kHover)
                    button->hover = true;
                else if (state == kDisabled)
                    EnableWindow(h, FALSE);
                buttons_.push_back(std::move(button));
            }
            y += (size.cy > 20 ? size.cy : 20) + 6;
        }
    }

    void SetUpList(SkinListCtrl& list, int x, int y, int w, int h)
    {
        HWND lv = CreateWindowExA(0, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, x,
                                  y, w, h, hwnd, nullptr, ResourceInstance(), nullptr);
        list.SubclassWindow(lv);
        list.AttachScrollBars();
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        list.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
        list.SetTextColor(RGB(0, 0, 0));
    }

    void AddLists()
    {
        const int x = 10 + kLabelWidth + kStateCount * kColumnWidth + 30;
        AddStatic("A list that scrolls (row 2 selected)", x, 10, 300, 16);
        SetUpList(devices_, x, kTop, 268, 99);
        const char* heads[] = {"Name", "IP", "Netmask", "Gateway"};
        const int widths[] = {94, 85, 85, 85};
        for (int i = 0; i < 4; ++i)
            devices_.InsertColumn(i, heads[i], LVCFMT_LEFT, widths[i]);
        for (int i = 0; i < 9; ++i) {
            const std::string name = "KAVRON-" + std::to_string(101 + i);
            const std::string ip = "198.51.100." + std::to_string(10 + i);
            devices_.InsertItem(i, name.c_str());
            devices_.SetItemText(i, 1, ip.c_str());
            devices_.SetItemText(i, 2, "255.255.255.0");
            devices_.SetItemText(i, 3, "198.51.100.1");
        }
        devices_.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

        AddStatic("A list that fits (grey bars, no thumbs)", x, kTop + 130, 300, 16);
        SetUpList(volumes_, x, kTop + 154, 235, 99);
        volumes_.InsertColumn(0, "Volume Name", LVCFMT_LEFT, 120);
        volumes_.InsertColumn(1, "Location", LVCFMT_LEFT, 111);
        volumes_.InsertItem(0, "HDD_1_1_1");
        volumes_.SetItemText(0, 1, "Z:");
        volumes_.InsertItem(1, "USB_2_1_1");
        devices_.PositionScrollBars();
        volumes_.PositionScrollBars();
    }

    void AddProgressBars()
    {
        const int x = 10 + kLabelWidth + kStateCount * kColumnWidth + 30;
        int y = kTop + 290;
        AddStatic("Progress bars at 1, 25, 50 and 100 of 1..100", x, y, 300, 16);
        y += 22;
        const int positions[] = {1, 25, 50, 100};
        for (int pos : positions) {
            HWND h = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, x, y, 230, 15, hwnd,
                                     nullptr, ResourceInstance(), nullptr);
            auto bar = std::make_unique<SkinProgressCtrl>();
            bar->SubclassWindow(h);
            bar->SetRange(1, 100);
            bar->SetPos(pos);
            progress_.push_back(std::move(bar));
            y += 24;
        }
    }

    GdiFont font_;
    std::vector<std::unique_ptr<SkinButton>> buttons_;
    SkinListCtrl devices_;
    SkinListCtrl volumes_;
    std::vector<std::unique_ptr<SkinProgressCtrl>> progress_;
};

class GalleryApp : public Application {
public:
    bool InitInstance() override
    {
        EnableControlContainer();
        SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));
        GalleryDialog gallery;
        mainWindow = &gallery;
        gallery.DoModal();
        mainWindow = nullptr;
        return false;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    GalleryApp app;
    return RunApplication(app, instance);
}
