// The .SMT layout: bare memo bytes whose length lives in the record, and a
// sorted table of at most 81 free runs in the header.
#include <gtest/gtest.h>

#include "engine/smt_memo_file.h"
#include "tests/engine/memo_builder.h"

using dbf::CSMTMemoFile;
using memo_testing::CMemoImage;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadWrite;
using memo_testing::Le32At;
using memo_testing::SmtFreeTable;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using Entries = std::vector<std::pair<uint16_t, uint32_t>>;

namespace {

// Block size 32: the 510-byte header fills blocks 0 to 15, memos start at 16.
constexpr uint32_t kBs = 32;

std::string ReadText(CSMTMemoFile& memo, uint32_t nBlock, uint32_t nLength) {
    std::string strText;
    memo.ReadMemoText(nBlock, nLength, strText);
    return strText;
}

// A file of blocks 16..nBlocks-1 filled with memos of one block each ("m16", ...).
CMemoImage Filled(uint32_t nBlocks, const Entries& free = {}) {
    CMemoImage image = CMemoImage::Smt(nBlocks, kBs, free);
    for (uint32_t n = 16; n < nBlocks; ++n) image.AtBlock(n, "m" + std::to_string(n));
    return image.Blocks(nBlocks);
}

}  // namespace

TEST(MemoSmt, OpenChecksBlockSizeAndEntryCount) {
    TempDir dir;
    CSMTMemoFile memo;
    memo.Open(CMemoImage::Smt(16, kBs).Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(memo.GetMemoType(), dbf::memoSmt);
    EXPECT_EQ(memo.GetBlockSize(), kBs);
    EXPECT_EQ(memo.GetNextBlock(), 16u);

    CSMTMemoFile zero, crowded, full, shortHeader;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::Smt(16, 0).Save(dir, "z.smt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    CMemoImage tooMany = CMemoImage::Smt(16, kBs);
    tooMany.Le16(18, 82);
    EXPECT_EQ(ErrorCodeOf([&] { crowded.Open(tooMany.Save(dir, "c.smt"), kReadWrite); }), dbf::errMemoHeader);
    tooMany.Le16(18, 81);
    full.Open(tooMany.Save(dir, "f.smt"), kReadWrite);
    EXPECT_TRUE(full.IsOpen());
    testing_support::WriteFileBytes(dir.Path("s.smt"), std::string(509, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { shortHeader.Open(dir.Path("s.smt"), kReadWrite); }), dbf::errMemoHeader);
}

TEST(MemoSmt, ReadUsesTheLengthFromTheReference) {
    TempDir dir;
    CSMTMemoFile memo;
    memo.Open(Filled(18).AtBlock(17, "hello world").Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(ReadText(memo, 17, 5), "hello");
    std::vector<uint8_t> bytes;
    uint32_t nLength = 11;
    memo.ReadMemoBinary(17, nLength, bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello world");
    EXPECT_EQ(ErrorCodeOf([&] { ReadText(memo, 17, 0); }), dbf::errInvalidMemoRef) << "length 0 with a block";
    EXPECT_EQ(ErrorCodeOf([&] { ReadText(memo, 17, 33); }), dbf::errInvalidMemoRef) << "past the end of the file";
}

TEST(MemoSmt, AppendWritesBareBytesAndRecordsTheEndBlock) {
    TempDir dir;
    std::string strPath = Filled(17).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(40, 'a'));
    EXPECT_EQ(nBlock, 17u);
    EXPECT_EQ(nLength, 40u);
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 17u * kBs + 40) << "no header, no terminator, no padding";
    EXPECT_EQ(Le32At(file, 0), 19u);
    EXPECT_EQ(memo.GetNextBlock(), 19u);
    EXPECT_EQ(ReadText(memo, 17, 40), std::string(40, 'a'));
}

TEST(MemoSmt, RewriteKeepsTheBlockForTheSameCountAndReturnsTheNewLength) {
    TempDir dir;
    std::string strPath = Filled(20).AtBlock(17, std::string(64, 'o')).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 17, nLength = 64;
    memo.WriteMemo(nBlock, nLength, std::string(33, 'n'));
    EXPECT_EQ(nBlock, 17u);
    EXPECT_EQ(nLength, 33u);
    EXPECT_EQ(ReadText(memo, nBlock, nLength), std::string(33, 'n'));
    EXPECT_TRUE(SmtFreeTable(ReadFileBytes(strPath)).empty());

    // One block instead of two: the old run is freed and its tail reused.
    memo.WriteMemo(nBlock, nLength, "tiny");
    EXPECT_EQ(nBlock, 18u);
    EXPECT_EQ(nLength, 4u);
    EXPECT_EQ(ReadText(memo, nBlock, nLength), "tiny");
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Entries{{1, 17}}));
    EXPECT_EQ(ReadText(memo, 19, 3), "m19");
}

TEST(MemoSmt, FreedRunBeforeAnEntryMergesIntoIt) {
    TempDir dir;
    std::string strPath = Filled(30, {{2, 20}}).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 18, nLength = 64;  // blocks 18 and 19
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(nLength, 0u);
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Entries{{4, 18}}));
}

TEST(MemoSmt, FreedRunsAreInsertedInBlockOrder) {
    TempDir dir;
    std::string strPath = Filled(40, {{1, 20}, {1, 30}}).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    for (uint32_t nFree : {25u, 17u, 35u}) {
        uint32_t nBlock = nFree, nLength = 3;
        memo.WriteMemo(nBlock, nLength, "");
    }
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Entries{{1, 17}, {1, 20}, {1, 25}, {1, 30}, {1, 35}}));
}

TEST(MemoSmt, TakingARunUsesItsTailOrRemovesTheEntry) {
    TempDir dir;
    std::string strPath = Filled(40, {{1, 17}, {3, 20}, {2, 30}}).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(64, 'x'));  // two blocks
    EXPECT_EQ(nBlock, 21u) << "the first entry that fits gives its last two blocks";
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Entries{{1, 17}, {1, 20}, {2, 30}}));
    nBlock = 0;
    memo.WriteMemo(nBlock, nLength, "y");
    EXPECT_EQ(nBlock, 17u);
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Entries{{1, 20}, {2, 30}})) << "exact fit removes the entry";
}

TEST(MemoSmt, AFullTableLosesRunsItCannotRecordButStillMerges) {
    TempDir dir;
    Entries free;
    for (uint32_t i = 0; i < 81; ++i) free.emplace_back(1, 100 + 2 * i);  // every other block from 100
    std::string strPath = Filled(300, free).Save(dir, "a.smt");
    auto before = ReadFileBytes(strPath);
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 20, nLength = 3;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before) << "no room for an entry: the header is not written";
    nBlock = 290;
    nLength = 3;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(ReadFileBytes(strPath), before) << "nor after the last entry";

    nBlock = 99;
    nLength = 3;
    memo.WriteMemo(nBlock, nLength, "");
    auto table = SmtFreeTable(ReadFileBytes(strPath));
    ASSERT_EQ(table.size(), 81u);
    EXPECT_EQ(table[0], (std::pair<uint16_t, uint32_t>{2, 99})) << "merging needs no new entry";
}
