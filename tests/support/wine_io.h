// What a Windows program of the tests takes and gives under Wine: a Unix path as the
// Windows path Wine maps it to (the root is Z:), and its output without the carriage
// returns its line ends carry through a Linux pipe.
#pragma once

#include <algorithm>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

inline std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

inline std::string WithoutCarriageReturns(const std::string& text)
{
    std::string clean;
    for (char c : text) {
        if (c != '\r')
            clean += c;
    }
    return clean;
}

#ifdef _WIN32
// The staging folders of BitTorrent runs (addons/installation/staging_folder.h) left under the
// temporary path of this prefix's user, which the tested programs share.
inline int StagingFoldersLeft()
{
    char base[MAX_PATH + 1] = {};
    GetTempPathA(sizeof base, base);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(base) + "kavron-staging-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}
#endif
