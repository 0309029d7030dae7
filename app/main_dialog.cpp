#include "main_dialog.h"

#include <commctrl.h>

#include "app/about_box.h"
#include "app/receive_failure_notice.h"
#include "app/window_shape.h"
#include "framework/application.h"
#include "framework/busy.h"
#include "framework/dpi.h"
#include "protocol.h"
#include "res/resource.h"

namespace {

constexpr char kWindowTitle[] = "Kavron Storage Utility";

// The icon's image of the size the system wants at the window's dpi.
HICON LoadAppIcon(int sizeMetricX, int sizeMetricY, UINT dpi)
{
    return static_cast<HICON>(LoadImageA(ResourceInstance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                         SystemMetricForDpi(sizeMetricX, dpi), SystemMetricForDpi(sizeMetricY, dpi),
                                         0));
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
    SetIconsForDpi();

    drives_.RebuildDriveLetters();
    // A click on Exit or the close button during a wait is held as the close box's is,
    // not thrown away with the rest of the input.
    KeepInputDuringSteps(GetItem(IDC_EXIT));
    KeepInputDuringSteps(GetItem(IDC_CLOSE));

    // The size message of the window's creation came before this object was attached
    // to it: cut the first shape here.
    const RECT client = ClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);

    // The window shows before the first discovery, whose wait runs off the thread: the
    // list fills when it ends. It leaves no device selected.
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    // The keyboard starts in the device list, not on the first control in reading
    // order (the window's minimize button).
    devices_.Focus();
    RefreshDevices();
    // An address that could not be opened leaves devices out of that list: say so once,
    // over the window rather than before it appears.
    PostMessageA(hwnd, kReportReceiveFailures, 0, 0);
    return false;
}

void MainDialog::SetIconsForDpi()
{
    HICON big = LoadAppIcon(SM_CXICON, SM_CYICON, Dpi());
    HICON small = LoadAppIcon(SM_CXSMICON, SM_CYSMICON, Dpi());
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
    bigIcon_ = big;
    smallIcon_ = small;
}

void MainDialog::OnDpiChanged(UINT dpi, const RECT* suggested)
{
    // The layout, the background, the faces, the lists and (through the size change)
    // the outline follow in the base; the icons are the window's own.
    SkinnedDialog::OnDpiChanged(dpi, suggested);
    SetIconsForDpi();
}

INT_PTR MainDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const FlowArrival arrival = ArrivalOf(msg, wParam, lParam);
    if (arrival == FlowArrival::kNone)
        return SkinnedDialog::DialogProc(msg, wParam, lParam);
    if (flowRuns_ || IsBusy()) {
        Hold(arrival, msg, wParam, lParam);
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    // The window's end is no flow: it ends everything.
    if (arrival == FlowArrival::kEnd)
        return SkinnedDialog::DialogProc(msg, wParam, lParam);
    flowRuns_ = true;
    const INT_PTR result = SkinnedDialog::DialogProc(msg, wParam, lParam);
    EndFlow();
    return result;
}

MainDialog::FlowArrival MainDialog::ArrivalOf(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg) {
    case WM_INITDIALOG:  // the first discovery
        return FlowArrival::kStart;
    case WM_CLOSE:  // the close box, Alt+F4, the system menu, the taskbar, another program
        return FlowArrival::kEnd;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == BN_CLICKED)
            return id == IDC_EXIT || id == IDC_CLOSE ? FlowArrival::kEnd : FlowArrival::kStart;
        return code == CBN_SELCHANGE ? FlowArrival::kCatchUp : FlowArrival::kNone;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && header->idFrom == IDC_DEVICE_LIST && header->code == NM_CLICK ? FlowArrival::kCatchUp
                                                                                       : FlowArrival::kNone;
    }
    case kReportReceiveFailures:
    case kListSelection:
        return FlowArrival::kCatchUp;
    default:
        return FlowArrival::kNone;
    }
}

