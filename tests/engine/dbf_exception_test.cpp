// Engine errors: message texts, the fallback wording and the buffer rules.
#include "engine/dbf_exception.h"

#include <cstring>

#include <gtest/gtest.h>

#include "engine/dbf_format.h"

using dbf::CDBFException;

TEST(EngineErrors, MessagesComeFromTheStringTableOrFallBackToTheNumber) {
    const std::pair<int, const char*> cases[] = {
        {3001, "Can't create file."},
        {3006, "File destruct or not .dbf file. "},  // trailing space kept
        {3013, "Invalid ref from memo."},
        {3019, "Save record error."},
        {3014, "Error number 0x00000BC6."},  // codes without text
        {3016, "Error number 0x00000BC8."},
        {0x1234ABCD, "Error number 0x1234ABCD."},
        {-1, "Error number 0xFFFFFFFF."},
    };
    for (const auto& [nCode, pszText] : cases) EXPECT_EQ(CDBFException(nCode).GetErrorMessage(), pszText) << nCode;
    EXPECT_STREQ(CDBFException(3017).what(), "Out of range.");
    try {
        dbf::ThrowError(dbf::errOutOfRange);
        FAIL();
    } catch (const CDBFException& e) {
        EXPECT_EQ(e.GetCode(), 3017);
    }
}

TEST(EngineErrors, BufferKeepsAtMostTwoLessThanItsSize) {
    CDBFException e(3011);
    char buf[10];
    std::memset(buf, 'x', sizeof buf);
    unsigned nHelp = 99;
    EXPECT_TRUE(e.GetErrorMessage(buf, sizeof buf, &nHelp));
    EXPECT_STREQ(buf, "File hea");
    EXPECT_EQ(buf[9], '\0');
    EXPECT_EQ(nHelp, 0u);
    char big[64];
    e.GetErrorMessage(big, sizeof big);
    EXPECT_STREQ(big, "File head error. This format not support.");
    char one[1] = {'x'};
    e.GetErrorMessage(one, 1);
    EXPECT_EQ(one[0], '\0');
}

TEST(FieldTypes, DisplayNamesByLetter) {
    dbf::RegisterEngineStrings();
    for (auto [c, nId] : {std::pair{'C', 59400u}, {'G', 59411u}, {'0', 59412u}, {'Q', 59412u}})
        EXPECT_EQ(dbf::FieldTypeNameId(c), nId) << c;
}
