#include "main_dialog.h"

#include <commctrl.h>

#include "app/about_box.h"
#include "app/receive_failure_notice.h"
#include "app/window_shape.h"
#include "framework/application.h"
#include "framework/busy.h"
#include "protocol.h"
#include "resource.h"

namespace {

constexpr char kWindowTitle[] = "Kavron Storage Utility";

HICON LoadAppIcon(int sizeMetricX, int sizeMetricY)
{
    return static_cast<HICON>(LoadImageA(ResourceInstance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY), 0));
}

}  // namespace

MainDialog::MainDialog() : SkinnedDialog(IDD_MAIN) {}

MainDialog::~MainDialog()
{
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

bool MainDialog::OnInitDialog()
{
    SkinnedDialog::OnInitDialog();
    devices_.Bind(hwnd);
    lan_.Bind(hwnd);
    drives_.Bind(hwnd);

    // The window has no caption: the title only shows on the taskbar button.
    SetWindowTextA(hwnd, kWindowTitle);
    bigIcon_ = LoadAppIcon(SM_CXICON, SM_CYICON);
    smallIcon_ = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    drives_.RebuildDriveLetters();

    // The size message of the window's creation came before this object was attached
    // to it: cut the first shape here.
    const RECT client = ClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);

    // The window shows before the first discovery, whose wait runs off the thread: the
    // list fills when it ends. It leaves no device selected.
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    RefreshDevices();
    // An address that could not be opened leaves devices out of that list: say so once,
    // over the window rather than before it appears.
    PostMessageA(hwnd, kReportReceiveFailures, 0, 0);
    return true;
}

bool MainDialog::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result)
{
    if (msg != kReportReceiveFailures)
        return false;
    *result = 0;
    // The failures are the protocol's records: read them when no step runs.
    if (IsBusy()) {
        PostWhenIdle(hwnd, msg);
        return true;
    }
    ++flows_;
    ReportReceiveFailures(hwnd);
    EndFlow();
    return true;
}

bool MainDialog::DeferEnd(UINT msg, WPARAM wParam)
{
    if (flows_ == 0)
        return false;
    if (!pendingEnd_) {
        pendingEnd_ = msg;
        pendingEndParam_ = wParam;
    }
    return true;
}

void MainDialog::EndFlow()
{
    if (--flows_ > 0 || !pendingEnd_)
        return;
    PostMessageA(hwnd, pendingEnd_, pendingEndParam_, 0);
    pendingEnd_ = 0;
}

bool MainDialog::OnCommand(int id, int code, HWND /*ctl*/)
{
    // Ending the window is no flow of its own: it waits for the one that runs, if any.
    if (code == BN_CLICKED && (id == IDC_EXIT || id == IDC_CLOSE)) {
        if (id == IDC_EXIT)
            OnExit();
        else
            OnCancel();
        return true;
    }
    ++flows_;
    const bool handled = Dispatch(id, code);
    EndFlow();
    return handled;
}

bool MainDialog::Dispatch(int id, int code)
{
    // The boxes report their selection changes; every button acts on its click
    // only, never on the focus or double-click notifications it may also send.
    if (id == IDC_RECEIVE_DHCP) {
        if (code == CBN_SELCHANGE)
            lan_.OnDhcpChoice();
        return true;
    }
    if (id == IDC_LAN_PORT) {
        if (code == CBN_SELCHANGE)
            OnPortChoice();
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_REFRESH:
        RefreshDevices();
        return true;
    case IDC_CONFIGURATION:
        OnOpenWebConfig();
        return true;
    case IDC_APPLY:
        ApplyNetworkSettings();
        return true;
    case IDC_CONNECT:
        OnMapDrive();
        return true;
    case IDC_DISCONNECT:
        OnUnmapDrive();
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
    case IDC_ABOUT:
        OnAbout();
        return true;
    case IDC_MINIMIZE:
        ShowWindow(hwnd, SW_MINIMIZE);
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnNotify(int id, NMHDR* header, LRESULT* result)
{
    if (id == IDC_DEVICE_LIST && header->code == NM_CLICK) {
        ++flows_;
        SelectDevice();
        EndFlow();
        *result = 0;
        return true;
    }
    return false;
}

void MainDialog::OnAbout()
{
    ShowAboutBox(hwnd);
}

void MainDialog::OnExit()
{
    if (DeferEnd(WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED)))
        return;
    ClearDevices();
    StopNetwork();
    DestroyWindow(hwnd);
}

void MainDialog::OnClose()
{
    if (DeferEnd(WM_CLOSE, 0))
        return;
    StopNetwork();
    Dialog::OnClose();
}

void MainDialog::OnCancel()
{
    // Escape and the skin's close button.
    if (DeferEnd(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)))
        return;
    Dialog::OnCancel();
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
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()));
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
