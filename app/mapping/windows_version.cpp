#include "windows_version.h"

#include <windows.h>

#include "protocol.h"  // CopyText

namespace {

struct VersionName {
    const char* text;
    int code;
};

constexpr VersionName kUnknown{"unknown Windows version", 0};

// The whole table of the versions the login and drive-mapping code tell apart, 9x, NT 4
// and CE included. An x64 build only ever runs on 64-bit Windows (NT 5.2 and later), so
// it never meets those rows; it keeps them because what the login and the mapping do is
// defined over the whole table, whose codes their branches test, and one table serves
// every build rather than a copy trimmed to what a target can meet.
VersionName Classify(unsigned long platform, unsigned long major, unsigned long minor, unsigned long build)
{
    switch (platform) {
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major != 4)
            return kUnknown;
        if (minor < 10) {
            if (build == 950)
                return {"Windows 95", 1};
            if (build > 950 && build <= 1080)
                return {"Windows 95 SP1", 2};
            if (build > 1080)
                return {"Windows 95 OSR2", 3};
            return kUnknown;
        }
        if (minor == 10) {
            if (build == 1998)
                return {"Windows 98", 4};
            if (build > 1998 && build < 2183)
                return {"Windows 98 SP1", 5};
            if (build >= 2183)
                return {"Windows 98 SE", 6};
            return kUnknown;
        }
        if (minor == 90)
            return {"Windows ME", 7};
        return kUnknown;
    case VER_PLATFORM_WIN32_NT:
        if (major == 3 && minor == 51)
            return {"Windows NT 3.51", 101};
        if (major == 4 && minor == 0)
            return {"Windows NT 4", 102};
        if (major == 5 && minor == 0)
            return {"Windows 2000", 103};
        if (major == 5 && minor == 1)
            return {"Windows XP", 104};
        if (major == 6)
            return {"Vista", 0};
        return kUnknown;
    case 3:  // VER_PLATFORM_WIN32_CE
        return {"Windows CE", 201};
    default:
        return kUnknown;
    }
}

}  // namespace

int ClassifyWindowsVersion(unsigned long platformId, unsigned long major, unsigned long minor,
                           unsigned long buildNumber, char* text, size_t capacity)
{
    // 9x systems keep the major and minor version in the high word of the build.
    const VersionName name = Classify(platformId, major, minor, buildNumber & 0xFFFF);
    CopyText(text, capacity, name.text);
    return name.code;
}

bool DescribeWindowsVersion(char* text, size_t capacity, int* code)
{
    CopyText(text, capacity, kUnknown.text);
    *code = kUnknown.code;
    OSVERSIONINFOA info{};
    static_assert(sizeof(info) == 148, "the ANSI version record is 148 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return false;
#pragma GCC diagnostic pop
    *code = ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                                   text, capacity);
    return true;
}
