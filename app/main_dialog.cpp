#include "main_dialog.h"

#include <commctrl.h>

#include "app/drive_table.h"
#include "app/list_view.h"
#include "app/window_shape.h"
#include "framework/application.h"
#include "protocol.h"
#include "resource.h"

namespace {

constexpr char kWindowTitle[] = "Kavron Storage Utility";

// The skinned buttons and their faces (normal and disabled / pressed and hover).
struct ButtonFaces {
    int id;
    int first;
    int second;
};
constexpr ButtonFaces kButtonFaces[] = {
    {IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_DOWN},
    {IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_DOWN},
    {IDC_REFRESH, IDB_REFRESH, IDB_REFRESH_DOWN},
    {IDC_CONFIGURATION, IDB_CONFIGURATION, IDB_CONFIGURATION_DOWN},
    {IDC_LANGUAGE, IDB_LANGUAGE, IDB_LANGUAGE_DOWN},
    {IDC_BITTORRENT, IDB_BITTORRENT, IDB_BITTORRENT_DOWN},
    {IDC_APPLY, IDB_APPLY, IDB_APPLY_DOWN},
    {IDC_CONNECT, IDB_CONNECT, IDB_CONNECT_DOWN},
    {IDC_DISCONNECT, IDB_DISCONNECT, IDB_DISCONNECT_DOWN},
    {IDC_ABOUT, IDB_ABOUT, IDB_ABOUT_DOWN},
    {IDC_EXIT, IDB_EXIT, IDB_EXIT_DOWN},
};

// Every button the window binds to a SkinButton; the widget button gets no faces.
constexpr int kSkinnedButtonIds[] = {IDC_REFRESH,       IDC_CONNECT,  IDC_DISCONNECT, IDC_APPLY,
                                     IDC_CONFIGURATION, IDC_EXIT,     IDC_ABOUT,      IDC_LANGUAGE,
                                     IDC_BITTORRENT,    IDC_MINIMIZE, IDC_CLOSE,      IDC_WIDGET};

bool IsStaticControl(HWND ctl)
{
    char cls[16] = {};
    GetClassNameA(ctl, cls, sizeof(cls));
    return lstrcmpiA(cls, "Static") == 0;
}

}  // namespace

MainDialog::MainDialog() : Dialog(IDD_MAIN) {}

MainDialog::~MainDialog()
{
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

bool MainDialog::OnInitDialog()
{
    for (size_t i = 0; i < sizeof(kSkinnedButtonIds) / sizeof(kSkinnedButtonIds[0]); ++i)
        buttons_[i].SubclassDlgItem(kSkinnedButtonIds[i], hwnd);
    deviceListCtrl_.SubclassDlgItem(IDC_DEVICE_LIST, hwnd);
    volumeListCtrl_.SubclassDlgItem(IDC_VOLUME_LIST, hwnd);

    // The window has no caption: the title only shows on the taskbar button.
    SetWindowTextA(hwnd, kWindowTitle);

    const HINSTANCE module = ResourceInstance();
    bigIcon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    background_.reset(
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(IDB_MAIN_BACKGROUND), IMAGE_BITMAP, 0, 0, 0)));

    SetUpLists();
    SkinButtons();

    RefreshDriveTable();
    FillDriveLetterList(GetItem(IDC_DRIVE_LETTERS));

    // The size message of the window's creation came before this object was attached
    // to it: cut the first shape here.
    const RECT client = ClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);

    // The first discovery runs before the window is first shown.
    RefreshDevices();
    deviceSelected = 0;
    return true;
}

