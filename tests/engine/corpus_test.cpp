// Tables written by other programs: each opens, with its memo file and every
// record readable, or fails with the error its bytes call for. Every memo its
// records name reads back, and writing into a copy (one memo appended, the
// first rewritten in place) keeps the others as they were. (Field lists and
// values are compared with the corpus' own files through dbftool.)
#include <gtest/gtest.h>

#include "engine/field_io.h"
#include "engine/table_def.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"

using namespace testing_support;

namespace {

struct CorpusCase {
    const char* pszFile;
    int nError;                   // 0: opens
    const char* pszMemo = nullptr;  // the memo file it opens
    size_t nMemos = 0;            // memo references in its records
    const char* pszFirst = "";    // how the first memo starts
};

const CorpusCase kCases[] = {
    {"cp1251.dbf", 0},
    {"dbase_02.dbf", 3006},  // dBASE II: its header is laid out differently
    {"dbase_03.dbf", 0},
    {"dbase_03_cyrillic.dbf", 0},
    {"dbase_30.dbf", 0, "dbase_30.fpt", 303, "Domestic Life\r\nWeddings\r\n"},  // found although lower case
    {"dbase_31.dbf", 0},
    {"dbase_32.dbf", 0},
    {"dbase_83.dbf", 0, "dbase_83.dbt", 67, "Our Original assortment...a little taste of heaven for everyone.  Let us\r\n"},
    {"dbase_83_missing_memo.dbf", 3010},
    {"dbase_8b.dbf", 0, "dbase_8b.dbt", 9, "First memo\r\n"},
    {"dbase_8c.dbf", 3006},  // dBASE 7: 48-byte descriptors read as 32-byte ones do not fit
    {"dbase_f5.dbf", 0, "dbase_f5.fpt", 211, "El meu pare.\r\n"},
    {"mazovia.dbf", 0},
    {"polygon.dbf", 3006},  // no fields, record length 1
    {"foxprodb/FOXPRO-DB-TEST.DBC", 0, "foxprodb/FOXPRO-DB-TEST.DCT", 20, "\x0B"},
    {"foxprodb/calls.dbf", 0, "foxprodb/calls.FPT", 0},
    {"foxprodb/contacts.dbf", 0, "foxprodb/contacts.FPT", 0},
    {"foxprodb/setup.dbf", 0},
    {"foxprodb/types.dbf", 0},
};

// The non-zero blocks named by a table's M, G and P fields.
std::vector<uint32_t> MemoBlocksOf(dbf::CDBFTableDef& table) {
    std::vector<uint8_t> record(table.GetRecordLength());
    std::vector<uint32_t> blocks;
    for (int32_t r = 0; r < int32_t(table.GetRecordCount()); ++r) {
        table.ReadRecord(r, record.data());
        for (int i = 0; i < table.GetFieldCount(); ++i) {
            dbf::FieldValue v;
            if (std::string("MGP").find(char(table.GetFieldDesc(i).type)) == std::string::npos) continue;
            dbf::ReadFieldValue(record, table.GetFieldDesc(i), v);
            if (v.GetKind() == dbf::FieldKind::MemoRef && v.GetMemoRef() != 0) blocks.push_back(v.GetMemoRef());
        }
    }
    return blocks;
}

}  // namespace

TEST(Corpus, EveryTableOpensOrFailsWithItsErrorAndKeepsItsMemos) {
    REQUIRE_CORPUS();
    for (const CorpusCase& c : kCases) {
        SCOPED_TRACE(c.pszFile);
        dbf::CDBFTableDef table;
        EXPECT_EQ(ErrorCodeOf([&] { table.Open(CorpusFile(c.pszFile), kReadOnly); }), c.nError);
        EXPECT_EQ(table.IsOpen(), c.nError == 0);
        if (!table.IsOpen()) continue;
        std::vector<uint8_t> records(size_t(table.GetRecordCount()) * table.GetRecordLength());
        EXPECT_NO_THROW(table.ReadRecords(0, int32_t(table.GetRecordCount()), records.data()));
        EXPECT_EQ(table.GetMemoPath(), c.pszMemo ? CorpusFile(c.pszMemo) : "");
        if (!c.pszMemo) continue;

        const std::vector<uint32_t> blocks = MemoBlocksOf(table);
        if (c.nMemos) {
            EXPECT_EQ(blocks.size(), c.nMemos);
        }
        std::vector<std::string> texts;
        for (uint32_t nBlock : blocks) texts.push_back(ReadText(table, nBlock));
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0].rfind(c.pszFirst, 0), 0u) << texts[0].substr(0, 80);

        TempDir dir;
        dir.CopyIn(CorpusFile(c.pszMemo));
        dbf::CDBFTableDef copy;
        copy.Open(dir.CopyIn(CorpusFile(c.pszFile)), kReadWrite);
        uint32_t nNew = 0, nFirst = blocks[0], nLength = 0;
        copy.WriteMemo(nNew, nLength, "A memo appended by the test.");
        copy.WriteMemo(nFirst, nLength, std::string(texts[0].size(), '#'));
        EXPECT_EQ(nFirst, blocks[0]) << "same size: rewritten in place";
        EXPECT_EQ(ReadText(copy, nNew), "A memo appended by the test.");
        for (size_t i = 1; i < blocks.size(); ++i)
            if (blocks[i] != blocks[0]) {
                EXPECT_EQ(ReadText(copy, blocks[i]), texts[i]) << "block " << blocks[i];
            }
    }
}
