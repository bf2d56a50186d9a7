// The FoxPro .FPT/.DCT layout: big-endian header and block headers, memos
// rewritten in place while they fit their blocks, appended otherwise.
#include <gtest/gtest.h>

#include "engine/fpt_memo_file.h"
#include "tests/support/memo_builder.h"

using namespace memo_testing;
using dbf::CFPTMemoFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

TEST(MemoFpt, BigEndianHeaderAndMemoLengths) {
    TempDir dir;
    CFPTMemoFile zero, shortHeader, memo;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::Fpt(8, 0).Save(dir, "z.fpt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    testing_support::WriteFileBytes(dir.Path("s.fpt"), std::string(7, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { shortHeader.Open(dir.Path("s.fpt"), kReadWrite); }), dbf::errMemoHeader);

    CMemoImage image = CMemoImage::Fpt(0x0102);
    image.FptMemo(8, "text memo").FptMemo(9, "picture", 0).FptMemo(10, "").FptMemo(11, "").Be32(11 * 64 + 4, 0x80000001);
    memo.Open(image.Blocks(12).Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(memo.GetBlockSize(), 64u) << "bytes 6-7 hold 00 40";
    EXPECT_EQ(memo.GetNextBlock(), 0x0102u);
    EXPECT_EQ(ReadText(memo, 8), "text memo");
    std::vector<uint8_t> bytes;
    uint32_t nLength = 0;
    memo.ReadMemoBinary(9, nLength, bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "picture") << "the type is ignored";
    EXPECT_EQ(ReadText(memo, 10), "") << "length 0 is an empty memo, as other programs write it";
    EXPECT_EQ(ReadCode(memo, 11), dbf::errInvalidMemoRef) << "top bit set";
}

TEST(MemoFpt, BlocksCountTheEightByteHeaderAndRewritesKeepTheType) {
    TempDir dir;
    std::string strPath = CMemoImage::Fpt(8).FptMemo(8, std::string(56, 'a'), 0).Blocks(9).Save(dir, "a.fpt");
    CFPTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 8, nLength = 0, nTwo = 0, nAfter = 0;
    memo.WriteMemo(nBlock, nLength, std::string(30, 'c'));
    EXPECT_EQ(nBlock, 8u) << "fits the old block";
    EXPECT_EQ(U32(ReadFileBytes(strPath), 8 * 64, true), 0u) << "the type word stays";
    memo.WriteMemo(nBlock, nLength, std::string(57, 'd'));
    EXPECT_EQ(nBlock, 9u) << "57 + 8 no longer fit one block: appended";
    memo.WriteMemo(nAfter, nLength, "e");
    EXPECT_EQ(nAfter, 11u) << "after the two blocks of the 57-byte memo";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(U32(file, 0, true), 12u);
    EXPECT_EQ(U32(file, 9 * 64, true), 1u) << "appended memos are text";
    EXPECT_EQ(U32(file, 9 * 64 + 4, true), 57u);

    nTwo = 9;
    memo.WriteMemo(nTwo, nLength, std::string(120, 'f'));
    EXPECT_EQ(nTwo, 9u) << "120 + 8 fill the old memo's two blocks";
    EXPECT_EQ(ReadText(memo, 9), std::string(120, 'f'));
    EXPECT_EQ(ReadText(memo, 11), "e");

    const auto before = ReadFileBytes(strPath);
    memo.WriteMemo(nTwo, nLength, "");
    EXPECT_EQ(nTwo, 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before) << "an empty text writes nothing";
}
