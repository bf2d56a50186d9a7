#include "platform/core/string_table.h"

#include <gtest/gtest.h>

namespace {
const platform::StringEntry kFirst[] = {{1, "one"}, {2, "two"}};
const platform::StringEntry kSecond[] = {{3, "three"}};
}  // namespace

TEST(StringTable, LooksUpAcrossRegisteredTables) {
    platform::RegisterStrings(kFirst);
    platform::RegisterStrings(kSecond);
    platform::RegisterStrings(kFirst);
    EXPECT_STREQ(platform::FindString(2), "two");
    EXPECT_EQ(platform::LoadString(3), "three");
    EXPECT_EQ(platform::FindString(4), nullptr);
    EXPECT_EQ(platform::LoadString(4), "");
}
