// Windows' own programs, started by their full path in the shared Windows folder. A
// program started by its bare name is looked for first in the folder of the program
// that starts it and then in the current folder: a portable copy in a folder that
// others can write in would run an explorer.exe planted beside it.
#pragma once

#include <windows.h>

#include <string>

// The command line that opens url with explorer: "C:\Windows\explorer.exe" URL.
inline std::string ExplorerCommandLine(const std::string& url)
{
    // The shared Windows folder: under Terminal Services GetWindowsDirectory may name a
    // private one of the user's, without explorer.exe.
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(folder, sizeof folder);
    std::string path = length > 0 && length < sizeof folder ? folder : "C:\\Windows";
    if (path.back() != '\\')
        path += '\\';
    return "\"" + path + "explorer.exe\" " + url;
}
