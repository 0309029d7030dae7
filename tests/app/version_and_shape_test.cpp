// The Windows version table and the main window's outline.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "app/window_shape.h"
#include "app/mapping/windows_version.h"

namespace {

struct VersionCase {
    unsigned long platform, major, minor, build;
    const char* text;
    int code;
};

TEST(WindowsVersion, TableCoversEveryRowAndItsBoundaries)
{
    const VersionCase cases[] = {
        {1, 4, 0, 950, "Windows 95", 1},
        {1, 4, 0, 951, "Windows 95 SP1", 2},
        {1, 4, 0, 1080, "Windows 95 SP1", 2},
        {1, 4, 0, 1081, "Windows 95 OSR2", 3},
        {1, 4, 0, 949, "unknown Windows version", 0},
        {1, 4, 10, 1998, "Windows 98", 4},
        {1, 4, 10, 1999, "Windows 98 SP1", 5},
        {1, 4, 10, 2182, "Windows 98 SP1", 5},
        {1, 4, 10, 2183, "Windows 98 SE", 6},
        {1, 4, 10, 1997, "unknown Windows version", 0},
        {1, 4, 90, 3000, "Windows ME", 7},
        {1, 4, 50, 3000, "unknown Windows version", 0},
        {1, 5, 0, 950, "unknown Windows version", 0},
        {2, 3, 51, 1057, "Windows NT 3.51", 101},
        {2, 4, 0, 1381, "Windows NT 4", 102},
        {2, 5, 0, 2195, "Windows 2000", 103},
        {2, 5, 1, 2600, "Windows XP", 104},
        {2, 5, 2, 3790, "unknown Windows version", 0},
        {2, 6, 0, 6000, "Vista", 0},
        {2, 6, 1, 7601, "Vista", 0},
        {2, 6, 3, 9600, "Vista", 0},
        {2, 10, 0, 19045, "unknown Windows version", 0},
        {3, 7, 0, 0, "Windows CE", 201},
        {0, 3, 10, 0, "unknown Windows version", 0},
    };
    for (const VersionCase& c : cases) {
        char text[64] = {};
        const int code = ClassifyWindowsVersion(c.platform, c.major, c.minor, c.build, text, sizeof(text));
        EXPECT_STREQ(c.text, text) << c.platform << " " << c.major << "." << c.minor << " build " << c.build;
        EXPECT_EQ(c.code, code) << c.text;
    }
}

TEST(WindowsVersion, NineXBuildNumberKeepsOnlyItsLowWord)
{
    // 9x reports 4.10 in the high word of the build number.
    char text[64] = {};
    EXPECT_EQ(6, ClassifyWindowsVersion(1, 4, 10, 0x040A0000u | 2222u, text, sizeof(text)));
    EXPECT_STREQ("Windows 98 SE", text);
}

TEST(WindowsVersion, TextIsCutToItsBuffer)
{
    char text[8];
    std::memset(text, 'x', sizeof(text));
    ClassifyWindowsVersion(1, 4, 10, 2183, text, sizeof(text));
    EXPECT_STREQ("Windows", text);
}

TEST(WindowsVersion, RunningSystemIsRead)
{
    // Wine reports an NT 6.x system unless told otherwise.
    char text[64] = {};
    int code = -1;
    ASSERT_TRUE(DescribeWindowsVersion(text, sizeof(text), &code));
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExA(&info));
#pragma GCC diagnostic pop
    char expected[64] = {};
    const int expectedCode = ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                                    info.dwBuildNumber, expected, sizeof(expected));
    EXPECT_STREQ(expected, text);
    EXPECT_EQ(expectedCode, code);
}

bool Inside(HRGN region, int x, int y)
{
    return PtInRegion(region, x, y) != FALSE;
}

TEST(WindowShape, CornersAreCutAndOnlyTheBottomCornersLoseTheLastRow)
{
    const int w = 430, h = 574;
    HRGN region = CreateMainWindowRegion(w, h);
    ASSERT_NE(nullptr, region);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(1, box.top);  // no band covers the top row
    EXPECT_EQ(w, box.right);
    EXPECT_EQ(h, box.bottom);

    // Column 0 covers rows 5 to h-6 only.
    EXPECT_FALSE(Inside(region, 0, 4));
    EXPECT_TRUE(Inside(region, 0, 5));
    EXPECT_TRUE(Inside(region, 0, h - 6));
    EXPECT_FALSE(Inside(region, 0, h - 5));
    // The top row is outside everywhere; the bottom row only at the corners.
    for (int x = 0; x < w; ++x)
        EXPECT_FALSE(Inside(region, x, 0)) << x;
    EXPECT_FALSE(Inside(region, 4, h - 1));
    EXPECT_TRUE(Inside(region, 5, h - 1));
    EXPECT_TRUE(Inside(region, w - 6, h - 1));
    EXPECT_FALSE(Inside(region, w - 5, h - 1));
    // Column 3 spans rows 1 to h-2; its mirror, column w-4, rows 2 to h-3.
    EXPECT_TRUE(Inside(region, 3, 1));
    EXPECT_TRUE(Inside(region, 3, h - 2));
    EXPECT_FALSE(Inside(region, w - 4, 1));
    EXPECT_TRUE(Inside(region, w - 4, 2));
    EXPECT_TRUE(Inside(region, w - 4, h - 3));
    EXPECT_FALSE(Inside(region, w - 4, h - 2));
    // The right-most column mirrors the left-most one.
    EXPECT_FALSE(Inside(region, w - 1, 4));
    EXPECT_TRUE(Inside(region, w - 1, 5));
    EXPECT_TRUE(Inside(region, w - 1, h - 6));
    EXPECT_FALSE(Inside(region, w - 1, h - 5));
    EXPECT_FALSE(Inside(region, w, 100));
    DeleteObject(region);
}

TEST(WindowShape, RegionFollowsOtherSizes)
{
    HRGN region = CreateMainWindowRegion(100, 50);
    ASSERT_NE(nullptr, region);
    EXPECT_TRUE(Inside(region, 50, 49));
    EXPECT_FALSE(Inside(region, 50, 50));
    EXPECT_TRUE(Inside(region, 99, 44));
    EXPECT_FALSE(Inside(region, 99, 45));
    DeleteObject(region);
}

}  // namespace
