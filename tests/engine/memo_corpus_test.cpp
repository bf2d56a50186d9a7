// Real memo files written by dBASE III, dBASE IV, FoxPro and Visual FoxPro:
// every memo their tables name reads back, and writing into copies keeps the
// memos that were there.
#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "tests/engine/memo_builder.h"

using memo_testing::kReadOnly;
using memo_testing::kReadWrite;
using testing_support::Bytes;
using testing_support::CorpusFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

struct MemoRef {
    uint32_t nRecord;
    uint32_t nBlock;
};

// The non-zero memo references of a table's M, G and P fields, read straight
// from the .dbf bytes: 10 ASCII digits, or 4 binary bytes in Visual FoxPro.
std::vector<MemoRef> MemoRefsOf(const std::string& strTable) {
    const Bytes dbf = ReadFileBytes(strTable);
    if (dbf.size() < 32) return {};
    const uint32_t nRecords = memo_testing::Le32At(dbf, 4);
    const size_t nHeader = dbf[8] | dbf[9] << 8, nRecordLength = dbf[10] | dbf[11] << 8;
    struct Field {
        size_t nOffset, nWidth;
    };
    std::vector<Field> fields;
    size_t nOffset = 1;
    for (size_t nDesc = 32; nDesc + 32 <= nHeader && dbf[nDesc] != 0x0D; nDesc += 32) {
        const char cType = char(dbf[nDesc + 11]);
        const size_t nWidth = dbf[nDesc + 16];
        if (cType == 'M' || cType == 'G' || cType == 'P') fields.push_back({nOffset, nWidth});
        nOffset += nWidth;
    }
    std::vector<MemoRef> refs;
    for (uint32_t r = 0; r < nRecords; ++r) {
        const size_t nStart = nHeader + size_t(r) * nRecordLength;
        if (nStart + nRecordLength > dbf.size()) break;
        for (const Field& f : fields) {
            const uint8_t* p = dbf.data() + nStart + f.nOffset;
            uint32_t nBlock = 0;
            if (f.nWidth == 4) {
                nBlock = memo_testing::Le32At(dbf, nStart + f.nOffset);
            } else {
                for (size_t i = 0; i < f.nWidth; ++i)
                    if (p[i] >= '0' && p[i] <= '9') nBlock = nBlock * 10 + uint32_t(p[i] - '0');
            }
            if (nBlock != 0) refs.push_back({r, nBlock});
        }
    }
    return refs;
}

template <class Memo>
std::vector<std::string> ReadAll(Memo& memo, const std::vector<MemoRef>& refs) {
    std::vector<std::string> texts;
    for (const MemoRef& ref : refs) {
        std::string strText;
        uint32_t nLength = 0;
        memo.ReadMemoText(ref.nBlock, nLength, strText);
        EXPECT_GE(nLength, strText.size());
        texts.push_back(strText);
    }
    return texts;
}

// Writes into a copy: a new memo, a rewrite of the first memo, and checks
// that every other memo still reads as before.
template <class Memo>
void WriteIntoCopy(const std::string& strMemo, const std::vector<MemoRef>& refs, const std::vector<std::string>& texts) {
    TempDir dir;
    std::string strCopy = dir.CopyIn(strMemo);
    Memo memo;
    memo.Open(strCopy, kReadWrite);
    uint32_t nNew = 0, nLength = 0;
    memo.WriteMemo(nNew, nLength, "A memo appended by the test.");
    uint32_t nFirst = refs[0].nBlock;
    memo.WriteMemo(nFirst, nLength, std::string(texts[0].size(), '#'));
    EXPECT_EQ(nFirst, refs[0].nBlock) << "same size: rewritten in place";
    std::string strText;
    memo.ReadMemoText(nNew, nLength, strText);
    EXPECT_EQ(strText, "A memo appended by the test.");
    for (size_t i = 1; i < refs.size(); ++i) {
        if (refs[i].nBlock == refs[0].nBlock) continue;
        memo.ReadMemoText(refs[i].nBlock, nLength, strText);
        EXPECT_EQ(strText, texts[i]) << "memo at block " << refs[i].nBlock;
    }
}

}  // namespace

