// How a volume is connected on each Windows version, with a scripted network
// provider, device domain and user played through the mapping's seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/drive_mapping.h"
#include "protocol.h"

namespace {

struct Call {
    std::string what;  // "add" or "cancel"
    std::string local, remote, password, user;
    DWORD flags;
    HWND owner;
};

// ERROR_SMB_GUEST_LOGON_BLOCKED, which mingw-w64's headers do not name.
constexpr DWORD kGuestLogonBlocked = 1272;

std::vector<Call> calls;
int failures = 0;  // how many adds fail before one succeeds (-1: all fail)
const char* version = "Vista";
const char* domain = "";
int prompts = 0;

std::string Text(const char* text)
{
    return text ? std::string("\"") + text + "\"" : std::string("null");
}

// A refused try fails as a wrong password would; one where the system asked, as if
// the user had cancelled its prompt.
DWORD PlayedAdd(HWND owner, NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    EXPECT_EQ(static_cast<DWORD>(RESOURCETYPE_DISK), resource->dwType);
    EXPECT_EQ(nullptr, resource->lpProvider);
    calls.push_back({"add", resource->lpLocalName, resource->lpRemoteName, Text(password), Text(user), flags, owner});
    const DWORD refusal = (flags & CONNECT_INTERACTIVE) ? ERROR_CANCELLED : ERROR_LOGON_FAILURE;
    if (failures < 0)
        return refusal;
    return failures-- > 0 ? refusal : NO_ERROR;
}

DWORD PlayedCancel(const char* name, DWORD flags, BOOL force)
{
    calls.push_back({"cancel", name, "", "", force ? "force" : "", flags, nullptr});
    return NO_ERROR;
}

DWORD PlayedUser(const char*, char* user, DWORD* length)
{
    lstrcpynA(user, "jane", static_cast<int>(*length));
    return NO_ERROR;
}

bool PlayedVersion(char* text, size_t capacity, int* code)
{
    lstrcpynA(text, version, static_cast<int>(capacity));
    *code = 0;
    return true;
}

int PlayedDomain()
{
    CopyTextTo(protocolSession.domainValue, domain);
    return 1;
}

// The system's texts of this test: one with the line end FormatMessage leaves, none
// for the others.
bool PlayedErrorText(DWORD error, char* text, DWORD capacity)
{
    if (error != kGuestLogonBlocked)
        return false;
    lstrcpynA(text, "Guest access is blocked.\r\n", static_cast<int>(capacity));
    return true;
}

void PlayedPrompt(HWND)
{
    ++prompts;
    CopyTextTo(protocolSession.adminUser, "guest");
    CopyTextTo(protocolSession.adminPassword, "pw");
}

class DriveMappingTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetMappingSystem(
            {PlayedAdd, PlayedCancel, PlayedUser, PlayedVersion, PlayedDomain, PlayedPrompt, PlayedErrorText});
        calls.clear();
        prompts = 0;
        failures = 0;
        domain = "";
        PrepareMapping();
    }
    void TearDown() override { SetMappingSystem(previous_); }

    // The add calls as "password user flags", and "owned" when the try names the
    // main window as the owner of the system's prompt.
    static std::vector<std::string> Adds()
    {
        std::vector<std::string> adds;
        for (const Call& c : calls) {
            if (c.what == "add") {
                EXPECT_TRUE(c.owner == nullptr || c.owner == kMainWindow);
                adds.push_back(c.password + " " + c.user + " " + std::to_string(c.flags) + (c.owner ? " owned" : ""));
            }
        }
        return adds;
    }
    // As the main window maps: each networking call a step of its flow.
    static DWORD Map()
    {
        std::string reason;
        return ConnectVolume(MappingStepsOf(kMainWindow, &reason), kMainWindow, "198.51.100.20", "HDD_1", "Y:");
    }
    static inline const HWND kMainWindow = reinterpret_cast<HWND>(0x2468);

    MappingSystem previous_{};
};

