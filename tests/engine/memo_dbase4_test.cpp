// The dBASE IV .DBT layout: memos with an 8-byte block header, a chain of
// free runs taken from their tail, freed runs merged with one neighbour.
#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "tests/engine/memo_builder.h"

using dbf::CDBTMemoFile;
using memo_testing::CMemoImage;
using memo_testing::DBase4Chain;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadWrite;
using memo_testing::Le32At;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using Runs = std::vector<std::pair<uint32_t, uint32_t>>;

namespace {

std::string ReadText(CDBTMemoFile& memo, uint32_t nBlock) {
    std::string strText;
    uint32_t nLength = 0;
    memo.ReadMemoText(nBlock, nLength, strText);
    EXPECT_EQ(nLength, strText.size());
    return strText;
}

// Text that needs exactly n blocks of 512 with its 8-byte block header.
std::string TextOfBlocks(int n, char c = 't') { return std::string(size_t(n) * 512 - 8, c); }

}  // namespace

TEST(MemoDBase4, OpensWithTheHeaderBlockSize) {
    TempDir dir;
    CDBTMemoFile memo;
    memo.Open(CMemoImage::DBase4(1, 1024).Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(memo.GetMemoType(), dbf::memoDBase4);
    EXPECT_EQ(memo.GetBlockSize(), 1024u);

    CDBTMemoFile zero, tiny;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::DBase4(1, 0).Save(dir, "z.dbt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    EXPECT_FALSE(zero.IsOpen());
    // Blocks too small for the 8-byte memo header or free-run record.
    EXPECT_EQ(ErrorCodeOf([&] { tiny.Open(CMemoImage::DBase4(1, 7).Save(dir, "t.dbt"), kReadWrite); }),
              dbf::errMemoBlockSize);
}

TEST(MemoDBase4, ReadsTheStoredLengthAndRefusesEmptyOrHugeOnes) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(6);
    image.DBase4Memo(1, "Hello, memo").DBase4Memo(2, "").Blocks(6);
    image.Le32(3 * 512, 0x0008FFFF).Le32(3 * 512 + 4, 7);           // shorter than its own header
    image.Le32(4 * 512, 0x0008FFFF).Le32(4 * 512 + 4, 0x80000008);  // past the largest length
    image.AtBlock(5, std::string("\0\0\0\0", 4)).Le32(5 * 512 + 4, 9).Put(5 * 512 + 8, "x");  // no marker
    CDBTMemoFile memo;
    memo.Open(image.Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(ReadText(memo, 1), "Hello, memo");
    std::vector<uint8_t> bytes;
    uint32_t nLength = 0;
    memo.ReadMemoBinary(1, nLength, bytes);
    EXPECT_EQ(nLength, 11u);
    EXPECT_EQ(bytes.size(), 11u);
    for (uint32_t nBlock : {2u, 3u, 4u})
        EXPECT_EQ(ErrorCodeOf([&] { ReadText(memo, nBlock); }), dbf::errInvalidMemoRef) << "block " << nBlock;
    EXPECT_EQ(ReadText(memo, 5), "x") << "the marker is not needed to read";
}

TEST(MemoDBase4, AppendOnEmptyChainMovesTheChainEndAndPadsTheFile) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(1).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 1u);
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 3u * 512);
    EXPECT_EQ(Le32At(file, 0), 3u) << "first free block follows the end of the file";
    EXPECT_EQ(Le32At(file, 512), 0x0008FFFFu);
    EXPECT_EQ(Le32At(file, 516), 1024u);

    uint32_t nSmall = 0;
    memo.WriteMemo(nSmall, nLength, "abc");
    EXPECT_EQ(nSmall, 3u);
    EXPECT_EQ(ReadFileBytes(strPath).size(), 4u * 512);
    EXPECT_EQ(ReadText(memo, 3), "abc");
}

TEST(MemoDBase4, SameBlockCountRewritesInPlace) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(3).DBase4Memo(1, TextOfBlocks(2, 'a')).Blocks(3).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(600, 'b'));
    EXPECT_EQ(nBlock, 1u);
    EXPECT_EQ(nLength, 600u);
    EXPECT_EQ(ReadText(memo, 1), std::string(600, 'b'));
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 3u * 512);
    EXPECT_EQ(Le32At(file, 512), 0x0008FFFFu) << "the marker stays";
    EXPECT_EQ(Le32At(file, 0), 3u) << "the chain is untouched";
}

