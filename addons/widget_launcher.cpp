#include "addons/widget_launcher.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/message_box.h"
#include "framework/seam.h"
#include "framework/windows_programs.h"
#include "res/resource.h"
#include "skin/skinned_dialog.h"

int engineAnswer;
int modelAnswer;

namespace {

constexpr char kAddressFile[] = "C:\\ip.txt";
// Where a user without the engine can get it.
constexpr char kEngineDownload[] = "http://widgets.kavron.example/download/";

Seam<WidgetSystem> widgetSystem{{WinExec, ShellExecuteA}};

struct ModelWidget {
    const char* model;
    const char* file;
};
const ModelWidget kWidgets[] = {
    {"ZKM-120", "KAVRNEu_ZKM120_Widget.widget"},
    {"ZKM-140", "KAVRNEu_ZKM140_Widget.widget"},
    {"ZKM-110", "KAVRNEu_ZKM110_Widget.widget"},
    {"ZKM-130", "KAVRNEu_ZKM130_Widget"},
};
// The files the model dialog offers, by its answer.
const char* const kChosenWidgets[] = {"KAVRNEu_ZKM110_Widget.widget", "KAVRNEu_ZKM120_Widget.widget",
                                      "KAVRNEu_ZKM140_Widget.widget"};

// "Download" or "Next": the engine is needed to run the widget.
class WidgetEnginePromptDialog : public SkinnedDialog {
public:
    explicit WidgetEnginePromptDialog(HWND owner) : SkinnedDialog(IDD_WIDGET_ENGINE_PROMPT, owner)
    {
        SetAnswer(&engineAnswer, 1, 0);
    }
};

// Which model the device is, when its own name is not one the launcher knows.
class WidgetModelDialog : public SkinnedDialog {
public:
    explicit WidgetModelDialog(HWND owner) : SkinnedDialog(IDD_WIDGET_MODEL, owner) { SetAnswer(&modelAnswer, -1, -1); }

protected:
    // The dialog manager would give the focus to the first radio button (the first tab
    // stop), and on Windows an automatic radio button that takes the focus checks
    // itself: a model would be chosen before the user chose one. OK takes it instead;
    // Tab still reaches the group.
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        SetFocus(GetDlgItem(hwnd, IDOK));
        return false;
    }
    void OnOK() override
    {
        const int radios[] = {IDC_MODEL_ZKM110, IDC_MODEL_ZKM120, IDC_MODEL_ZKM140};
        int chosen = -1;
        for (int i = 0; i < 3; ++i) {
            if (IsDlgButtonChecked(hwnd, radios[i]) == BST_CHECKED)
                chosen = i;
        }
        EndWithAnswer(chosen, IDOK);
    }
};

// The address alone: no terminator, no line end; a shorter address leaves nothing
// of a longer earlier one.
void WriteAddressFile(const char* address)
{
    FILE* file = std::fopen(kAddressFile, "w+t");
    if (!file)
        return;
    std::fwrite(address, 1, std::strlen(address), file);
    std::fclose(file);
}

}  // namespace

WidgetSystem SetWidgetSystem(const WidgetSystem& system)
{
    return widgetSystem.Replace(system);
}

const char* WidgetFileOf(const char* model)
{
    for (const ModelWidget& widget : kWidgets) {
        if (std::strcmp(model, widget.model) == 0)
            return widget.file;
    }
    return nullptr;
}

void LaunchWidget(HWND owner, const char* address, const char* model)
{
    WriteAddressFile(address);
    engineAnswer = 0;
    WidgetEnginePromptDialog prompt(owner);
    prompt.DoModal();
    if (engineAnswer == 1) {
        widgetSystem->run(ExplorerCommandLine(kEngineDownload).c_str(), SW_HIDE);
        return;
    }
    const char* file = WidgetFileOf(model);
    if (!file) {
        modelAnswer = -1;
        WidgetModelDialog which(owner);
        which.DoModal();
        if (modelAnswer < 0 || modelAnswer > 2)
            return;
        file = kChosenWidgets[modelAnswer];
    }
    const HINSTANCE opened = widgetSystem->open(owner, "open", file, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(opened) <= 32)
        ShowMessageBox(owner, "Execute widget file error!", "Warning", MB_OK | MB_ICONINFORMATION);
}
