// The lab's network provider. Wine's networking library hands it every connection
// the utility makes or cancels. Each call is written to the lab's call log with all
// its arguments; a connection to a drive letter becomes a network drive of the
// prefix; the connections are kept in a file, so that every process of the run sees
// the same ones; and the control file can make any call fail with a chosen code.
#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "lab_files.h"
#include "records.h"
#include "wine_drive.h"

extern "C" {
#include <npapi.h>
}

namespace {

// Any type not taken by a real network: Wine keeps it with a remembered connection.
const DWORD kLabNetType = 0x00FE0000;

std::wstring TextOf(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

// "X:" and nothing more: the only local names the lab turns into drives.
bool IsDriveName(const std::wstring& name)
{
    return name.size() == 2 && name[1] == L':' &&
           ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z'));
}

// "\\server\share", possibly with more after the share.
bool IsShareName(const std::wstring& name)
{
    if (name.size() < 5 || name[0] != L'\\' || name[1] != L'\\' || name[2] == L'\\')
        return false;
    const size_t end = name.find(L'\\', 2);
    return end != std::wstring::npos && end + 1 < name.size() && name[end + 1] != L'\\';
}

wchar_t UpperLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Looks the call up in the control file and uses up a counted refusal.
Refusal CheckControl(const LabPaths& paths, const wchar_t* call, const std::wstring& localName,
                     const std::wstring& remoteName)
{
    std::wstring control;
    if (paths.control.empty() || !ReadTextFile(paths.control, &control))
        return {};
    bool changed = false;
    Refusal refusal = TakeRefusal(&control, call, localName, remoteName, &changed);
    if (changed)
        WriteTextFile(paths.control, control);
    return refusal;
}

std::vector<Connection> LoadConnections(const LabPaths& paths)
{
    std::wstring text;
    if (paths.connections.empty() || !ReadTextFile(paths.connections, &text))
        return {};
    return ParseConnections(text);
}

void Record(const LabPaths& paths, const JsonLine& line)
{
    if (!paths.log.empty())
        AppendLine(paths.log, line.Finish());
}

DWORD Connect(const LabPaths& paths, const std::wstring& localName, const std::wstring& remoteName, JsonLine* line)
{
    const Refusal refusal = CheckControl(paths, L"add", localName, remoteName);
    if (refusal.code != 0) {
        line->Text("refusedBy", refusal.rule);
        return refusal.code;
    }
    if (!IsShareName(remoteName))
        return WN_BAD_NETNAME;
    // A connection without a drive letter has nothing to make in the prefix.
    if (localName.empty())
        return WN_SUCCESS;
    if (!IsDriveName(localName))
        return WN_BAD_LOCALNAME;

    std::vector<Connection> connections = LoadConnections(paths);
    for (const Connection& c : connections) {
        if (SameName(c.local, localName))
            return WN_ALREADY_CONNECTED;
    }
    // A letter the prefix already has (C:, Z:, a drive made elsewhere) is never
    // redefined: the mount manager would replace it.
    const wchar_t letter = UpperLetter(localName[0]);
    if (LetterType(letter) != DRIVE_NO_ROOT_DIR)
        return WN_ALREADY_CONNECTED;

    line->Text("share", ShareFolderName(PlayShare(paths.shareRoot, remoteName)));
    const DWORD defined = DefineNetworkDrive(letter, remoteName);
    if (defined != ERROR_SUCCESS)
        return defined;
    connections.push_back({std::wstring{letter, L':'}, remoteName});
    if (!paths.connections.empty())
        WriteTextFile(paths.connections, FormatConnections(connections));
    line->Flag("driveRemote", LetterType(letter) == DRIVE_REMOTE);
    return WN_SUCCESS;
}

DWORD AddConnection(const char* call, const NETRESOURCEW* resource, const wchar_t* password, const wchar_t* userName,
                    const DWORD* flags)
{
    LabLock lock;
    const LabPaths paths = ReadLabPaths();
    const std::wstring localName = resource ? TextOf(resource->lpLocalName) : std::wstring();
    const std::wstring remoteName = resource ? TextOf(resource->lpRemoteName) : std::wstring();

    JsonLine line;
    line.Text("call", FromUtf8(call)).Number("pid", GetCurrentProcessId());
    line.Text("local", resource ? resource->lpLocalName : nullptr);
    line.Text("remote", resource ? resource->lpRemoteName : nullptr);
    line.Number("type", resource ? resource->dwType : 0);
    line.Text("user", userName).Flag("passwordGiven", password != nullptr).Text("password", password);
    if (flags)
        line.Number("flags", *flags);
    else
        line.Null("flags");

    const DWORD result = resource ? Connect(paths, localName, remoteName, &line) : WN_BAD_POINTER;
    line.Number("result", result);
    Record(paths, line);
    return result;
}

}  // namespace

extern "C" {

DWORD WINAPI NPGetCaps(DWORD index)
{
    switch (index) {
    case WNNC_SPEC_VERSION:
        return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE:
        return kLabNetType;
    case WNNC_DRIVER_VERSION:
        return 1;
    case WNNC_CONNECTION:
        return WNNC_CON_ADDCONNECTION | WNNC_CON_CANCELCONNECTION | WNNC_CON_GETCONNECTIONS | WNNC_CON_ADDCONNECTION3;
    case WNNC_START:
        return 1;  // started
    default:
        return 0;
    }
}

DWORD WINAPI NPAddConnection(LPNETRESOURCEW resource, LPWSTR password, LPWSTR userName)
{
    return AddConnection("add", resource, password, userName, nullptr);
}

DWORD WINAPI NPAddConnection3(HWND, LPNETRESOURCEW resource, LPWSTR password, LPWSTR userName, DWORD flags)
{
    return AddConnection("add3", resource, password, userName, &flags);
}

DWORD WINAPI NPCancelConnection(LPWSTR name, BOOL force)
{
    LabLock lock;
    const LabPaths paths = ReadLabPaths();
    const std::wstring text = TextOf(name);
    JsonLine line;
    line.Text("call", L"cancel").Number("pid", GetCurrentProcessId()).Text("name", name).Flag("force", force != FALSE);

    DWORD result = WN_NOT_CONNECTED;
    const Refusal refusal = CheckControl(paths, L"cancel", text, text);
    if (refusal.code != 0) {
        line.Text("refusedBy", refusal.rule);
        result = refusal.code;
    } else {
        std::vector<Connection> connections = LoadConnections(paths);
        for (auto it = connections.begin(); it != connections.end(); ++it) {
            if (!SameName(it->local, text))
                continue;
            line.Flag("driveRemoved", RemoveDrive(it->local[0]) == ERROR_SUCCESS);
            connections.erase(it);
            WriteTextFile(paths.connections, FormatConnections(connections));
            result = WN_SUCCESS;
            break;
        }
    }
    line.Number("result", result);
    Record(paths, line);
    return result;
}

DWORD WINAPI NPGetConnection(LPWSTR localName, LPWSTR remoteName, LPDWORD bufferLength)
{
    LabLock lock;
    const LabPaths paths = ReadLabPaths();
    const std::wstring local = TextOf(localName);
    JsonLine line;
    line.Text("call", L"get").Number("pid", GetCurrentProcessId()).Text("local", localName);

    DWORD result = WN_NOT_CONNECTED;
    const Refusal refusal = CheckControl(paths, L"get", local, std::wstring());
    if (refusal.code != 0) {
        line.Text("refusedBy", refusal.rule);
        result = refusal.code;
    } else if (!bufferLength) {
        result = WN_BAD_POINTER;
    } else {
        for (const Connection& c : LoadConnections(paths)) {
            if (!SameName(c.local, local))
                continue;
            line.Text("remote", c.remote);
            const DWORD needed = static_cast<DWORD>(c.remote.size() + 1);
            if (!remoteName || *bufferLength < needed) {
                *bufferLength = needed;
                result = WN_MORE_DATA;
            } else {
                lstrcpyW(remoteName, c.remote.c_str());
                result = WN_SUCCESS;
            }
            break;
        }
    }
    line.Number("result", result);
    Record(paths, line);
    return result;
}

}  // extern "C"
