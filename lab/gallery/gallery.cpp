// kavron-gallery: shows every skinned control of the utility in its states on one
// window: each button face normal, pressed, under the mouse and disabled; a list
// that scrolls (with a selected row) and one that does not, with their headers
// and both picture sets of the scroll bars; progress bars at a few positions.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "res/resource.h"
#include "res/skin_table.h"
#include "skin/skin_button.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_progress_ctrl.h"
#include "windows_preview.h"

namespace {

constexpr int kGalleryDialog = 9500;

// A label for each face, by its normal picture; which faces exist comes from the
// skin table.
struct FaceName {
    int normal;
    const char* name;
};
const FaceName kFaceNames[] = {
    {IDB_REFRESH, "Refresh"},
    {IDB_CONFIGURATION, "Configuration"},
    {IDB_APPLY, "Apply"},
    {IDB_CONNECT, "Connect"},
    {IDB_DISCONNECT, "Disconnect"},
    {IDB_ABOUT, "About"},
    {IDB_EXIT, "Exit"},
    {IDB_LANGUAGE, "Language"},
    {IDB_BITTORRENT, "BitTorrent"},
    {IDB_MINIMIZE, "Minimize"},
    {IDB_CLOSE, "Close"},
    {IDB_OK, "OK"},
    {IDB_CANCEL, "Cancel"},
    {IDB_DOWNLOAD, "Download"},
    {IDB_NEXT, "Next"},
};

const char* FaceLabel(int normal)
{
    for (const FaceName& f : kFaceNames) {
        if (f.normal == normal)
            return f.name;
    }
    return "?";
}

// Every distinct set of faces of the table, in table order.
std::vector<ButtonSkin> DistinctFaces()
{
    std::vector<ButtonSkin> faces;
    for (const ButtonSkin& row : kButtonSkins) {
        if (row.normal == 0)
            continue;
        const bool seen = std::any_of(faces.begin(), faces.end(), [&](const ButtonSkin& f) {
            return f.normal == row.normal && f.down == row.down && f.over == row.over && f.disabled == row.disabled;
        });
        if (!seen)
            faces.push_back(row);
    }
    return faces;
}

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
        for (const ButtonSkin& face : DistinctFaces()) {
            GdiBitmap probe = LoadBitmapResource(face.normal);
            const SIZE size = BitmapSize(probe.get());
            AddStatic(FaceLabel(face.normal), 10, y + (size.cy - 13) / 2, kLabelWidth - 6, 16);
            for (int state = 0; state < kStateCount; ++state) {
                HWND h =
                    CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                    10 + kLabelWidth + state * kColumnWidth, y, size.cx, size.cy, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), ResourceInstance(), nullptr);
                auto button = std::make_unique<SkinButton>();
                button->SubclassWindow(h);
                ButtonFaces faces;
                faces.normal = face.normal;
                faces.down = face.down;
                faces.over = face.over;
                faces.disabled = face.disabled;
                button->SetSkin(faces);
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
        StartCommonControls();
        SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));
        GalleryDialog gallery;
        mainWindow = &gallery;
        gallery.DoModal();
        mainWindow = nullptr;
        return false;
    }
};

}  // namespace

// kavron-gallery             the skinned controls in their states
// kavron-gallery windows     every window with its pictures (pressed: `windows down`;
//                            `windows ID`: the window of that template alone)
// kavron-gallery dump        each stretched background as its window shows it, to files
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const char* mode = commandLine ? commandLine : "";
    if (std::strncmp(mode, "windows", 7) == 0 || std::strcmp(mode, "dump") == 0) {
        StartCommonControls();
        if (std::strcmp(mode, "dump") == 0)
            return DumpWindowBackgrounds();
        const char* id = std::strpbrk(mode, "0123456789");
        return ShowWindowsPreview(std::strstr(mode, "down") != nullptr, id ? std::atoi(id) : 0);
    }
    GalleryApp app;
    return RunApplication(app, instance);
}