void MainDialog::SetUpLists()
{
    // Two identical 13-pixel Tahoma fonts, one per list, in the character set the
    // window's device context uses.
    BYTE charset = DEFAULT_CHARSET;
    ClientDC dc(hwnd);
    if (dc)
        charset = static_cast<BYTE>(GetTextCharset(dc.get()) & 0xFF);
    auto makeFont = [charset] {
        return GdiFont(CreateFontA(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
    };
    deviceFont_ = makeFont();
    volumeFont_ = makeFont();

    deviceListCtrl_.AttachScrollBars();
    volumeListCtrl_.AttachScrollBars();

    HWND devices = deviceListCtrl_.hwnd;
    SendMessageA(devices, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(devices, WM_SETFONT, reinterpret_cast<WPARAM>(deviceFont_.get()), TRUE);
    AddListColumn(devices, 0, "Name", 94);
    AddListColumn(devices, 1, "IP", 85);
    AddListColumn(devices, 2, "Netmask", 85);
    AddListColumn(devices, 3, "Gateway", 85);

    HWND volumes = volumeListCtrl_.hwnd;
    SendMessageA(volumes, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(volumes, WM_SETFONT, reinterpret_cast<WPARAM>(volumeFont_.get()), TRUE);
    AddListColumn(volumes, 0, "Volume Name", 120);
    AddListColumn(volumes, 1, "Location", 111);

    SendMessageA(devices, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    SendMessageA(volumes, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
}

void MainDialog::SkinButtons()
{
    for (const ButtonFaces& faces : kButtonFaces) {
        for (SkinButton& button : buttons_) {
            if (button.hwnd && GetDlgCtrlID(button.hwnd) == faces.id) {
                button.SetSkin(faces.first, faces.second, faces.second, faces.first, 0, 0, 0, 0, 0);
                break;
            }
        }
    }
}

bool MainDialog::OnCommand(int id, int code, HWND /*ctl*/)
{
    switch (id) {
    case IDC_REFRESH:
        RefreshDevices();
        return true;
    case IDC_APPLY:
        ApplyNetworkSettings();
        return true;
    case IDC_RECEIVE_DHCP:
        if (code == CBN_SELCHANGE)
            OnDhcpChoice();
        return true;
    case IDC_LAN_PORT:
        if (code == CBN_SELCHANGE)
            OnPortChoice();
        return true;
    case IDC_CONNECT:
        OnMapDrive();
        return true;
    case IDC_DISCONNECT:
        OnUnmapDrive();
        return true;
    case IDC_CONFIGURATION:
        OnOpenWebConfig();
        return true;
    case IDC_ABOUT:
        OnAbout();
        return true;
    case IDC_LANGUAGE:
        OnLanguage();
        return true;
    case IDC_BITTORRENT:
        OnBitTorrent();
        return true;
    case IDC_WIDGET:
        OnLaunchWidget();
        return true;
    case IDC_MINIMIZE:
        ShowWindow(hwnd, SW_MINIMIZE);
        return true;
    case IDC_CLOSE:
        OnCancel();
        return true;
    case IDC_EXIT:
        OnExit();
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnNotify(int id, NMHDR* header, LRESULT* result)
{
    if (id == IDC_DEVICE_LIST && header->code == NM_CLICK) {
        SelectDevice();
        *result = 0;
        return true;
    }
    return false;
}

void MainDialog::OnExit()
{
    ClearDevices();
    StopNetwork();
    DestroyWindow(hwnd);
}

void MainDialog::OnClose()
{
    StopNetwork();
    Dialog::OnClose();
}

HBRUSH MainDialog::OnCtlColor(HDC dc, HWND ctl, int kind)
{
    // The labels sit directly on the background picture.
    if (kind == CTLCOLOR_STATIC && IsStaticControl(ctl)) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    return nullptr;
}

bool MainDialog::OnEraseBkgnd(HDC dc)
{
    DefaultEraseBkgnd(dc);
    const SIZE picture = BitmapSize(background_.get());
    const RECT client = ClientRect();
    StretchBitmap(dc, 0, 0, client.right, client.bottom, background_.get(), 0, 0, picture.cx, picture.cy);
    return true;
}

LRESULT MainDialog::OnNcHitTest(int /*x*/, int /*y*/, LRESULT defaultResult)
{
    // The whole background is a handle to drag the captionless window by.
    return defaultResult == HTCLIENT ? HTCAPTION : defaultResult;
}

void MainDialog::OnSize(UINT /*type*/, int cx, int cy)
{
    // The window owns the region from here on.
    SetWindowRgn(hwnd, CreateMainWindowRegion(cx, cy), TRUE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool MainDialog::OnPaint()
{
    if (!IsIconic(hwnd))
        return false;
    PaintDC paint(hwnd);
    SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    const RECT client = ClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.get(), x, y, bigIcon_);
    return true;
}

HICON MainDialog::OnQueryDragIcon()
{
    return bigIcon_;
}

// Handlers completed by the LAN panel, drive mapping, web launcher, About box and
// add-on flows. Until then the buttons are wired and do nothing.
void MainDialog::ApplyNetworkSettings() {}
void MainDialog::OnPortChoice() {}
void MainDialog::OnMapDrive() {}
void MainDialog::OnUnmapDrive() {}
void MainDialog::OnOpenWebConfig() {}
void MainDialog::OnAbout() {}
void MainDialog::OnLanguage() {}
void MainDialog::OnBitTorrent() {}
void MainDialog::OnLaunchWidget() {}
