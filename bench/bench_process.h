// What the benchmarks that start the real utility under Wine share.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>

inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A path as Linux gives it on the command line, as Windows programs under Wine open it.
inline std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
