#include "wine_drive.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "lab_files.h"

namespace {

// Wine's mount manager request that defines a drive letter from a Unix path; the
// layout is Wine's. The type is a DRIVE_* value, DRIVE_NO_ROOT_DIR removes the letter.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

DWORD SendDefine(wchar_t letter, ULONG type, const std::string& mountPoint)
{
    UniqueHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager)
        return GetLastError();
    std::vector<char> buffer(sizeof(UnixDriveRequest) + mountPoint.size() + 1, '\0');
    UnixDriveRequest request{};
    request.size = static_cast<ULONG>(buffer.size());
    request.type = type;
    request.letter = letter;
    if (!mountPoint.empty()) {
        request.mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(buffer.data() + sizeof(UnixDriveRequest), mountPoint.c_str(), mountPoint.size() + 1);
    }
    std::memcpy(buffer.data(), &request, sizeof(request));
    DWORD returned = 0;
    if (!DeviceIoControl(manager.get(), kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0,
                         &returned, nullptr))
        return GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace

ShareFolder PlayShare(const std::wstring& shareRoot, const std::wstring& remoteName)
{
    if (shareRoot.empty())
        return ShareFolder::Missing;
    const std::wstring folder = shareRoot + remoteName.substr(1);  // "\\server\share" -> root\server\share
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return ShareFolder::Existing;
    // Every level from the dosdevices\unc folder down, each of which may be new.
    for (size_t slash = shareRoot.size(); slash != std::wstring::npos; slash = folder.find(L'\\', slash + 1)) {
        const std::wstring level = folder.substr(0, slash);
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return ShareFolder::Missing;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) ? ShareFolder::Created : ShareFolder::Missing;
}

const wchar_t* ShareFolderName(ShareFolder folder)
{
    switch (folder) {
    case ShareFolder::Existing:
        return L"existing";
    case ShareFolder::Created:
        return L"created";
    default:
        return L"missing";
    }
}

DWORD DefineNetworkDrive(wchar_t letter, const std::wstring& remoteName)
{
    // "\\server\share" -> "unc/server/share": relative to dosdevices, and the form
    // Wine's WNetGetConnection recognises. Wine reads Unix paths as UTF-8.
    std::wstring path = L"unc/" + remoteName.substr(2);
    for (wchar_t& c : path) {
        if (c == L'\\')
            c = L'/';
    }
    return SendDefine(letter, DRIVE_REMOTE, ToUtf8(path));
}

DWORD RemoveDrive(wchar_t letter)
{
    return SendDefine(letter, DRIVE_NO_ROOT_DIR, std::string());
}

UINT LetterType(wchar_t letter)
{
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return GetDriveTypeW(root);
}
