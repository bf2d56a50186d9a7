// The dBASE III .DBT layout: memos ended by 0x1A, appended at the block the
// header names, rewritten in place while they fit their blocks.
#include <gtest/gtest.h>

#include "engine/memo_file.h"
#include "tests/support/memo_builder.h"

using namespace memo_testing;
using dbf::CMemoFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

TEST(MemoDBase3, ReadsUpToTheFirstEndByteOrTheEndOfTheFile) {
    TempDir dir;
    const std::string strLong(20000, 'x');  // longer than one read chunk
    CMemoImage image = CMemoImage::DBase3(60);
    image.AtBlock(1, "first\x1A\x1Arest").AtBlock(2, strLong + "\x1Atail").AtBlock(60, "no end byte");
    CMemoFile memo;
    memo.Open(image.Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(memo.GetBlockSize(), 512u) << "bytes 20-21 hold 0";
    uint32_t nLength = 0;
    EXPECT_EQ(ReadText(memo, 1, 0, &nLength), "first");
    EXPECT_EQ(nLength, 6u) << "the end byte is counted";
    EXPECT_EQ(ReadText(memo, 2, 0, &nLength), strLong);
    EXPECT_EQ(nLength, 20001u);
    EXPECT_EQ(ReadText(memo, 60, 0, &nLength), "no end byte");
    EXPECT_EQ(nLength, 11u);
    std::vector<uint8_t> bytes;
    memo.ReadMemoBinary(1, nLength, bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first");

    CMemoFile small;
    small.Open(CMemoImage::DBase3(9, 64).Save(dir, "b.dbt"), kReadWrite);
    EXPECT_EQ(small.GetBlockSize(), 64u);
}

TEST(MemoDBase3, AppendsAndRewritesInPlaceOnlyWhileTextAndEndByteFit) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, std::string(511, 'a')).Save(dir, "a.dbt");
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(511, 'b'));
    EXPECT_EQ(nBlock, 1u) << "511 characters and the end byte fill one block";
    memo.WriteMemo(nBlock, nLength, std::string(512, 'c'));
    EXPECT_EQ(nBlock, 2u) << "512 need a second block: appended";
    EXPECT_EQ(ReadText(memo, 1), std::string(511, 'b')) << "the old memo stays";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(U32(file, 0), 4u);
    EXPECT_EQ(file.size(), 1024u + 513u) << "not padded";
    memo.WriteMemo(nBlock, nLength, "short");
    EXPECT_EQ(nBlock, 2u);
    EXPECT_EQ(ReadText(memo, 2), "short");

    const auto before = ReadFileBytes(strPath);
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before) << "an empty text writes nothing";
}

TEST(MemoDBase3, OpenErrorsAndAClosedFile) {
    TempDir dir;
    CMemoFile memo;
    std::string strText = "stale";
    uint32_t nLength = 0, nBlock = 7;
    memo.ReadMemoText(1, nLength, strText);
    memo.WriteMemo(nBlock, nLength, "text");
    EXPECT_TRUE(strText.empty());
    EXPECT_EQ(nBlock, 7u) << "a closed memo file does nothing";

    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(dir.Path("missing.dbt"), kReadWrite); }), dbf::errCantOpenMemo);
    testing_support::WriteFileBytes(dir.Path("short.dbt"), std::string(21, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(dir.Path("short.dbt"), kReadWrite); }), dbf::errMemoHeader);
    EXPECT_FALSE(memo.IsOpen());
    memo.Open(CMemoImage::DBase3(1).Save(dir, "good.dbt"), kReadWrite);
    memo.Open(dir.Path("missing.dbt"), kReadWrite);
    EXPECT_EQ(memo.GetFilePath(), dir.Path("good.dbt")) << "opening an open file changes nothing";
}
