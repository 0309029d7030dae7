// The administrator check both front ends run, with the device, the user and the
// message played: what is asked in which order, and when the message comes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol.h"

namespace {

TEST(AdminCheck, EmptyPasswordFirstThenOnePromptAndTheMessageOnlyAfterASecondRefusal)
{
    using A = AdminAnswer;
    struct Case {
        std::vector<A> answers;  // the device's, in turn
        bool password;           // whether the prompt gives one
        AdminCheck outcome;
        std::string trace;  // what the check did: a(user/password), p, t(message)
    };
    const Case cases[] = {
        {{A::kAccepted}, true, AdminCheck::kAccepted, "a(jo/)"},
        {{A::kSilent}, true, AdminCheck::kSilent, "a(jo/)"},
        {{A::kRefused, A::kAccepted}, true, AdminCheck::kAccepted, "a(jo/) p a(jo/pw)"},
        {{A::kRefused, A::kSilent}, true, AdminCheck::kSilent, "a(jo/) p a(jo/pw)"},
        {{A::kRefused, A::kRefused},
         true,
         AdminCheck::kRefused,
         "a(jo/) p a(jo/pw) t(Wrong administrator password input!)"},
        {{A::kRefused}, false, AdminCheck::kRefused, "a(jo/) p"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        CopyTextTo(protocolSession.adminPassword, "left over");
        std::string trace;
        size_t asked = 0;
        AdminCheckSteps steps;
        steps.ask = [&] {
            trace += std::string(trace.empty() ? "" : " ") + "a(" + protocolSession.adminUser + "/" +
                     protocolSession.adminPassword + ")";
            return c.answers.at(asked++);
        };
        steps.prompt = [&] {
            trace += " p";
            if (c.password)
                CopyTextTo(protocolSession.adminPassword, "pw");
            return c.password;
        };
        steps.tell = [&](const char* message) { trace += std::string(" t(") + message + ")"; };
        EXPECT_EQ(c.outcome, RunAdminCheck("jo", steps));
        EXPECT_EQ(c.trace, trace);
    }
}

}  // namespace
