// Conversions of device texts for display.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "app/mapping/text_convert.h"

namespace {

TEST(Utf8ToAnsi, ConvertsWithinTheCapacityAndNeverWritesPastIt)
{
    char out[16];
    Utf8ToAnsi("B\xC3\xBCro", out, sizeof out);  // UTF-8 "Büro"
    EXPECT_STREQ("B\xFCro", out);

    // No room for a character: empty, and nothing beyond the given capacity is touched.
    for (size_t capacity : {0u, 1u}) {
        std::memset(out, '#', sizeof out);
        Utf8ToAnsi("HDD_1", out, capacity);
        if (capacity == 1) {
            EXPECT_EQ('\0', out[0]);
        }
        for (size_t i = capacity; i < sizeof out; ++i)
            EXPECT_EQ('#', out[i]) << "capacity " << capacity << ", byte " << i;
    }

    // A text longer than the room is cut at a whole character.
    std::memset(out, '#', sizeof out);
    Utf8ToAnsi("abc\xC3\xBC", out, 4);
    EXPECT_STREQ("abc", out);
    EXPECT_EQ('#', out[4]);
    std::memset(out, '#', sizeof out);
    Utf8ToAnsi("\xE6\x97\xA5", out, 2);  // outside the code page: its replacement
    EXPECT_STREQ("?", out);
    EXPECT_EQ('#', out[2]);
}

}  // namespace
