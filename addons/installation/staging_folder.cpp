#include "addons/installation/staging_folder.h"

#include <sddl.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kNameAttempts = 16;

struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using LocalMemory = std::unique_ptr<void, LocalFreeDeleter>;
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// The process's user as an SDDL SID ("S-1-5-21-..."); empty when it cannot be read.
std::string UserSid()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return std::string();
    OwnedHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return std::string();
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return std::string();
    LocalMemory owned(text);
    return text;
}

// Full control for the user and the system, inherited by what is made inside, and
// nothing inherited from the parent: the temporary path is the user's own only while
// TMP and TEMP say so (an administrator may point them at a shared folder).
LocalMemory OwnAccessOnly()
{
    const std::string user = UserSid();
    if (user.empty())
        return nullptr;
    const std::string sddl = "D:P(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;SY)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return LocalMemory(descriptor);
}

}  // namespace

bool StagingFolder::Create()
{
    Remove();
    char base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof base, base);
    if (length == 0 || length >= sizeof base)
        return false;
    // A name of this process that no folder has yet: one left by an earlier process
    // with the same number is passed over, never used.
    static LONG serial = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "kavron-staging-%lx-%lx", GetCurrentProcessId(),
                      static_cast<unsigned long>(InterlockedIncrement(&serial)));
        if (CreateAt(std::string(base) + name))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool StagingFolder::CreateAt(const std::string& path)
{
    Remove();
    LocalMemory descriptor = OwnAccessOnly();
    if (!descriptor) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
    if (!CreateDirectoryA(path.c_str(), &attributes))
        return false;  // ERROR_ALREADY_EXISTS for anything there, a junction included
    // Held without FILE_SHARE_DELETE until Remove: nobody can rename or delete the folder
    // meanwhile, so no junction can take its place between our writes.
    HANDLE handle =
        CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // Not the folder just made: leave it be.
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    handle_ = handle;
    path_ = path + "\\";
    return true;
}

void StagingFolder::Remove()
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return;
    // Deleted through the handle: the very folder made, not whatever its path names
    // now. A folder that is not empty refuses, and stays.
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(handle_, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    path_.clear();
}

StagingFolder& BtStaging()
{
    static StagingFolder folder;
    return folder;
}

void RemoveBtStaging()
{
    BtStaging().Remove();
}
