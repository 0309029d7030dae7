// The lab's network provider under Wine (lab/lab run --wine --netprovider): the
// utility's mapping calls reach it, a mapped letter becomes a network drive that the
// drive table reads back, every call is logged with its arguments, connections hold
// across the processes of a run, and the control file refuses calls. The command
// plays \\198.51.100.2\PUBLIC from a folder holding hello.txt ("played").
#include <gtest/gtest.h>
#include <windows.h>
#include <winnetwk.h>

#include <cstddef>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/drive_panel.h"
#include "app/mapping/drive_table.h"

namespace {

using nlohmann::json;

const char kPlayed[] = "\\\\198.51.100.2\\PUBLIC";
const char kUnplayed[] = "\\\\198.51.100.2\\BACKUP";

std::string Env(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteControl(const std::string& text)
{
    std::ofstream(Env("KAVRON_NETPROVIDER_CONTROL_WIN"), std::ios::binary | std::ios::trunc) << text;
}

std::vector<json> ReadLog()
{
    std::vector<json> lines;
    std::istringstream in(ReadFile(Env("KAVRON_NETPROVIDER_LOG_WIN")));
    for (std::string line; std::getline(in, line);)
        lines.push_back(json::parse(line));
    return lines;
}

DWORD Map(const char* local, const char* remote, const char* password = "", const char* user = "",
          DWORD flags = CONNECT_UPDATE_PROFILE)
{
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = const_cast<char*>(local);
    resource.lpRemoteName = const_cast<char*>(remote);
    return WNetAddConnection2A(&resource, password, user, flags);
}

DWORD Cancel(const char* local, BOOL force = TRUE)
{
    return WNetCancelConnection2A(local, CONNECT_UPDATE_PROFILE, force);
}

// What Wine itself answers for the letter; empty when it is not connected.
std::string Connection(const char* local)
{
    char remote[256] = {};
    DWORD length = sizeof(remote);
    return WNetGetConnectionA(local, remote, &length) == NO_ERROR ? remote : "";
}

// The provider's own answer, through its NPGetConnection (Wine's WNetGetConnection
// never asks a provider): what the connections file says in this process.
DWORD ProviderConnection(const wchar_t* local, std::wstring* remote)
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\KavronLab\\NetworkProvider",
                     L"ProviderPath", RRF_RT_ANY, nullptr, path, &size) != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    struct Library {
        HMODULE module;
        ~Library()
        {
            if (module)
                FreeLibrary(module);
        }
    } library{LoadLibraryW(path)};
    using GetConnection = DWORD(WINAPI*)(LPWSTR, LPWSTR, LPDWORD);
    auto get = reinterpret_cast<GetConnection>(
        reinterpret_cast<void*>(library.module ? GetProcAddress(library.module, "NPGetConnection") : nullptr));
    if (!get)
        return ERROR_PROC_NOT_FOUND;
    wchar_t buffer[256] = {};
    DWORD length = 256;
    const DWORD result = get(const_cast<wchar_t*>(local), buffer, &length);
    *remote = buffer;
    return result;
}

// Runs this program again with the arguments: another process of the same lab run.
DWORD RunChild(const std::string& arguments)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string command = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

class NetProvider : public testing::Test {
protected:
    void SetUp() override
    {
        WriteControl("");
        logStart_ = ReadLog().size();
    }
    void TearDown() override
    {
        WriteControl("");
        for (const char* letter : {"Y:", "X:"})
            Cancel(letter);
    }
    // The log lines this test has added.
    std::vector<json> NewLog() const
    {
        const std::vector<json> all = ReadLog();
        return {all.begin() + static_cast<std::ptrdiff_t>(logStart_), all.end()};
    }

    size_t logStart_ = 0;
};

TEST_F(NetProvider, MappedLetterIsANetworkDriveTheDriveTableReadsBack)
{
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_CONNECTED), Cancel("Y:"));  // free: the utility's first call
    ASSERT_EQ(static_cast<DWORD>(NO_ERROR), Map("Y:", kPlayed));
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOTE), GetDriveTypeA("Y:"));
    EXPECT_EQ(kPlayed, Connection("Y:"));
    EXPECT_EQ("played\n", ReadFile("Y:\\hello.txt"));

    // A share nobody plays gets an empty folder, so its letter is real too.
    ASSERT_EQ(static_cast<DWORD>(NO_ERROR), Map("X:", kUnplayed));
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOTE), GetDriveTypeA("X:"));
    EXPECT_EQ(kUnplayed, Connection("X:"));

    // What the utility shows: the box offers Y: with its share, the Location is Y:.
    HWND box =
        CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 100, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, box);
    RefreshDriveTable();
    FillDriveLetterList(box);
    EXPECT_NE(CB_ERR, SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("Y: \\\\198.51.100.2\\PUBLIC")));
    EXPECT_STREQ("Y:", LocateVolumeDrive("public", "kavron-nas", "198.51.100.2"));
    DestroyWindow(box);

    // Taken letters are refused: a mapped one, and a drive of the prefix, which stays.
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_ASSIGNED), Map("Y:", kUnplayed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_ASSIGNED), Map("Z:", kPlayed));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("Z:"));

    // Wine answers an interactive mapping itself and never asks the provider.
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NET_NAME),
              Map("W:", kPlayed, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE));

    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), Cancel("Y:"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Y:"));
    EXPECT_EQ("", Connection("Y:"));
    RefreshDriveTable();
    EXPECT_STREQ("", LocateVolumeDrive("PUBLIC", "198.51.100.2", nullptr));

    const std::vector<json> log = NewLog();
    ASSERT_EQ(6u, log.size());
    EXPECT_EQ(ERROR_NOT_CONNECTED, log[0]["result"]);
    EXPECT_EQ("existing", log[1]["share"]);
    EXPECT_EQ(true, log[1]["driveRemote"]);
    EXPECT_EQ("created", log[2]["share"]);
    EXPECT_EQ(ERROR_ALREADY_ASSIGNED, log[3]["result"]);
    EXPECT_EQ("Z:", log[4]["local"]);
    EXPECT_EQ("cancel", log[5]["call"]);
    EXPECT_EQ(true, log[5]["driveRemoved"]);
}