TEST(MemoDBase4, FewerBlocksFreeTheOldRunAndTakeItsTail) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(4).DBase4Memo(1, TextOfBlocks(3)).Blocks(4).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "now short");
    EXPECT_EQ(nBlock, 3u) << "placed at the tail of the run just freed";
    EXPECT_EQ(ReadText(memo, 3), "now short");
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(DBase4Chain(file), (Runs{{1, 2}}));
    EXPECT_EQ(Le32At(file, 512), 4u) << "the run ends the chain at the end-of-file block";
    EXPECT_EQ(file.size(), 4u * 512) << "nothing appended";
}

TEST(MemoDBase4, ExactFitUnlinksTheRun) {
    TempDir dir;
    // Chain: header -> run 1 (1 block) -> run 3 (2 blocks) -> end; memo at 2.
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 1).DBase4Memo(2, "mid").DBase4Run(3, 5, 2).Blocks(5);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 3u);
    EXPECT_EQ(DBase4Chain(ReadFileBytes(strPath)), (Runs{{1, 1}}));
    EXPECT_EQ(Le32At(ReadFileBytes(strPath), 512), 5u) << "run 1 now links to what run 3 linked to";

    uint32_t nOther = 0;
    memo.WriteMemo(nOther, nLength, "x");
    EXPECT_EQ(nOther, 1u) << "the first run fits exactly: taken and unlinked from the header";
    EXPECT_EQ(Le32At(ReadFileBytes(strPath), 0), 5u);
    EXPECT_EQ(ReadText(memo, 2), "mid");
}

TEST(MemoDBase4, FreedBlocksAfterARunGrowThatRun) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 5, 1).DBase4Memo(2, TextOfBlocks(2)).DBase4Memo(4, "after").Blocks(5);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 2, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(DBase4Chain(ReadFileBytes(strPath)), (Runs{{1, 3}})) << "no new run appears";
    EXPECT_EQ(ReadText(memo, 4), "after");
}

TEST(MemoDBase4, FreedBlocksBeforeARunTakeItOver) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(3);
    image.DBase4Memo(1, "first").DBase4Memo(2, "second").DBase4Run(3, 5, 2).Blocks(5);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 2, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "");
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(DBase4Chain(file), (Runs{{2, 3}}));
    EXPECT_EQ(Le32At(file, 2 * 512), 5u) << "the merged run keeps the old run's link";
    EXPECT_EQ(ReadText(memo, 1), "first");
}

TEST(MemoDBase4, FreeingBetweenTwoRunsMergesWithOneOnly) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 1).DBase4Memo(2, "middle").DBase4Run(3, 4, 1).Blocks(4);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 2, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(DBase4Chain(ReadFileBytes(strPath)), (Runs{{1, 2}, {3, 1}}));
}

TEST(MemoDBase4, FreedBlocksWithoutNeighbourBecomeTheLastRun) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 5, 1).DBase4Memo(2, "a").DBase4Memo(3, "b").DBase4Memo(4, "c").Blocks(5);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 3, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "");
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(DBase4Chain(file), (Runs{{1, 1}, {3, 1}}));
    EXPECT_EQ(Le32At(file, 3 * 512), 5u) << "the new last run links to the end-of-file block";

    // On an empty chain the header itself names the freed run.
    std::string strEmpty = CMemoImage::DBase4(3).DBase4Memo(1, "a").DBase4Memo(2, "b").Blocks(3).Save(dir, "b.dbt");
    CDBTMemoFile other;
    other.Open(strEmpty, kReadWrite);
    nBlock = 1;
    other.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(DBase4Chain(ReadFileBytes(strEmpty)), (Runs{{1, 1}}));
}

TEST(MemoDBase4, AppendLeavesANonEmptyChainAlone) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 1).DBase4Memo(2, "a").Blocks(3);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 3u);
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(Le32At(file, 0), 1u);
    EXPECT_EQ(file.size(), 5u * 512);
}
