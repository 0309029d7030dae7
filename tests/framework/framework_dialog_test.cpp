// Dialog dispatch: ending with OK/Cancel, results through DWLP_MSGRESULT,
// reflection to child objects, the colour scheme and subclassing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "test_ids.h"
#include "test_support.h"

namespace {

class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(IDD_TEST_FRAMEWORK) {}

    bool OnInitDialog() override
    {
        ++inits;
        return Dialog::OnInitDialog();
    }
    void OnOK() override
    {
        calls.push_back("ok");
        Dialog::OnOK();
    }
    void OnCancel() override
    {
        calls.push_back("cancel");
        Dialog::OnCancel();
    }
    bool OnCommand(int id, int code, HWND) override
    {
        calls.push_back("command " + std::to_string(id) + "/" + std::to_string(code));
        return true;
    }
    bool OnNotify(int id, NMHDR* nm, LRESULT* result) override
    {
        if (nm->code != 0x7777)
            return false;
        calls.push_back("notify " + std::to_string(id));
        *result = 4321;
        return true;
    }
    LRESULT OnNcHitTest(int, int, LRESULT def) override { return def == HTCLIENT ? HTCAPTION : def; }
    void OnTimer(UINT_PTR id) override { calls.push_back("timer " + std::to_string(id)); }
    void OnSize(UINT, int cx, int cy) override
    {
        calls.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    void OnDestroy() override { calls.push_back("destroy"); }

    int inits = 0;
    std::vector<std::string> calls;
};

// A child control that takes reflected notifications and draw requests.
class ReflectingChild : public Window {
public:
    bool OnReflectedNotify(NMHDR* nm, LRESULT* result) override
    {
        if (nm->code != 0x7777)
            return false;
        ++notifies;
        *result = 99;
        return true;
    }
    bool OnReflectedDrawItem(DRAWITEMSTRUCT* dis) override
    {
        ++draws;
        lastDc = dis->hDC;
        FillSolidRect(dis->hDC, dis->rcItem, RGB(10, 200, 30));
        return true;
    }
    int notifies = 0;
    int draws = 0;
    HDC lastDc = nullptr;
};

LRESULT SendFakeNotify(HWND dialog, HWND from, int id)
{
    NMHDR nm = {};
    nm.hwndFrom = from;
    nm.idFrom = static_cast<UINT_PTR>(id);
    nm.code = 0x7777;
    return SendMessageA(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&nm));
}

