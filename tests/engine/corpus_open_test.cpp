// Tables written by other programs: each opens, with its memo file and every
// record readable, or fails with the error its bytes call for. (Their field
// lists and values are compared with the corpus' own files through dbftool.)
#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/table_def.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFTableDef;
using namespace testing_support;

namespace {

struct CorpusCase {
    const char* pszFile;
    int nError;         // 0: opens
    const char* pszMemo;  // memo file it opens, or null
};

const CorpusCase kCases[] = {
    {"cp1251.dbf", 0, nullptr},
    {"dbase_02.dbf", 3006, nullptr},  // dBASE II: its header is laid out differently
    {"dbase_03.dbf", 0, nullptr},
    {"dbase_03_cyrillic.dbf", 0, nullptr},
    {"dbase_30.dbf", 0, "dbase_30.fpt"},  // found although the name is lower case
    {"dbase_31.dbf", 0, nullptr},
    {"dbase_32.dbf", 0, nullptr},
    {"dbase_83.dbf", 0, "dbase_83.dbt"},
    {"dbase_83_missing_memo.dbf", 3010, nullptr},
    {"dbase_8b.dbf", 0, "dbase_8b.dbt"},
    {"dbase_8c.dbf", 3006, nullptr},  // dBASE 7: 48-byte descriptors read as 32-byte ones do not fit
    {"dbase_f5.dbf", 0, "dbase_f5.fpt"},
    {"mazovia.dbf", 0, nullptr},
    {"polygon.dbf", 3006, nullptr},  // no fields, record length 1
    {"foxprodb/FOXPRO-DB-TEST.DBC", 0, "foxprodb/FOXPRO-DB-TEST.DCT"},
    {"foxprodb/calls.dbf", 0, "foxprodb/calls.FPT"},
    {"foxprodb/contacts.dbf", 0, "foxprodb/contacts.FPT"},
    {"foxprodb/setup.dbf", 0, nullptr},
    {"foxprodb/types.dbf", 0, nullptr},
};

}  // namespace

TEST(CorpusOpen, EveryTableOpensOrFailsWithItsError) {
    REQUIRE_CORPUS();
    for (const CorpusCase& c : kCases) {
        SCOPED_TRACE(c.pszFile);
        CDBFTableDef table;
        int nError = 0;
        try {
            table.Open(CorpusFile(c.pszFile), 64);
        } catch (const CDBFException& e) {
            nError = e.GetCode();
        }
        EXPECT_EQ(nError, c.nError);
        EXPECT_EQ(table.IsOpen(), c.nError == 0);
        if (!table.IsOpen()) continue;
        if (c.pszMemo) {
            ASSERT_NE(table.GetMemoFile(), nullptr);
            EXPECT_TRUE(table.GetMemoFile()->IsOpen());
            EXPECT_EQ(table.GetMemoPath(), CorpusFile(c.pszMemo));
        } else {
            EXPECT_EQ(table.GetMemoFile(), nullptr);
        }
        // Every record of an open table can be read.
        std::vector<uint8_t> records(size_t(table.GetRecordCount()) * table.GetRecordLength());
        EXPECT_NO_THROW(table.ReadRecords(0, int32_t(table.GetRecordCount()), records.data()));
    }
}