TEST_F(DriveMappingTest, EveryTryDropsTheLetterFirstAndNamesTheShareOfTheDevice)
{
    CopyTextTo(protocolSession.adminUser, "left over");
    adminLoginMode = 1;
    PrepareMapping();
    EXPECT_STREQ("", protocolSession.adminUser);
    EXPECT_EQ(0, adminLoginMode) << "the login dialog asks for a share user";

    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), Map());
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("cancel", calls[0].what);
    EXPECT_EQ("Y:", calls[0].local);
    EXPECT_EQ("force", calls[0].user);
    EXPECT_EQ(static_cast<DWORD>(CONNECT_UPDATE_PROFILE), calls[0].flags);
    EXPECT_EQ("Y:", calls[1].local);
    EXPECT_EQ("\\\\198.51.100.20\\HDD_1", calls[1].remote);

    calls.clear();
    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), DisconnectDrive(MappingCalls(), "Y:"));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("force", calls[0].user);
}

TEST_F(DriveMappingTest, EachWindowsVersionTriesItsOwnWay)
{
    struct Case {
        const char* version;
        const char* domain;
        int failures;
        DWORD result;  // the last try's
        int prompts;
        std::vector<std::string> adds;
    };
    const std::string all6 = "\"pw\" \"guest\" 1";
    const Case cases[] = {
        // NT 4: the prompt first, then up to six tries with what was typed.
        {"Windows NT 4", "", -1, ERROR_LOGON_FAILURE, 1, {all6, all6, all6, all6, all6, all6}},
        {"Windows NT 4", "", 2, NO_ERROR, 1, {all6, all6, all6}},
        // Version 6: no prompt of ours; the second try lets the system ask, in a prompt
        // owned by the main window.
        {"Vista", "", 0, NO_ERROR, 0, {"\"\" \"\" 1"}},
        {"Vista", "", -1, ERROR_CANCELLED, 0, {"\"\" \"\" 1", "\"\" \"\" 9 owned"}},
        {"Vista", "WORKGROUP", -1, ERROR_CANCELLED, 0, {"null \"WORKGROUP\\jane\" 1", "\"\" \"\" 9 owned"}},
        // Others: the device's domain with the Windows user, then ours, once.
        {"Windows XP",
         "WORKGROUP",
         -1,
         ERROR_LOGON_FAILURE,
         1,
         {"null \"WORKGROUP\\jane\" 1", "\"pw\" \"WORKGROUP\\guest\" 1"}},
        {"Windows 98 SE", "", 1, NO_ERROR, 1, {"\"\" \"\" 1", "\"pw\" \"guest\" 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " domain \"" + c.domain + "\" failures " + std::to_string(c.failures));
        version = c.version;
        domain = c.domain;
        failures = c.failures;
        calls.clear();
        prompts = 0;
        PrepareMapping();
        EXPECT_EQ(c.result, Map());
        EXPECT_EQ(c.prompts, prompts);
        EXPECT_EQ(c.adds, Adds());
    }
}

TEST_F(DriveMappingTest, AFailureIsDescribedInWindowsOwnWords)
{
    // The system's text without its line end; a number to look up where it has none.
    EXPECT_EQ("Guest access is blocked.", DescribeMappingError(MappingCalls(), kGuestLogonBlocked));
    EXPECT_EQ("Error 1219.", DescribeMappingError(MappingCalls(), ERROR_SESSION_CREDENTIAL_CONFLICT));
    EXPECT_EQ("Error 0xC000A000.", DescribeMappingError(MappingCalls(), 0xC000A000))
        << "an NTSTATUS passed on as it is";

    // The real system's text, as FormatMessage gives it.
    const MappingSystem played = SetMappingSystem(previous_);
    const std::string logonFailure = DescribeMappingError(MappingCalls(), ERROR_LOGON_FAILURE);
    SetMappingSystem(played);
    EXPECT_NE("Error 1326.", logonFailure);
    EXPECT_FALSE(logonFailure.empty());
    EXPECT_EQ(std::string::npos, logonFailure.find_first_of("\r\n")) << logonFailure;
}

}  // namespace
