// The files the utility installs onto a device: each is a resource of the utility's
// own module (an object of kavron_payload_resources) and is written to the device byte
// for byte. This table is the only list of them: the build reads it to embed every
// file under its id and to check the sizes of real payload files
// (cmake/KavronPayloads.cmake), the installer and the tests look rows up here.
//
// Keep one row per line, in the form the build reads with a pattern:
//     {id, PayloadType::kName, "file name", size in bytes},
// Plain C++ without windows.h: the native tree may include it too.
#pragma once

#include <cstddef>
#include <string_view>

// The resource type of a payload. The resource script names the type by the
// enumerator without its "k", in capitals: kCodepage is CODEPAGE, kBt is BT.
enum class PayloadType { kCodepage, kBt };

struct Payload {
    int id;            // numeric resource name
    PayloadType type;  // resource type
    const char* name;  // file name on the device
    std::size_t size;  // bytes, exactly
};

// The type name the program looks a payload up under (FindResourceA). Resource type
// names match without regard to case, so "Codepage" finds the CODEPAGE resources.
constexpr const char* PayloadResourceType(PayloadType type)
{
    return type == PayloadType::kCodepage ? "Codepage" : "BT";
}

// clang-format off
inline constexpr Payload kPayloads[] = {
    // Character-set modules (".o", ".ko", "_12.ko"), codepage and Unicode map tables
    {143, PayloadType::kCodepage, "codepage.850", 132},
    {145, PayloadType::kCodepage, "nls_cp850.o", 5020},
    {148, PayloadType::kCodepage, "unicode_map.850", 131614},
    {151, PayloadType::kCodepage, "codepage.950", 8},
    {153, PayloadType::kCodepage, "nls_cp950.o", 106268},
    {155, PayloadType::kCodepage, "nls_big5.o", 1724},
    {156, PayloadType::kCodepage, "unicode_map.950", 262174},
    {157, PayloadType::kCodepage, "codepage.936", 8},
    {158, PayloadType::kCodepage, "nls_cp936.o", 129244},
    {159, PayloadType::kCodepage, "nls_gb2312.o", 1728},
    {160, PayloadType::kCodepage, "unicode_map.936", 262174},
    {161, PayloadType::kCodepage, "codepage.932", 8},
    {162, PayloadType::kCodepage, "nls_cp932.o", 82848},
    {163, PayloadType::kCodepage, "nls_euc-jp.o", 6364},
    {164, PayloadType::kCodepage, "unicode_map.932", 262174},
    {165, PayloadType::kCodepage, "codepage.949", 8},
    {166, PayloadType::kCodepage, "nls_cp949.o", 152216},
    {167, PayloadType::kCodepage, "nls_euc-kr.o", 1728},
    {168, PayloadType::kCodepage, "unicode_map.949", 262174},
    {169, PayloadType::kCodepage, "codepage.866", 588},
    {170, PayloadType::kCodepage, "nls_cp866.o", 5308},
    {171, PayloadType::kCodepage, "unicode_map.866", 588},
    {172, PayloadType::kCodepage, "nls_sjis.o", 1724},
    {173, PayloadType::kCodepage, "nls_cp932.ko", 82562},
    {174, PayloadType::kCodepage, "nls_cp950.ko", 105791},
    {175, PayloadType::kCodepage, "nls_cp936.ko", 128599},
    {176, PayloadType::kCodepage, "nls_cp949.ko", 151405},
    {177, PayloadType::kCodepage, "nls_cp866.ko", 6006},
    {178, PayloadType::kCodepage, "nls_euc-jp.ko", 6809},
    {179, PayloadType::kCodepage, "nls_cp850.ko", 5719},
    {183, PayloadType::kCodepage, "nls_koi8-r.ko", 6010},
    {184, PayloadType::kCodepage, "unicode_map.KOI8-R", 131614},
    {185, PayloadType::kCodepage, "nls_koi8-r.o", 5312},
    {187, PayloadType::kCodepage, "nls_cp850_12.ko", 5783},
    {188, PayloadType::kCodepage, "nls_cp866_12.ko", 6070},
    {189, PayloadType::kCodepage, "nls_cp932_12.ko", 82995},
    {190, PayloadType::kCodepage, "nls_cp936_12.ko", 128695},
    {191, PayloadType::kCodepage, "nls_cp949_12.ko", 151501},
    {192, PayloadType::kCodepage, "nls_cp950_12.ko", 105887},
    {193, PayloadType::kCodepage, "nls_euc-jp_12.ko", 6921},
    {194, PayloadType::kCodepage, "nls_koi8-r_12.ko", 6074},
    // The two BitTorrent programs
    {215, PayloadType::kBt, "bt", 6940408},
    {220, PayloadType::kBt, "btdog", 22672},
};
// clang-format on

// The row of a resource id, or nullptr when no payload has it.
constexpr const Payload* FindPayload(int id)
{
    for (const Payload& payload : kPayloads) {
        if (payload.id == id)
            return &payload;
    }
    return nullptr;
}

// The row of a file name (names are unique across both types), or nullptr.
constexpr const Payload* FindPayloadByName(std::string_view name)
{
    for (const Payload& payload : kPayloads) {
        if (name == payload.name)
            return &payload;
    }
    return nullptr;
}

// The installer finds a file by its name, and the build writes every file into one
// folder by its name and embeds it under its id: both must be unique.
constexpr bool PayloadIdsAndNamesAreUnique()
{
    for (const Payload& payload : kPayloads) {
        if (FindPayload(payload.id) != &payload || FindPayloadByName(payload.name) != &payload)
            return false;
    }
    return true;
}
static_assert(PayloadIdsAndNamesAreUnique(), "two payloads share an id or a file name");
