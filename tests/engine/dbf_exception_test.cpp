// Engine errors: message texts, the fallback wording and the buffer rules.
#include "engine/dbf_exception.h"

#include <cstring>

#include <gtest/gtest.h>

#include "engine/dbf_format.h"

using dbf::CDBFException;

TEST(EngineErrors, MessagesComeFromTheStringTable) {
    EXPECT_EQ(CDBFException(3001).GetErrorMessage(), "Can't create file.");
    EXPECT_EQ(CDBFException(3006).GetErrorMessage(), "File destruct or not .dbf file. ") << "trailing space kept";
    EXPECT_EQ(CDBFException(3013).GetErrorMessage(), "Invalid ref from memo.");
    EXPECT_EQ(CDBFException(3019).GetErrorMessage(), "Save record error.");
    EXPECT_STREQ(CDBFException(3017).what(), "Out of range.");
}

TEST(EngineErrors, CodesWithoutTextFallBackToTheirNumber) {
    EXPECT_EQ(CDBFException(3014).GetErrorMessage(), "Error number 0x00000BC6.");
    EXPECT_EQ(CDBFException(3016).GetErrorMessage(), "Error number 0x00000BC8.");
    EXPECT_EQ(CDBFException(0x1234ABCD).GetErrorMessage(), "Error number 0x1234ABCD.");
    EXPECT_EQ(CDBFException(-1).GetErrorMessage(), "Error number 0xFFFFFFFF.");
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

TEST(EngineErrors, ThrowErrorCarriesTheCode) {
    try {
        dbf::ThrowError(dbf::errOutOfRange);
        FAIL();
    } catch (const CDBFException& e) {
        EXPECT_EQ(e.GetCode(), 3017);
        EXPECT_EQ(e.m_nCode, 3017);
    }
}

TEST(FieldTypes, DisplayNamesByLetter) {
    dbf::RegisterEngineStrings();
    EXPECT_EQ(dbf::FieldTypeNameId('C'), 59400u);
    EXPECT_EQ(dbf::FieldTypeNameId('G'), 59411u);
    EXPECT_EQ(dbf::FieldTypeNameId('0'), 59412u);
    EXPECT_EQ(dbf::FieldTypeNameId('Q'), 59412u);
}