TEST(MemoCorpus, DBase3MemosOfDbase83) {
    REQUIRE_CORPUS();
    auto refs = MemoRefsOf(CorpusFile("dbase_83.dbf"));
    ASSERT_EQ(refs.size(), 67u);
    dbf::CMemoFile memo;
    memo.Open(CorpusFile("dbase_83.dbt"), kReadOnly);
    EXPECT_EQ(memo.GetBlockSize(), 512u);
    auto texts = ReadAll(memo, refs);
    EXPECT_EQ(texts[0].rfind("Our Original assortment...a little taste of heaven for everyone.  Let us\r\n", 0), 0u);
    EXPECT_NE(texts[0].find("Plum Squares, Milk chocolate squares, and Raspberry Blanc."), std::string::npos);
    EXPECT_EQ(texts[9].rfind("Once tasted you will understand why we won The\r\nBoston Herald's", 0), 0u);
    for (const std::string& strText : texts) EXPECT_EQ(strText.find('\x1A'), std::string::npos);
    WriteIntoCopy<dbf::CMemoFile>(CorpusFile("dbase_83.dbt"), refs, texts);
}

TEST(MemoCorpus, DBase4MemosOfDbase8b) {
    REQUIRE_CORPUS();
    auto refs = MemoRefsOf(CorpusFile("dbase_8b.dbf"));
    ASSERT_EQ(refs.size(), 9u);
    dbf::CDBTMemoFile memo;
    memo.Open(CorpusFile("dbase_8b.dbt"), kReadOnly);
    EXPECT_EQ(memo.GetBlockSize(), 512u);
    EXPECT_EQ(memo.GetNextBlock(), 10u) << "nothing free: the chain ends at the end of the file";
    auto texts = ReadAll(memo, refs);
    EXPECT_EQ(texts[0], "First memo\r\n");
    EXPECT_EQ(texts[1], "Second memo");
    EXPECT_EQ(texts[8], "Nineth memo");
    WriteIntoCopy<dbf::CDBTMemoFile>(CorpusFile("dbase_8b.dbt"), refs, texts);

    // Clearing a memo and writing a new one reuses its block.
    TempDir dir;
    std::string strCopy = dir.CopyIn(CorpusFile("dbase_8b.dbt"));
    dbf::CDBTMemoFile copy;
    copy.Open(strCopy, kReadWrite);
    uint32_t nBlock = refs[4].nBlock, nLength = 0;
    copy.WriteMemo(nBlock, nLength, "");
    uint32_t nNew = 0;
    copy.WriteMemo(nNew, nLength, "Reused");
    EXPECT_EQ(nNew, refs[4].nBlock);
    EXPECT_EQ(ReadFileBytes(strCopy).size(), ReadFileBytes(CorpusFile("dbase_8b.dbt")).size());
}

TEST(MemoCorpus, FoxProMemosOfDbase30AndDbaseF5AndADatabaseContainer) {
    REQUIRE_CORPUS();
    const struct {
        const char* pszTable;
        const char* pszMemo;
        size_t nRefs;
    } files[] = {
        {"dbase_30.dbf", "dbase_30.fpt", 303},
        {"dbase_f5.dbf", "dbase_f5.fpt", 211},
        {"foxprodb/FOXPRO-DB-TEST.DBC", "foxprodb/FOXPRO-DB-TEST.DCT", 20},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.pszMemo);
        auto refs = MemoRefsOf(CorpusFile(f.pszTable));
        ASSERT_EQ(refs.size(), f.nRefs);
        dbf::CFPTMemoFile memo;
        memo.Open(CorpusFile(f.pszMemo), kReadOnly);
        EXPECT_EQ(memo.GetBlockSize(), 64u);
        auto texts = ReadAll(memo, refs);
        for (const std::string& strText : texts) EXPECT_FALSE(strText.empty());
        WriteIntoCopy<dbf::CFPTMemoFile>(CorpusFile(f.pszMemo), refs, texts);
    }
    dbf::CFPTMemoFile memo;
    memo.Open(CorpusFile("dbase_30.fpt"), kReadOnly);
    std::string strText;
    uint32_t nLength = 0;
    memo.ReadMemoText(8, nLength, strText);
    EXPECT_EQ(strText.substr(0, 25), "Domestic Life\r\nWeddings\r\n");
    EXPECT_EQ(nLength, 25u);
    dbf::CFPTMemoFile f5;
    f5.Open(CorpusFile("dbase_f5.fpt"), kReadOnly);
    f5.ReadMemoText(8, nLength, strText);
    EXPECT_EQ(strText.rfind("El meu pare.\r\n", 0), 0u);
}
