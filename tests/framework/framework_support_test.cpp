// The message box seam, threads, registry keys and bitmap helpers.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/dlg_init.h"
#include "framework/gdi.h"
#include "framework/message_box.h"
#include "message_box_recorder.h"
#include "framework/registry.h"
#include "framework/thread.h"
#include "test_ids.h"
#include "test_support.h"

namespace {

TEST(MessageBoxTest, RecorderSeesEveryMessageWithDefaultsFilledIn)
{
    class App : public Application {
    public:
        bool InitInstance() override
        {
            Dialog main(IDD_TEST_FRAMEWORK);
            main.CreateModeless(nullptr);
            mainWindow = &main;
            mainHwnd = main.hwnd;
            MessageBoxRecorder recorder(IDRETRY);
            answers[0] = ShowMessageBox(nullptr, "Please select a device.", "Error", MB_OK | MB_ICONHAND);
            answers[1] = ShowMessageBox(nullptr, "This device supports Unicode.", nullptr, MB_OK);
            HWND other = GetDlgItem(main.hwnd, IDC_TEST_PLAIN);
            answers[2] = ShowMessageBox(other, "x", "Confirm", MB_OK | MB_ICONINFORMATION);
            seen = recorder.messages;
            mainWindow = nullptr;
            return false;
        }
        HWND mainHwnd = nullptr;
        int answers[3] = {};
        std::vector<RecordedMessageBox> seen;
    } app;
    RunApplication(app, GetModuleHandleA(nullptr));
    ASSERT_EQ(app.seen.size(), 3u);
    EXPECT_EQ(app.answers[0], IDRETRY);
    EXPECT_EQ(app.seen[0].owner, app.mainHwnd);
    EXPECT_EQ(app.seen[0].caption, "Error");
    EXPECT_EQ(app.seen[0].text, "Please select a device.");
    EXPECT_EQ(app.seen[0].icon(), static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(app.seen[0].buttons(), static_cast<UINT>(MB_OK));
    // Without a caption the program's name is used, like the system's default.
    EXPECT_EQ(app.seen[1].caption, "framework_tests");
    EXPECT_EQ(app.seen[1].icon(), 0u);
    EXPECT_NE(app.seen[2].owner, app.mainHwnd);
    EXPECT_EQ(app.seen[2].icon(), static_cast<UINT>(MB_ICONINFORMATION));
}

TEST(MessageBoxTest, RecordersNestAndRestoreThePreviousHook)
{
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner(IDCANCEL);
        EXPECT_EQ(ShowMessageBox(nullptr, "a", "b", MB_OK), IDCANCEL);
        EXPECT_EQ(inner.messages.size(), 1u);
    }
    EXPECT_EQ(ShowMessageBox(nullptr, "c", "d", MB_OK), IDOK);
    ASSERT_EQ(outer.messages.size(), 1u);
    EXPECT_EQ(outer.messages[0].text, "c");
    EXPECT_EQ(outer.messages[0].owner, nullptr) << "no application, no main window";
}

unsigned Worker(void* p)
{
    auto* counter = static_cast<std::atomic<int>*>(p);
    counter->fetch_add(1);
    Sleep(20);
    counter->fetch_add(10);
    return 7;
}

TEST(ThreadTest, StartThreadRunsTheFunctionWithItsParameterAtOnce)
{
    std::atomic<int> counter{0};
    Thread t = StartThread(&Worker, &counter);
    ASSERT_TRUE(t);
    EXPECT_TRUE(t.Wait(5000));
    EXPECT_EQ(counter.load(), 11);
    DWORD code = 0;
    GetExitCodeThread(t.handle(), &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(GetThreadPriority(t.handle()), THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(StartThread(nullptr, nullptr));
}

TEST(RegKeyTest, StringsAndNumbersRoundTripAndLongValuesAreCut)
{
    const char* path = "Software\\KavronFrameworkTest";
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    EXPECT_EQ(key.SetString("", "default value"), ERROR_SUCCESS);
    EXPECT_EQ(key.SetString("name", "0123456789"), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDword("count", 42), ERROR_SUCCESS);
    key.Close();
    EXPECT_FALSE(key.IsOpen());

    RegKey reader;
    ASSERT_EQ(reader.Open(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    std::string s;
    EXPECT_EQ(reader.QueryString(nullptr, &s), ERROR_SUCCESS);
    EXPECT_EQ(s, "default value");
    char small[5];
    EXPECT_EQ(reader.QueryString("name", small, sizeof small), ERROR_MORE_DATA);
    EXPECT_STREQ(small, "0123");
    char exact[11];
    EXPECT_EQ(reader.QueryString("name", exact, sizeof exact), ERROR_SUCCESS);
    EXPECT_STREQ(exact, "0123456789");
    DWORD n = 0;
    EXPECT_EQ(reader.QueryDword("count", &n), ERROR_SUCCESS);
    EXPECT_EQ(n, 42u);
    EXPECT_EQ(reader.QueryString("count", &s), ERROR_INVALID_DATA) << "a number is not a string";
    EXPECT_EQ(reader.QueryString("missing", small, sizeof small), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(small, "");
    reader.Close();
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    EXPECT_NE(reader.Open(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

TEST(DlgInitTest, RecordsFillTheBoxesAndBrokenDataStopsWithoutOverreading)
{
    Dialog dlg(IDD_TEST_FRAMEWORK);
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    ComboBox combo(dlg.GetItem(IDC_TEST_COMBO));
    HINSTANCE module = GetModuleHandleA(nullptr);

    // Creating the dialog applies its data once, before OnInitDialog.
    ASSERT_EQ(combo.GetCount(), 2);
    combo.ResetContent();
    EXPECT_TRUE(ExecuteDlgInit(dlg.hwnd, module, IDD_TEST_FRAMEWORK));
    ASSERT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetItemText(0), "Disable");
    EXPECT_EQ(combo.GetItemText(1), "Enable");

    combo.ResetContent();
    EXPECT_FALSE(ExecuteDlgInit(dlg.hwnd, module, IDD_TEST_BAD_INIT));
    ASSERT_EQ(combo.GetCount(), 1) << "records before the broken one still count";
    EXPECT_EQ(combo.GetItemText(0), "first");

    combo.ResetContent();
    EXPECT_FALSE(ExecuteDlgInit(dlg.hwnd, module, IDD_TEST_UNTERMINATED_INIT));
    EXPECT_EQ(combo.GetCount(), 0);

    EXPECT_TRUE(ExecuteDlgInit(dlg.hwnd, module, 4711)) << "a dialog without data";
}

TEST(GdiTest, MissingBitmapResourceGivesNoBitmapAndDrawingItFails)
{
    GdiBitmap none = LoadBitmapResource(4711);
    EXPECT_FALSE(none);
    EXPECT_EQ(BitmapSize(none.get()).cx, 0);
    MemoryDC dc;
    EXPECT_FALSE(DrawBitmap(dc.get(), 0, 0, 4, 4, none.get()));
}

TEST(GdiTest, BackBufferCopiesItsPictureInOneStep)
{
    HDC screen = GetDC(nullptr);
    BackBuffer buffer(screen, 8, 6);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(buffer);
    RECT all = {0, 0, 8, 6};
    FillSolidRect(buffer.dc(), all, RGB(200, 10, 10));
    RECT corner = {6, 4, 8, 6};
    FillSolidRect(buffer.dc(), corner, RGB(0, 0, 255));

    MemoryDC target;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 10;
    bi.bmiHeader.biHeight = -10;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectObjectGuard sel(target.get(), dib.get());
    ASSERT_TRUE(buffer.CopyTo(target.get(), 1, 1));
    EXPECT_EQ(GetPixel(target.get(), 1, 1), RGB(200, 10, 10));
    EXPECT_EQ(GetPixel(target.get(), 8, 6), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target.get(), 9, 9), RGB(0, 0, 0)) << "nothing outside the buffer";
}

}  // namespace
