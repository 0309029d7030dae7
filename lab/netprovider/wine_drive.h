// Drive letters under Wine. A letter exists when the prefix's dosdevices folder has
// a link for it, and Wine's mount manager gives it its type. A link "y:" ->
// "unc/server/share" (relative, into the dosdevices\unc folder where Wine resolves
// \\server\share) of type network is what Wine itself reads back as a connected
// network drive: GetDriveType answers DRIVE_REMOTE and WNetGetConnection turns the
// link's target back into "\\server\share". These calls use Wine's own mount
// manager request, which a Windows system does not have.
#pragma once
#include <windows.h>

#include <string>

// The share's folder below the dosdevices\unc folder shareRoot: a folder or link that
// is already there (played by the lab or a test) is kept, else an empty folder is
// made, so that the mapped letter has a root directory.
enum class ShareFolder { Existing, Created, Missing };
ShareFolder PlayShare(const std::wstring& shareRoot, const std::wstring& remoteName);
const wchar_t* ShareFolderName(ShareFolder folder);

// Makes letter a network drive for remoteName ("\\server\share..."), or removes it.
// Win32 error codes.
DWORD DefineNetworkDrive(wchar_t letter, const std::wstring& remoteName);
DWORD RemoveDrive(wchar_t letter);

// GetDriveTypeW of the letter's root directory.
UINT LetterType(wchar_t letter);
