#include "lab_files.h"

namespace {

const wchar_t kProviderKey[] = L"System\\CurrentControlSet\\Services\\KavronLab\\NetworkProvider";

std::wstring ReadSetting(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kProviderKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name)
{
    return folder.empty() ? std::wstring() : folder + L"\\" + name;
}

}  // namespace

LabLock::LabLock() : mutex_(CreateMutexW(nullptr, FALSE, L"KavronLabNetProvider"))
{
    // An abandoned mutex (a process ended inside a call) is owned all the same.
    if (mutex_) {
        const DWORD wait = WaitForSingleObject(mutex_.get(), INFINITE);
        owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
}

LabLock::~LabLock()
{
    if (owned_)
        ReleaseMutex(mutex_.get());
}

LabPaths ReadLabPaths()
{
    const std::wstring folder = ReadSetting(L"LabFolder");
    LabPaths paths;
    paths.log = InFolder(folder, L"calls.jsonl");
    paths.control = InFolder(folder, L"control.txt");
    paths.connections = InFolder(folder, L"connections.txt");
    paths.shareRoot = ReadSetting(L"ShareRoot");
    return paths;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

bool ReadTextFile(const std::wstring& path, std::wstring* text)
{
    text->clear();
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    *text = FromUtf8(bytes);
    return true;
}

bool WriteTextFile(const std::wstring& path, const std::wstring& text)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const std::string bytes = ToUtf8(text);
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool AppendLine(const std::wstring& path, const std::string& utf8Line)
{
    UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const std::string line = utf8Line + "\n";
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}