TEST(DialogTest, OkCancelAndCloseEndTheDialogTheStandardWay)
{
    struct Case {
        const char* name;
        void (*act)(HWND);
        INT_PTR expected;
        const char* call;
    } cases[] = {
        {"OK button", [](HWND d) { SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, IDOK, "ok"},
        {"Cancel button", [](HWND d) { SendMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL, "cancel"},
        {"close box", [](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL, "cancel"},
        {"system close",
         [](HWND d) {
             SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
             PumpMessages();
         },
         IDCANCEL, "cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dlg;
        HWND h = dlg.CreateModeless(nullptr);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(dlg.inits, 1);
        EXPECT_EQ(Window::FromHandle(h), &dlg);
        c.act(h);
        EXPECT_TRUE(dlg.HasEnded());
        EXPECT_EQ(dlg.Result(), c.expected);
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(dlg.hwnd, nullptr);
        ASSERT_FALSE(dlg.calls.empty());
        EXPECT_EQ(dlg.calls.front(), c.call);
        EXPECT_EQ(dlg.calls.back(), "destroy");
    }
}

TEST(DialogTest, CommandsOtherThanOkAndCancelReachOnCommand)
{
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    SendMessageA(GetDlgItem(h, IDC_TEST_PLAIN), BM_CLICK, 0, 0);
    // A non-click notification carrying the IDOK id is not an OK.
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(h, IDOK)));
    ASSERT_EQ(dlg.calls.size(), 2u);
    EXPECT_EQ(dlg.calls[0], "command 101/0");
    EXPECT_EQ(dlg.calls[1], "command 1/6");
    EXPECT_FALSE(dlg.HasEnded());
}

TEST(DialogTest, ModalEnterAndEscapeEndTheLoopWithOkAndCancel)
{
    class KeyDialog : public Dialog {
    public:
        explicit KeyDialog(WPARAM key) : Dialog(IDD_TEST_FRAMEWORK), key_(key) {}
        bool OnInitDialog() override
        {
            // Pressed once the modal loop runs, on the control with the focus.
            PostMessageA(GetItem(IDC_TEST_EDIT), WM_KEYDOWN, key_, 0);
            SetFocus(GetItem(IDC_TEST_EDIT));
            return false;
        }
        void OnOK() override
        {
            sawOk = true;
            Dialog::OnOK();
        }
        bool sawOk = false;

    private:
        WPARAM key_;
    };
    KeyDialog enter(VK_RETURN);
    EXPECT_EQ(enter.DoModal(), IDOK);
    EXPECT_TRUE(enter.sawOk);
    EXPECT_EQ(enter.hwnd, nullptr);
    KeyDialog escape(VK_ESCAPE);
    EXPECT_EQ(escape.DoModal(), IDCANCEL);
    EXPECT_FALSE(escape.sawOk);
}

TEST(DialogTest, ModalDialogWithoutParentIsOwnedByTheMainWindow)
{
    class OwnerProbe : public Dialog {
    public:
        OwnerProbe() : Dialog(IDD_TEST_FRAMEWORK) {}
        bool OnInitDialog() override
        {
            owner = GetWindow(hwnd, GW_OWNER);
            EndDialog(77);
            return true;
        }
        HWND owner = nullptr;
    };
    class ProbeApp : public Application {
    public:
        bool InitInstance() override
        {
            TestDialog main;
            mainWindow = &main;
            main.CreateModeless(nullptr);
            OwnerProbe probe;
            result = probe.DoModal();
            owner = probe.owner;
            mainHwnd = main.hwnd;
            mainWindow = nullptr;
            return false;
        }
        INT_PTR result = 0;
        HWND owner = nullptr;
        HWND mainHwnd = nullptr;
    } app;
    EXPECT_EQ(RunApplication(app, GetModuleHandleA(nullptr)), 0);
    EXPECT_EQ(app.result, 77);
    EXPECT_NE(app.mainHwnd, nullptr);
    EXPECT_EQ(app.owner, app.mainHwnd);
    EXPECT_EQ(GetApplication(), nullptr);
}

TEST(DialogTest, ResultsOfNotifyAndHitTestComeBackThroughTheDialogProcedure)
{
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    SetWindowPos(h, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(SendFakeNotify(h, GetDlgItem(h, IDC_TEST_PLAIN), IDC_TEST_PLAIN), 4321);

    RECT client;
    GetClientRect(h, &client);
    POINT inside = {client.right / 2, client.bottom - 3};
    ClientToScreen(h, &inside);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCAPTION);
    RECT win;
    GetWindowRect(h, &win);
    // The caption bar keeps its own answer.
    LRESULT onCaption = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(win.left + 40, win.top + 8));
    EXPECT_EQ(onCaption, HTCAPTION);
    LRESULT outside = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(win.right + 5, win.top + 8));
    EXPECT_EQ(outside, HTNOWHERE);

    SendMessageA(h, WM_TIMER, 5, 0);
    SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_GE(dlg.calls.size(), 3u);
    EXPECT_EQ(dlg.calls[0], "notify 101");
    EXPECT_EQ(dlg.calls[1], "timer 5");
    GetClientRect(h, &client);
    EXPECT_EQ(dlg.calls.back(), "size " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
}

TEST(DialogTest, ChildObjectsGetTheirNotificationsAndDrawRequestsFirst)
{
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    ReflectingChild child;
    ASSERT_TRUE(child.SubclassDlgItem(IDC_TEST_OWNERDRAW, h));
    EXPECT_EQ(SendFakeNotify(h, child.hwnd, IDC_TEST_OWNERDRAW), 99);
    EXPECT_EQ(child.notifies, 1);
    EXPECT_TRUE(dlg.calls.empty()) << "the dialog saw a notification its child handled";

    // A real owner-draw button asks its parent to draw it; the child does.
    Capture shot(child.hwnd);
    ASSERT_TRUE(shot.ok());
    EXPECT_GE(child.draws, 1);
    EXPECT_EQ(shot.At(shot.width() / 2, shot.height() / 2), RGB(10, 200, 30));

    // Notifications of controls without an object go to the dialog.
    EXPECT_EQ(SendFakeNotify(h, GetDlgItem(h, IDC_TEST_PLAIN), IDC_TEST_PLAIN), 4321);
}

TEST(DialogTest, ColourSchemeCoversDialogStaticsAndButtonsOnly)
{
    SetDialogBkColor(RGB(255, 255, 255), RGB(12, 34, 56));
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    ClientDC dc(h);
    auto ask = [&](UINT msg, int id) {
        SetTextColor(dc.get(), RGB(0, 0, 0));
        HWND ctl = id ? GetDlgItem(h, id) : h;
        return reinterpret_cast<HBRUSH>(
            SendMessageA(h, msg, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(ctl)));
    };
    HBRUSH dlgBrush = ask(WM_CTLCOLORDLG, 0);
    ASSERT_NE(dlgBrush, nullptr);
    EXPECT_EQ(GetTextColor(dc.get()), RGB(12, 34, 56));
    LOGBRUSH lb = {};
    GetObjectA(dlgBrush, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, IDC_TEST_STATIC), dlgBrush);
    EXPECT_EQ(GetBkColor(dc.get()), RGB(255, 255, 255));
    EXPECT_EQ(ask(WM_CTLCOLORBTN, IDC_TEST_PLAIN), dlgBrush);

    // An edit asks as a static when read-only; it keeps the system colours.
    EXPECT_NE(ask(WM_CTLCOLORSTATIC, IDC_TEST_EDIT), dlgBrush);
    EXPECT_NE(GetTextColor(dc.get()), RGB(12, 34, 56));
    EXPECT_NE(ask(WM_CTLCOLOREDIT, IDC_TEST_EDIT), dlgBrush);
    EXPECT_NE(GetTextColor(dc.get()), RGB(12, 34, 56));

    // The default erase paints the scheme's background.
    Capture shot(h);
    EXPECT_EQ(shot.At(shot.width() - 3, shot.height() - 3), RGB(255, 255, 255));
    ResetDialogBkColor();
    EXPECT_NE(ask(WM_CTLCOLORDLG, 0), dlgBrush);
}

