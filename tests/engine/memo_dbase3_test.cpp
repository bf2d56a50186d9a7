// The dBASE III .DBT layout: memos ended by 0x1A, appended at the block the
// header names, rewritten in place while they fit their blocks.
#include <gtest/gtest.h>

#include "engine/memo_file.h"
#include "tests/engine/memo_builder.h"

using dbf::CMemoFile;
using memo_testing::CMemoImage;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadWrite;
using memo_testing::Le32At;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

TEST(MemoDBase3, BlockSizeComesFromHeaderAndZeroMeans512) {
    TempDir dir;
    CMemoFile memo;
    memo.Open(CMemoImage::DBase3(1).Save(dir, "a.dbt"), kReadWrite);
    EXPECT_TRUE(memo.IsOpen());
    EXPECT_EQ(memo.GetMemoType(), dbf::memoDBase3);
    EXPECT_EQ(memo.GetBlockSize(), 512u);
    EXPECT_EQ(memo.GetNextBlock(), 1u);

    CMemoFile small;
    small.Open(CMemoImage::DBase3(9, 64).Save(dir, "b.dbt"), kReadWrite);
    EXPECT_EQ(small.GetBlockSize(), 64u);
    small.Close();
    EXPECT_FALSE(small.IsOpen());
}

TEST(MemoDBase3, ReadingStopsAtTheFirstEndByte) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(3).AtBlock(1, "first\x1A\x1Arest").DBase3Memo(2, "second").Save(dir, "a.dbt");
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    std::string strText;
    uint32_t nLength = 0;
    memo.ReadMemoText(1, nLength, strText);
    EXPECT_EQ(strText, "first");
    EXPECT_EQ(nLength, 6u) << "the end byte is counted";
    std::vector<uint8_t> bytes;
    memo.ReadMemoBinary(2, nLength, bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
    EXPECT_EQ(nLength, 7u);
}

TEST(MemoDBase3, MemoWithoutEndByteRunsToTheEndOfTheFile) {
    TempDir dir;
    // Longer than one read chunk, so the scan crosses chunk boundaries.
    std::string strLong(20000, 'x');
    CMemoFile memo;
    memo.Open(CMemoImage::DBase3(50).AtBlock(1, strLong).Save(dir, "a.dbt"), kReadWrite);
    std::string strText;
    uint32_t nLength = 0;
    memo.ReadMemoText(1, nLength, strText);
    EXPECT_EQ(strText, strLong);
    EXPECT_EQ(nLength, 20000u);

    CMemoFile other;
    other.Open(CMemoImage::DBase3(50).AtBlock(1, strLong + "\x1Atail").Save(dir, "b.dbt"), kReadWrite);
    other.ReadMemoText(1, nLength, strText);
    EXPECT_EQ(strText.size(), 20000u);
    EXPECT_EQ(nLength, 20001u);
}

TEST(MemoDBase3, AppendsAtTheNextAvailableBlockAndAdvancesIt) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(1).Save(dir, "a.dbt");
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 5;
    memo.WriteMemo(nBlock, nLength, "hello");
    EXPECT_EQ(nBlock, 1u);
    uint32_t nSecond = 0;
    memo.WriteMemo(nSecond, nLength, std::string(600, 'y'));
    EXPECT_EQ(nSecond, 2u);
    EXPECT_EQ(memo.GetNextBlock(), 4u) << "601 bytes take two blocks";

    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(Le32At(file, 0), 4u);
    EXPECT_EQ(std::string(file.begin() + 512, file.begin() + 518), "hello\x1A");
    EXPECT_EQ(file.size(), 1024u + 601u) << "the file is not padded";
    std::string strText;
    memo.ReadMemoText(nSecond, nLength, strText);
    EXPECT_EQ(strText, std::string(600, 'y'));
}

TEST(MemoDBase3, RewritesInPlaceOnlyWhileTextAndEndByteFitTheOldBlocks) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, std::string(511, 'a')).Save(dir, "a.dbt");
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(511, 'b'));
    EXPECT_EQ(nBlock, 1u) << "511 characters and the end byte fill one block exactly";
    EXPECT_EQ(Le32At(ReadFileBytes(strPath), 0), 2u);

    memo.WriteMemo(nBlock, nLength, std::string(512, 'c'));
    EXPECT_EQ(nBlock, 2u) << "512 characters need a second block: appended";
    EXPECT_EQ(Le32At(ReadFileBytes(strPath), 0), 4u);
    std::string strText;
    memo.ReadMemoText(1, nLength, strText);
    EXPECT_EQ(strText, std::string(511, 'b')) << "the old memo is left as it was";

    // A shorter text goes back into the same blocks.
    memo.WriteMemo(nBlock, nLength, "short");
    EXPECT_EQ(nBlock, 2u);
    memo.ReadMemoText(2, nLength, strText);
    EXPECT_EQ(strText, "short");
}

TEST(MemoDBase3, EmptyTextGivesBlockZeroAndWritesNothing) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, "keep").Save(dir, "a.dbt");
    auto before = ReadFileBytes(strPath);
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 4;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before);
}

TEST(MemoDBase3, ClosedFileReadsNothingAndWritesNothing) {
    CMemoFile memo;
    std::string strText = "stale";
    uint32_t nLength = 0, nBlock = 7;
    memo.ReadMemoText(1, nLength, strText);
    EXPECT_TRUE(strText.empty());
    memo.WriteMemo(nBlock, nLength, "text");
    EXPECT_EQ(nBlock, 7u);
}

TEST(MemoDBase3, OpenErrors) {
    TempDir dir;
    CMemoFile memo;
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(dir.Path("missing.dbt"), kReadWrite); }), dbf::errCantOpenMemo);
    testing_support::WriteFileBytes(dir.Path("short.dbt"), std::string(21, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(dir.Path("short.dbt"), kReadWrite); }), dbf::errMemoHeader);
    EXPECT_FALSE(memo.IsOpen());
    // A failed open leaves the object usable for the next one.
    memo.Open(CMemoImage::DBase3(1).Save(dir, "good.dbt"), kReadWrite);
    EXPECT_TRUE(memo.IsOpen());
    // Opening again while open changes nothing.
    memo.Open(dir.Path("missing.dbt"), kReadWrite);
    EXPECT_EQ(memo.GetFilePath(), dir.Path("good.dbt"));
}
