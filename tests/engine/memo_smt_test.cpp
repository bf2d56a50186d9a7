// The .SMT layout: bare memo bytes whose length lives in the record, and a
// sorted table of at most 81 free runs in the header.
#include <gtest/gtest.h>

#include "engine/smt_memo_file.h"
#include "tests/support/memo_builder.h"

using namespace memo_testing;
using dbf::CSMTMemoFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {
// Blocks of 32: the 510-byte header fills blocks 0 to 15. Blocks 16 to
// nBlocks - 1 hold one-block memos "m16", "m17", ...
CMemoImage Filled(uint32_t nBlocks, const Runs& free = {}) {
    CMemoImage image = CMemoImage::Smt(nBlocks, 32, free);
    for (uint32_t n = 16; n < nBlocks; ++n) image.AtBlock(n, "m" + std::to_string(n));
    return image.Blocks(nBlocks);
}
}  // namespace

TEST(MemoSmt, OpenChecksTheHeaderAndReadsUseTheRecordsLength) {
    TempDir dir;
    CSMTMemoFile zero, crowded, shortHeader, memo;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::Smt(16, 0).Save(dir, "z.smt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    CMemoImage image = Filled(18).AtBlock(17, "hello world");
    EXPECT_EQ(ErrorCodeOf([&] { crowded.Open(image.Le16(18, 82).Save(dir, "c.smt"), kReadWrite); }),
              dbf::errMemoHeader) << "82 entries in a table of 81";
    testing_support::WriteFileBytes(dir.Path("s.smt"), std::string(509, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { shortHeader.Open(dir.Path("s.smt"), kReadWrite); }), dbf::errMemoHeader);

    memo.Open(image.Le16(18, 81).Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(memo.GetBlockSize(), 32u);
    EXPECT_EQ(ReadText(memo, 17, 5), "hello");
    EXPECT_EQ(ReadText(memo, 17, 11), "hello world");
    EXPECT_EQ(ReadCode(memo, 17, 0), dbf::errInvalidMemoRef) << "length 0 with a block";
    EXPECT_EQ(ReadCode(memo, 17, 33), dbf::errInvalidMemoRef) << "past the end of the file";
}

TEST(MemoSmt, WritesReturnTheNewLengthAndReuseFreedBlocks) {
    TempDir dir;
    std::string strPath = Filled(20).AtBlock(17, std::string(64, 'o')).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 17, nLength = 64;
    memo.WriteMemo(nBlock, nLength, std::string(33, 'n'));
    EXPECT_EQ(nBlock, 17u) << "two blocks either way: in place";
    EXPECT_EQ(nLength, 33u);
    memo.WriteMemo(nBlock, nLength, "tiny");
    EXPECT_EQ(nBlock, 18u) << "one block: the old run is freed and its tail reused";
    EXPECT_EQ(nLength, 4u);
    EXPECT_EQ(ReadText(memo, nBlock, nLength), "tiny");
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{1, 17}}));

    uint32_t nNew = 0;
    memo.WriteMemo(nNew, nLength, std::string(40, 'a'));
    EXPECT_EQ(nNew, 20u) << "two blocks fit no entry: appended at the end";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 20u * 32 + 40) << "bare bytes, no padding";
    EXPECT_EQ(U32(file, 0), 22u) << "the header's end-of-file block";
    EXPECT_EQ(ReadText(memo, 19, 3), "m19");
}

TEST(MemoSmt, FreeTableMergesInsertsInOrderAndGivesTails) {
    TempDir dir;
    std::string strPath = Filled(40, {{2, 20}, {1, 30}}).Save(dir, "a.smt");
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    for (uint32_t nFree : {19u, 25u, 17u, 22u, 35u}) {
        uint32_t nBlock = nFree, nLength = 3;
        memo.WriteMemo(nBlock, nLength, "");
        EXPECT_EQ(nBlock | nLength, 0u);
    }
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{1, 17}, {3, 19}, {1, 22}, {1, 25}, {1, 30}, {1, 35}}))
        << "19 merged into the entry it precedes; 22, right after an entry, gets its own";
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(64, 'x'));
    EXPECT_EQ(nBlock, 20u) << "the first entry that fits gives its last two blocks";
    nBlock = 0;
    memo.WriteMemo(nBlock, nLength, "y");
    EXPECT_EQ(nBlock, 17u);
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{1, 19}, {1, 22}, {1, 25}, {1, 30}, {1, 35}}))
        << "an exact fit removes its entry";
}

TEST(MemoSmt, AFullTableLosesRunsItCannotRecordButStillMerges) {
    TempDir dir;
    Runs free;
    for (uint32_t i = 0; i < 81; ++i) free.emplace_back(1, 100 + 2 * i);
    std::string strPath = Filled(300, free).Save(dir, "a.smt");
    const auto before = ReadFileBytes(strPath);
    CSMTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    for (uint32_t nFree : {20u, 290u}) {
        uint32_t nBlock = nFree, nLength = 3;
        memo.WriteMemo(nBlock, nLength, "");
        EXPECT_EQ(ReadFileBytes(strPath), before) << "no room for block " << nFree << ": header not written";
    }
    uint32_t nBlock = 99, nLength = 3;
    memo.WriteMemo(nBlock, nLength, "");
    auto table = SmtFreeTable(ReadFileBytes(strPath));
    ASSERT_EQ(table.size(), 81u);
    EXPECT_EQ(table[0], (std::pair<uint32_t, uint32_t>{2, 99})) << "merging needs no new entry";
}
