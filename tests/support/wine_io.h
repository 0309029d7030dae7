// What a Windows program of the tests takes and gives under Wine: a Unix path as the
// Windows path Wine maps it to (the root is Z:), and its output without the carriage
// returns its line ends carry through a Linux pipe.
#pragma once

#include <algorithm>
#include <string>

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
