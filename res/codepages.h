// The codepages the Language list offers, in list order. The list index is what the
// device's answer, the user's choice and kavronctl's CODEPAGE argument are turned into,
// and what the installation takes its files by. This table is the only list of them:
// the Language dialog fills its box from it, the checks read the device's codepage
// against it, the installer writes each row's files, kavronctl names them.
// Plain C++ without windows.h: the native tree includes it too.
#pragma once

#include <string>
#include <string_view>

struct Codepage {
    const char* number;  // as the device reports it and is told it: "950"
    const char* name;    // the Language list's text
    // 865, 852 and 857: only a device whose firmware takes the extended codepages may
    // have them (it reports disk state 5).
    bool extended;
    // The files, as payload resource ids (payloads.h) in writing order, for a device
    // with the older HDD_a layout and for one with the HDD_1 layout; each list ends at
    // its first 0. The extended codepages need none.
    int hddA[8];
    int hdd1[8];
};

// clang-format off
inline constexpr Codepage kCodepages[] = {
    {"950", "Traditional Chinese", false, {151, 153, 155, 156}, {151, 174, 192, 156}},
    {"936", "Simplified Chinese", false, {157, 158, 159, 160}, {157, 175, 190, 160}},
    {"850", "Western European", false, {143, 145, 148}, {143, 179, 187, 148}},
    {"865", "Northern European", true, {}, {}},
    {"852", "Central European", true, {}, {}},
    {"857", "Turkish", true, {}, {}},
    {"949", "Korean Hangul", false, {165, 166, 167, 168}, {165, 176, 191, 168}},
    {"866", "Cyrillic", false, {169, 170, 185, 171, 184}, {169, 177, 183, 188, 194, 171, 184}},
    {"932", "Japanese SJIS", false, {161, 162, 163, 172, 164}, {161, 173, 178, 189, 193, 164}},
};
// clang-format on
inline constexpr int kCodepageCount = sizeof kCodepages / sizeof kCodepages[0];

// The row a device is shown with when it reports a codepage that is not on the list.
inline constexpr int kWesternEuropean = 2;

// The list index of a codepage number ("950"), -1 for one not on the list.
constexpr int CodepageIndex(std::string_view number)
{
    for (int index = 0; index < kCodepageCount; ++index) {
        if (number == kCodepages[index].number)
            return index;
    }
    return -1;
}

// The numbers in list order for a message: "950, 936, ..., 866" then lastSeparator and
// "932".
inline std::string CodepageNumbers(const char* lastSeparator)
{
    std::string list;
    for (int index = 0; index < kCodepageCount; ++index) {
        if (index > 0)
            list += index + 1 == kCodepageCount ? lastSeparator : ", ";
        list += kCodepages[index].number;
    }
    return list;
}
