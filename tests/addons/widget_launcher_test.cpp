// The widget launcher: the address file, the engine prompt, the model table and the
// model dialog, and the shell's answer, with the shell played.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "addons/widget_launcher.h"
#include "message_box_recorder.h"
#include "modal_script.h"
#include "res/resource.h"

namespace {

std::vector<std::string> ran, opened;
INT_PTR openResult = 42;

UINT PlayedRun(const char* command, UINT)
{
    ran.push_back(command);
    return 33;
}
HINSTANCE PlayedOpen(HWND, const char* verb, const char* file, const char* parameters, const char* folder, int show)
{
    EXPECT_STREQ("open", verb);
    EXPECT_EQ(nullptr, parameters);
    EXPECT_EQ(nullptr, folder);
    EXPECT_EQ(SW_SHOW, show);
    opened.push_back(file);
    return reinterpret_cast<HINSTANCE>(openResult);
}

std::string AddressFile()
{
    std::ifstream file("C:\\ip.txt", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class WidgetTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetWidgetSystem({PlayedRun, PlayedOpen});
        ran.clear();
        opened.clear();
        openResult = 42;
    }
    void TearDown() override { SetWidgetSystem(previous_); }
    WidgetSystem previous_{};
};

TEST_F(WidgetTest, KnownModelsOpenTheirWidgetAfterTheEnginePrompt)
{
    EXPECT_STREQ("KAVRNEu_ZKM130_Widget", WidgetFileOf("ZKM-130"));
    EXPECT_EQ(nullptr, WidgetFileOf("zkm-120")) << "case counts";
    EXPECT_EQ(nullptr, WidgetFileOf("ZKM-150"));

    ModalScript script;
    script.Then(IDCANCEL, [](HWND prompt) { ModalScript::Press(prompt, IDCANCEL); });  // "Next"
    LaunchWidget(nullptr, "198.51.100.200", "ZKM-120");
    EXPECT_EQ("198.51.100.200", AddressFile());
    EXPECT_EQ((std::vector<std::string>{"KAVRNEu_ZKM120_Widget.widget"}), opened);

    // "Download" sends the user to the engine and opens nothing; a shorter address
    // leaves nothing of the longer one; the close box counts as "Next".
    ModalScript download;
    download.Then(IDOK, [](HWND prompt) { ModalScript::Press(prompt, IDOK); });
    LaunchWidget(nullptr, "10.0.0.1", "ZKM-110");
    EXPECT_EQ("10.0.0.1", AddressFile());
    ASSERT_EQ(1u, ran.size());
    EXPECT_EQ(0u, ran[0].find("\"C:\\windows\\explorer.exe\" http://")) << ran[0];
    EXPECT_NE(std::string::npos, ran[0].find("/download/"));
    EXPECT_EQ(1u, opened.size());

    openResult = 2;  // the shell found no such file
    ModalScript closed;
    closed.Then(IDCANCEL, [](HWND prompt) { PostMessageA(prompt, WM_CLOSE, 0, 0); });
    MessageBoxRecorder boxes;
    LaunchWidget(nullptr, "10.0.0.1", "ZKM-130");
    EXPECT_EQ("KAVRNEu_ZKM130_Widget", opened.back());
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Execute widget file error!", boxes.messages[0].text);
    EXPECT_EQ("Warning", boxes.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), boxes.messages[0].icon());
}

TEST_F(WidgetTest, AnUnknownModelIsAskedForAndNoChoiceOpensNothing)
{
    struct Case {
        int radio;  // 0: none
        const char* file;
    };
    const Case cases[] = {{IDC_MODEL_ZKM140, "KAVRNEu_ZKM140_Widget.widget"}, {0, nullptr}};
    for (const Case& c : cases) {
        opened.clear();
        ModalScript script;
        script.Then(IDCANCEL, [](HWND prompt) { ModalScript::Press(prompt, IDCANCEL); })
            .Then(IDC_MODEL_ZKM110, [&](HWND which) {
                // It opens with no model chosen and the focus away from the radio buttons,
                // which on Windows would check themselves on taking it.
                EXPECT_EQ(GetDlgItem(which, IDOK), GetFocus());
                for (int radio : {IDC_MODEL_ZKM110, IDC_MODEL_ZKM120, IDC_MODEL_ZKM140})
                    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(which, radio));
                if (c.radio)
                    CheckRadioButton(which, IDC_MODEL_ZKM110, IDC_MODEL_ZKM140, c.radio);
                ModalScript::Press(which, IDOK);
            });
        MessageBoxRecorder boxes;
        LaunchWidget(nullptr, "198.51.100.20", "");
        EXPECT_EQ(2u, script.Done());
        EXPECT_EQ(c.file ? std::vector<std::string>{c.file} : std::vector<std::string>{}, opened);
        EXPECT_TRUE(boxes.messages.empty());
    }
}

}  // namespace
