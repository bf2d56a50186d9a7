// Real memo files written by dBASE III, dBASE IV, FoxPro and Visual FoxPro:
// every memo their tables name reads back, and writing into copies keeps the
// memos that were there.
#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/field_io.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/table_def.h"
#include "tests/support/memo_builder.h"

using namespace memo_testing;
using testing_support::CorpusFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

// The non-zero blocks named by a table's M, G and P fields.
std::vector<uint32_t> MemoBlocksOf(const std::string& strTable) {
    dbf::CDBFTableDef table;
    table.Open(strTable, kReadOnly);
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

// Reads every memo, then in a copy appends one, rewrites the first with a
// text of its size (in place) and checks that all the others read as before.
template <class Memo>
std::vector<std::string> CheckMemos(const std::string& strMemo, const std::vector<uint32_t>& blocks) {
    Memo original;
    original.Open(strMemo, kReadOnly);
    std::vector<std::string> texts;
    for (uint32_t nBlock : blocks) texts.push_back(ReadText(original, nBlock));

    TempDir dir;
    Memo memo;
    memo.Open(dir.CopyIn(strMemo), kReadWrite);
    uint32_t nNew = 0, nFirst = blocks[0], nLength = 0;
    memo.WriteMemo(nNew, nLength, "A memo appended by the test.");
    memo.WriteMemo(nFirst, nLength, std::string(texts[0].size(), '#'));
    EXPECT_EQ(nFirst, blocks[0]) << "same size: rewritten in place";
    EXPECT_EQ(ReadText(memo, nNew), "A memo appended by the test.");
    for (size_t i = 1; i < blocks.size(); ++i)
        if (blocks[i] != blocks[0]) {
            EXPECT_EQ(ReadText(memo, blocks[i]), texts[i]) << "block " << blocks[i];
        }
    return texts;
}

}  // namespace

TEST(MemoCorpus, DBase3AndDBase4) {
    REQUIRE_CORPUS();
    auto blocks = MemoBlocksOf(CorpusFile("dbase_83.dbf"));
    ASSERT_EQ(blocks.size(), 67u);
    auto texts = CheckMemos<dbf::CMemoFile>(CorpusFile("dbase_83.dbt"), blocks);
    EXPECT_EQ(texts[0].rfind("Our Original assortment...a little taste of heaven for everyone.  Let us\r\n", 0), 0u);
    EXPECT_NE(texts[0].find("Milk chocolate squares, and Raspberry Blanc."), std::string::npos);
    EXPECT_EQ(texts[9].rfind("Once tasted you will understand why we won The\r\nBoston Herald's", 0), 0u);

    blocks = MemoBlocksOf(CorpusFile("dbase_8b.dbf"));
    ASSERT_EQ(blocks.size(), 9u);
    texts = CheckMemos<dbf::CDBTMemoFile>(CorpusFile("dbase_8b.dbt"), blocks);
    EXPECT_EQ(texts[0], "First memo\r\n");
    EXPECT_EQ(texts[8], "Nineth memo");
}

TEST(MemoCorpus, FoxProVisualFoxProAndADatabaseContainer) {
    REQUIRE_CORPUS();
    const struct {
        const char *pszTable, *pszMemo;
        size_t nMemos;
        const char* pszFirst;  // how the first memo starts
    } files[] = {
        {"dbase_30.dbf", "dbase_30.fpt", 303, "Domestic Life\r\nWeddings\r\n"},
        {"dbase_f5.dbf", "dbase_f5.fpt", 211, "El meu pare.\r\n"},
        {"foxprodb/FOXPRO-DB-TEST.DBC", "foxprodb/FOXPRO-DB-TEST.DCT", 20, "\x0B"},
    };
    for (const auto& f : files) {
        auto blocks = MemoBlocksOf(CorpusFile(f.pszTable));
        ASSERT_EQ(blocks.size(), f.nMemos) << f.pszTable;
        auto texts = CheckMemos<dbf::CFPTMemoFile>(CorpusFile(f.pszMemo), blocks);
        EXPECT_EQ(texts[0].rfind(f.pszFirst, 0), 0u) << f.pszMemo;
    }
}
