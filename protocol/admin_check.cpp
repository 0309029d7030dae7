#include "admin_check.h"

#include "protocol_types.h"
#include "text_util.h"

const char kWrongAdminPassword[] = "Wrong administrator password input!";

namespace {

AdminCheck Outcome(AdminAnswer answer)
{
    return answer == AdminAnswer::kAccepted ? AdminCheck::kAccepted
           : answer == AdminAnswer::kSilent ? AdminCheck::kSilent
                                            : AdminCheck::kRefused;
}

}  // namespace

AdminCheck RunAdminCheck(const char* user, const AdminCheckSteps& steps)
{
    CopyTextTo(protocolSession.adminUser, user);
    CopyTextTo(protocolSession.adminPassword, "");
    const AdminAnswer first = steps.ask();
    if (first != AdminAnswer::kRefused)
        return Outcome(first);
    if (!steps.prompt())
        return AdminCheck::kRefused;
    const AdminAnswer second = steps.ask();
    if (second == AdminAnswer::kRefused)
        steps.tell(kWrongAdminPassword);
    return Outcome(second);
}
