#include "windows_preview.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "res/resource.h"
#include "res/skin_table.h"
#include "skin/skin_progress_ctrl.h"
#include "skin/skinned_dialog.h"

namespace {

// Every window is shown through the same base the utility's small dialogs use, so
// the preview paints exactly what they paint. The main window's lists get their
// columns, so that the headers show; the restart wait's bar is half full.
class PreviewDialog : public SkinnedDialog {
public:
    PreviewDialog(int dialog, bool pressed) : SkinnedDialog(dialog), pressed_(pressed) {}

    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        for (const ButtonSkin& row : kButtonSkins) {
            SkinButton* button = row.dialog == TemplateId() ? SkinnedButton(row.control) : nullptr;
            if (button && pressed_)
                button->Send(BM_SETSTATE, TRUE);
        }
        if (TemplateId() == IDD_RESTART_PROGRESS && bar_.SubclassDlgItem(IDC_RESTART_PROGRESS, hwnd)) {
            bar_.SetRange(1, 100);
            bar_.SetPos(50);
        }
        if (TemplateId() == IDD_MAIN) {
            const ListCtrl devices(GetItem(IDC_DEVICE_LIST));
            const char* deviceHeads[] = {"Name", "IP", "Netmask", "Gateway"};
            const int deviceWidths[] = {94, 85, 85, 85};
            for (int i = 0; i < 4; ++i)
                devices.InsertColumn(i, deviceHeads[i], LVCFMT_LEFT, deviceWidths[i]);
            const ListCtrl volumes(GetItem(IDC_VOLUME_LIST));
            volumes.InsertColumn(0, "Volume Name", LVCFMT_LEFT, 120);
            volumes.InsertColumn(1, "Location", LVCFMT_LEFT, 111);
        }
        return true;
    }
    void OnTimer(UINT_PTR) override { PostQuitMessage(0); }

private:
    bool pressed_;
    SkinProgressCtrl bar_;
};

bool WriteBmp(const char* path, HBITMAP section, int w, int h)
{
    const int stride = (w * 3 + 3) & ~3;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<char> bits(static_cast<size_t>(stride) * h);
    ClientDC screen(nullptr);
    const int rows = GetDIBits(screen.get(), section, 0, h, bits.data(), &info, DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = std::fopen(path, "wb");
    bool ok = f && rows == h;
    if (f) {
        ok = ok && std::fwrite(&file, sizeof file, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits.data(), bits.size(), 1, f) == 1;
        std::fclose(f);
    }
    return ok;
}

}  // namespace

int ShowWindowsPreview(bool pressed, int only)
{
    // The main window at the top left, the dialogs in rows beside and below it.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    int x = 0, y = 0, rowH = 0, mainBottom = 0, mainRight = 0;
    std::vector<std::unique_ptr<PreviewDialog>> dialogs;
    for (const WindowSkin& skin : kWindowSkins) {
        if (only != 0 && skin.dialog != only)
            continue;
        auto dialog = std::make_unique<PreviewDialog>(skin.dialog, pressed);
        if (!dialog->CreateModeless(nullptr))
            continue;
        const RECT r = dialog->WindowRect();
        const int width = r.right - r.left, height = r.bottom - r.top;
        if (skin.dialog == IDD_MAIN) {
            mainRight = width + 8;
            mainBottom = height + 8;
            x = mainRight;
        } else if (x + width > screenW) {
            y += rowH + 4;
            x = y < mainBottom ? mainRight : 0;
            rowH = 0;
        }
        const bool main = skin.dialog == IDD_MAIN;
        SetWindowPos(dialog->hwnd, nullptr, main ? 0 : x, main ? 0 : y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(dialog->hwnd, SW_SHOWNOACTIVATE);
        if (!main) {
            x += width + 4;
            rowH = std::max(rowH, height);
        }
        dialogs.push_back(std::move(dialog));
    }
    if (dialogs.empty())
        return 1;
    SetTimer(dialogs.front()->hwnd, 1, 10000, nullptr);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}

int DumpWindowBackgrounds()
{
    int failures = 0;
    for (const WindowSkin& skin : kWindowSkins) {
        if (skin.fit != BackgroundFit::kStretched)
            continue;
        PreviewDialog dialog(skin.dialog, false);
        if (!dialog.CreateModeless(nullptr)) {
            ++failures;
            continue;
        }
        const RECT client = dialog.ClientRect();
        ClientDC screen(nullptr);
        GdiBitmap target(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
        {
            MemoryDC dc(screen.get());
            SelectObjectGuard select(dc.get(), target.get());
            dialog.Send(WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_ERASEBKGND);
        }
        char path[64];
        std::snprintf(path, sizeof path, "%d-on-%d.bmp", skin.background, skin.dialog);
        if (!WriteBmp(path, target.get(), client.right, client.bottom))
            ++failures;
        std::printf("%s %ld x %ld\n", path, client.right, client.bottom);
        DestroyWindow(dialog.hwnd);
    }
    return failures;
}