void MainDialog::Hold(FlowArrival arrival, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (arrival == FlowArrival::kStart)
        return;
    Held later{msg, wParam, lParam};
    if (arrival == FlowArrival::kEnd)
        later = {WM_CLOSE, 0, 0};
    else if (msg == WM_NOTIFY)
        later = {kListSelection, 0, 0};  // the list may show another row than the panels now
    if (!flowRuns_) {
        // A step that no flow of this window started.
        PostWhenIdle(hwnd, later.msg, later.wParam, later.lParam);
        return;
    }
    for (const Held& h : held_) {
        if (h.msg == later.msg && h.wParam == later.wParam)
            return;
    }
    held_.push_back(later);
}

void MainDialog::EndFlow()
{
    flowRuns_ = false;
    std::vector<Held> held;
    held.swap(held_);
    if (!hwnd)
        return;
    for (const Held& h : held)
        PostMessageA(hwnd, h.msg, h.wParam, h.lParam);
}

bool MainDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result)
{
    switch (msg) {
    case kReportReceiveFailures:
        ReportReceiveFailures(hwnd);
        break;
    case kListSelection:
        OnListSelection();
        break;
    case WM_ENDSESSION:
        if (wParam)
            OnSessionEnd();
        break;
    default:
        return false;
    }
    *result = 0;
    return true;
}

bool MainDialog::OnCommand(int id, int code, HWND /*ctl*/)
{
    // The skin's close button ends the window as Exit does.
    if (code == BN_CLICKED && (id == IDC_EXIT || id == IDC_CLOSE)) {
        OnExit();
        return true;
    }
    return Dispatch(id, code);
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
        SelectDevice();
        *result = 0;
        return true;
    }
    if (id == IDC_DEVICE_LIST && header->code == LVN_KEYDOWN) {
        // The list tells of the key before it acts on it. A click's selection comes
        // with NM_CLICK, and a program's own selection with nothing: only the
        // keyboard's is looked at, after the list has handled the key.
        PostMessageA(hwnd, kListSelection, 0, 0);
        *result = 0;
        return true;
    }
    return false;
}

void MainDialog::OnListSelection()
{
    if (devices_.ShowsAnotherRow())
        SelectDevice();
}

void MainDialog::OnAbout()
{
    ShowAboutBox(hwnd);
}

void MainDialog::OnExit()
{
    ClearDevices();
    StopNetwork();
    DestroyWindow(hwnd);
}

void MainDialog::OnClose()
{
    // Alt+F4 and the system menu's Close end the window as Exit does.
    OnExit();
}

void MainDialog::OnSessionEnd()
{
    // The process may end as soon as this returns, or (the restart manager's
    // ENDSESSION_CLOSEAPP) is expected to end by itself: the records are the running
    // step's until it returns, then the network stops, no step starts any more, and
    // the window ends once the flow that runs, if any, is over.
    WaitForStep();
    RefuseSteps();
    ClearDevices();
    StopNetwork();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void MainDialog::OnDestroy()
{
    KeepInputDuringSteps(GetItem(IDC_EXIT), false);
    KeepInputDuringSteps(GetItem(IDC_CLOSE), false);
}

LRESULT MainDialog::OnNcHitTest(int /*x*/, int /*y*/, LRESULT defaultResult)
{
    // The whole background is a handle to drag the captionless window by.
    return defaultResult == HTCLIENT ? HTCAPTION : defaultResult;
}

void MainDialog::OnSize(UINT /*type*/, int cx, int cy)
{
    // The window owns the region from here on.
    SetWindowRgn(hwnd, CreateMainWindowRegion(cx, cy, Dpi()), TRUE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool MainDialog::OnPaint()
{
    if (!IsIconic(hwnd))
        return false;
    PaintDC paint(hwnd);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()));
    const RECT client = ClientRect();
    const int x = (client.right - SystemMetricForDpi(SM_CXICON, Dpi()) + 1) / 2;
    const int y = (client.bottom - SystemMetricForDpi(SM_CYICON, Dpi()) + 1) / 2;
    DrawIcon(paint.get(), x, y, bigIcon_);
    return true;
}

HICON MainDialog::OnQueryDragIcon()
{
    return bigIcon_;
}