TEST(DialogTest, OwnColourHandlerWinsOverTheScheme)
{
    class Colours : public TestDialog {
    public:
        HBRUSH OnCtlColor(HDC dc, HWND, int kind) override
        {
            if (kind != CTLCOLOR_STATIC)
                return nullptr;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 255, 255));
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        }
    } dlg;
    SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    ClientDC dc(h);
    HBRUSH b = reinterpret_cast<HBRUSH>(SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                                     reinterpret_cast<LPARAM>(GetDlgItem(h, IDC_TEST_STATIC))));
    EXPECT_EQ(b, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
    ResetDialogBkColor();
}

TEST(WindowTest, SubclassingRoutesMessagesAndUndoesCleanly)
{
    class CountingEdit : public Window {
    public:
        void PreSubclassWindow() override { sawHandle = hwnd; }
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
        {
            if (msg == WM_SETTEXT)
                ++setTexts;
            if (msg == WM_GETTEXTLENGTH && fakeLength)
                return 42;
            return DefaultProc(msg, wp, lp);
        }
        HWND sawHandle = nullptr;
        int setTexts = 0;
        bool fakeLength = false;
    };
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    HWND edit = GetDlgItem(h, IDC_TEST_EDIT);
    LONG_PTR originalProc = GetWindowLongPtrA(edit, GWLP_WNDPROC);

    CountingEdit counter;
    ASSERT_TRUE(counter.SubclassDlgItem(IDC_TEST_EDIT, h));
    EXPECT_EQ(counter.sawHandle, edit);
    EXPECT_EQ(Window::FromHandle(edit), &counter);
    CountingEdit second;
    EXPECT_FALSE(second.SubclassWindow(edit)) << "a window belongs to one object";
    EXPECT_FALSE(counter.SubclassDlgItem(IDC_TEST_PLAIN, h)) << "an object holds one window";

    SetWindowTextA(edit, "abc");
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc") << "the original procedure still does the work";
    EXPECT_EQ(counter.setTexts, 1);
    counter.fakeLength = true;
    EXPECT_EQ(GetWindowTextLengthA(edit), 42);

    EXPECT_EQ(counter.UnsubclassWindow(), edit);
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), originalProc);
    EXPECT_EQ(Window::FromHandle(edit), nullptr);
    EXPECT_EQ(counter.hwnd, nullptr);
    SetWindowTextA(edit, "def");
    EXPECT_EQ(counter.setTexts, 1);
    EXPECT_EQ(GetWindowTextLengthA(edit), 3);

    // Destroying the window lets go of the object.
    ASSERT_TRUE(second.SubclassWindow(edit));
    DestroyWindow(edit);
    EXPECT_EQ(second.hwnd, nullptr);
    EXPECT_FALSE(second.IsSubclassed());
}

WNDPROC chainedProc = nullptr;
LRESULT CALLBACK ForeignSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return CallWindowProcA(chainedProc, w, m, wp, lp);
}

TEST(WindowTest, ObjectDestroyedBeforeItsWindowLeavesAWorkingWindow)
{
    TestDialog dlg;
    HWND h = dlg.CreateModeless(nullptr);
    ASSERT_NE(h, nullptr);
    HWND edit = GetDlgItem(h, IDC_TEST_EDIT);
    {
        Window ours;
        ASSERT_TRUE(ours.SubclassWindow(edit));
        // Someone else subclasses on top of us; our object then goes away first.
        chainedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass)));
    }
    SetWindowTextA(edit, "still");
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "still");
    EXPECT_EQ(Window::FromHandle(edit), nullptr);
    // Our procedure is still in the chain: a second entry would call itself.
    Window again;
    EXPECT_FALSE(again.SubclassWindow(edit));
    SetWindowTextA(edit, "again");
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "again");
}

}  // namespace
