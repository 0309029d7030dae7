// Checks the add-on payloads that kavron_payload_resources links into a program: every
// row of payloads.h is found the way the installer looks it up (the program's own
// module, the type name in mixed case), with exactly the row's size. Stand-ins also
// begin with their id and file name, so a file embedded under another row's id shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "payloads.h"

namespace {

TEST(Payloads, EveryRowIsEmbeddedUnderItsIdAndTypeWithItsSize)
{
    for (const Payload& payload : kPayloads) {
        SCOPED_TRACE(payload.name);
        HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(payload.id), PayloadResourceType(payload.type));
        ASSERT_NE(res, nullptr);
        EXPECT_EQ(SizeofResource(nullptr, res), payload.size);
        const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, res)));
        ASSERT_NE(data, nullptr);
#ifdef KAVRON_PAYLOAD_STAND_INS
        // The smallest files hold only the start of the first line.
        const std::string first = "[" + std::to_string(payload.id) + "] " + payload.name + ": stand-in";
        const std::size_t shown = std::min(first.size(), payload.size);
        EXPECT_EQ(std::string(data, shown), first.substr(0, shown));
#endif
    }
}

}  // namespace
