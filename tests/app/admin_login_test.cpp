// The administrator check: one prompt, one retry, one message, with the device and
// the user played through the check's seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/admin_login.h"
#include "message_box_recorder.h"
#include "protocol.h"

namespace {

std::vector<int> verdicts;       // the device's answers, in turn
std::vector<std::string> asked;  // "user/password" as each verdict was asked for
int prompts = 0;
int promptedMode = -1;
std::string typed;  // what the played user types into the password box

int PlayedDevice()
{
    asked.push_back(std::string(protocolSession.adminUser) + "/" + protocolSession.adminPassword);
    const int verdict = verdicts.empty() ? 0 : verdicts.front();
    if (!verdicts.empty())
        verdicts.erase(verdicts.begin());
    return verdict;
}

void PlayedUser(HWND, int mode)
{
    ++prompts;
    promptedMode = mode;
    CopyTextTo(protocolSession.adminPassword, typed.c_str());
}

TEST(EnsureAdminLogin, AsksTheEmptyPasswordFirstThenTheUserOnceAndReportsASecondRefusal)
{
    const AdminLoginSteps previous = SetAdminLoginSteps({PlayedDevice, PlayedUser});
    struct Case {
        std::vector<int> verdicts;
        bool accepted;
        int prompts;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {{1}, true, 0, {"admin/"}},                      // empty password accepted: no dialog
        {{-128}, true, 0, {"admin/"}},                   // any non-zero verdict accepts
        {{0, 7}, true, 1, {"admin/", "admin/s3cret"}},   // refused, then the typed one accepted
        {{0, 0}, false, 1, {"admin/", "admin/s3cret"}},  // wrong password: one prompt only
    };
    for (const Case& c : cases) {
        verdicts = c.verdicts;
        asked.clear();
        prompts = 0;
        typed = "s3cret";
        CopyTextTo(protocolSession.adminUser, "someone");
        CopyTextTo(protocolSession.adminPassword, "stale");
        MessageBoxRecorder boxes;
        EXPECT_EQ(c.accepted, EnsureAdminLogin(nullptr, 1));
        EXPECT_EQ(c.prompts, prompts);
        if (c.prompts) {
            EXPECT_EQ(1, promptedMode) << "the prompt asks in the mode it was given";
        }
        EXPECT_EQ(c.asked, asked);
        if (c.accepted) {
            EXPECT_TRUE(boxes.messages.empty());
        } else {
            ASSERT_EQ(1u, boxes.messages.size());
            EXPECT_EQ("Wrong administrator password input!", boxes.messages[0].text);
            EXPECT_EQ("Error", boxes.messages[0].caption);
            EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), boxes.messages[0].icon());
        }
    }
    SetAdminLoginSteps(previous);
}

}  // namespace