TEST_F(NetProvider, LogRecordsEveryArgument)
{
    ASSERT_EQ(static_cast<DWORD>(NO_ERROR), Map("Y:", kPlayed, nullptr, "WORKGROUP\\alice"));
    Cancel("Y:", FALSE);
    ASSERT_EQ(static_cast<DWORD>(NO_ERROR), Map("y:", kPlayed, "s3cret \"quoted\"", "bob"));

    const std::vector<json> log = NewLog();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(json::parse(R"({"call":"add3","pid":)" + std::to_string(GetCurrentProcessId()) +
                          R"(,"local":"Y:","remote":"\\\\198.51.100.2\\PUBLIC","type":1,
                             "user":"WORKGROUP\\alice","passwordGiven":false,"password":null,"flags":1,
                             "share":"existing","driveRemote":true,"result":0})"),
              log[0]);
    EXPECT_EQ(json::parse(R"({"call":"cancel","pid":)" + std::to_string(GetCurrentProcessId()) +
                          R"(,"name":"Y:","force":false,"driveRemoved":true,"result":0})"),
              log[1]);
    EXPECT_EQ("y:", log[2]["local"]);
    EXPECT_EQ("bob", log[2]["user"]);
    EXPECT_EQ(true, log[2]["passwordGiven"]);
    EXPECT_EQ("s3cret \"quoted\"", log[2]["password"]);
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOTE), GetDriveTypeA("Y:"));
}

TEST_F(NetProvider, ConnectionsHoldAcrossProcesses)
{
    ASSERT_EQ(static_cast<DWORD>(NO_ERROR), RunChild("map"));
    std::wstring remote;
    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), ProviderConnection(L"Y:", &remote));
    EXPECT_EQ(L"\\\\198.51.100.2\\PUBLIC", remote);
    EXPECT_EQ(kPlayed, Connection("Y:"));

    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), Cancel("Y:"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_CONNECTED), RunChild("get"));

    const std::vector<json> log = NewLog();
    ASSERT_EQ(4u, log.size());
    EXPECT_NE(GetCurrentProcessId(), log[0]["pid"]);
    EXPECT_EQ(kPlayed, log[1]["remote"]);
    EXPECT_EQ(0, log[2]["result"]);
    EXPECT_EQ(ERROR_NOT_CONNECTED, log[3]["result"]);
}

TEST_F(NetProvider, ControlFileRefusesByCodeAndByCount)
{
    // The first two attempts at the share fail, the third maps it.
    WriteControl("# the utility's retries\nadd \\\\198.51.100.2\\PUBLIC 1326 2 # then it maps\n");
    EXPECT_EQ(static_cast<DWORD>(ERROR_LOGON_FAILURE), Map("Y:", kPlayed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_LOGON_FAILURE), Map("Y:", kPlayed));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Y:"));
    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), Map("Y:", kPlayed));
    EXPECT_EQ("# the utility's retries\nadd \\\\198.51.100.2\\PUBLIC 1326 0 # then it maps\n",
              ReadFile(Env("KAVRON_NETPROVIDER_CONTROL_WIN")));

    // Without a count a rule refuses every time; names match without regard to case.
    WriteControl("add x: 0x35\ncancel * 2401\n");
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), Map("X:", kUnplayed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), Map("X:", kUnplayed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_OPEN_FILES), Cancel("Y:"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOTE), GetDriveTypeA("Y:"));

    const std::vector<json> log = NewLog();
    ASSERT_EQ(6u, log.size());
    EXPECT_EQ("add \\\\198.51.100.2\\PUBLIC 1326 2 # then it maps", log[0]["refusedBy"]);
    EXPECT_EQ("add \\\\198.51.100.2\\PUBLIC 1326 1 # then it maps", log[1]["refusedBy"]);
    EXPECT_EQ(0, log[2]["result"]);
    EXPECT_EQ(false, log[2].contains("refusedBy"));
    EXPECT_EQ("cancel * 2401", log[5]["refusedBy"]);
}

}  // namespace

// "map" and "get" run as a second process of the run: map Y: to the played share, or
// ask the provider for Y:. The exit status is the call's result.
int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "map")
        return static_cast<int>(Map("Y:", kPlayed));
    if (argc == 2 && std::string(argv[1]) == "get") {
        std::wstring remote;
        return static_cast<int>(ProviderConnection(L"Y:", &remote));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
