// The FoxPro .FPT/.DCT layout: big-endian header and block headers, memos
// rewritten in place while they fit their blocks, appended otherwise.
#include <gtest/gtest.h>

#include "engine/fpt_memo_file.h"
#include "tests/engine/memo_builder.h"

using dbf::CFPTMemoFile;
using memo_testing::Be32At;
using memo_testing::CMemoImage;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadWrite;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

std::string ReadText(CFPTMemoFile& memo, uint32_t nBlock) {
    std::string strText;
    uint32_t nLength = 0;
    memo.ReadMemoText(nBlock, nLength, strText);
    EXPECT_EQ(nLength, strText.size());
    return strText;
}

}  // namespace

TEST(MemoFpt, HeaderNumbersAreBigEndian) {
    TempDir dir;
    CMemoImage image = CMemoImage::Fpt(0x0102, 64);
    CFPTMemoFile memo;
    memo.Open(image.Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(memo.GetMemoType(), dbf::memoFoxPro);
    EXPECT_EQ(memo.GetBlockSize(), 64u) << "bytes 6-7 hold 00 40";
    EXPECT_EQ(memo.GetNextBlock(), 0x0102u);

    CFPTMemoFile big;
    big.Open(CMemoImage::Fpt(1, 0x0200).Save(dir, "b.fpt"), kReadWrite);
    EXPECT_EQ(big.GetBlockSize(), 512u);
    CFPTMemoFile zero, shortHeader;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::Fpt(8, 0).Save(dir, "z.fpt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    testing_support::WriteFileBytes(dir.Path("s.fpt"), std::string(7, '\0'));
    EXPECT_EQ(ErrorCodeOf([&] { shortHeader.Open(dir.Path("s.fpt"), kReadWrite); }), dbf::errMemoHeader);
}

TEST(MemoFpt, ReadsTheBigEndianLengthAndIgnoresTheType) {
    TempDir dir;
    CMemoImage image = CMemoImage::Fpt(12);
    image.FptMemo(8, "text memo").FptMemo(9, "picture", 0).FptMemo(10, "").Blocks(12);
    image.Be32(11 * 64, 1).Be32(11 * 64 + 4, 0x80000001);
    CFPTMemoFile memo;
    memo.Open(image.Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(ReadText(memo, 8), "text memo");
    std::vector<uint8_t> bytes;
    uint32_t nLength = 0;
    memo.ReadMemoBinary(9, nLength, bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "picture");
    EXPECT_EQ(nLength, 7u);
    EXPECT_EQ(ErrorCodeOf([&] { ReadText(memo, 10); }), dbf::errInvalidMemoRef) << "length 0";
    EXPECT_EQ(ErrorCodeOf([&] { ReadText(memo, 11); }), dbf::errInvalidMemoRef) << "top bit set";
}

TEST(MemoFpt, BlockCountIncludesTheEightByteHeader) {
    TempDir dir;
    std::string strPath = CMemoImage::Fpt(8).Save(dir, "a.fpt");
    CFPTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nFirst = 0, nSecond = 0, nThird = 0, nLength = 0;
    memo.WriteMemo(nFirst, nLength, std::string(56, 'a'));
    memo.WriteMemo(nSecond, nLength, std::string(57, 'b'));
    memo.WriteMemo(nThird, nLength, "c");
    EXPECT_EQ(nFirst, 8u) << "56 + 8 fill one block";
    EXPECT_EQ(nSecond, 9u);
    EXPECT_EQ(nThird, 11u) << "57 + 8 take two blocks";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(Be32At(file, 0), 12u);
    EXPECT_EQ(Be32At(file, 9 * 64), 1u) << "type 1, text";
    EXPECT_EQ(Be32At(file, 9 * 64 + 4), 57u);
    EXPECT_EQ(ReadText(memo, 9), std::string(57, 'b'));
}

TEST(MemoFpt, RewritesInPlaceWhileTheTextFitsAndKeepsTheType) {
    TempDir dir;
    CMemoImage image = CMemoImage::Fpt(11);
    image.FptMemo(8, std::string(56, 'a'), 0).FptMemo(9, std::string(57, 'b')).Blocks(11);
    std::string strPath = image.Save(dir, "a.fpt");
    CFPTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 8, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(30, 'c'));
    EXPECT_EQ(nBlock, 8u);
    EXPECT_EQ(Be32At(ReadFileBytes(strPath), 8 * 64), 0u) << "the type word stays";
    memo.WriteMemo(nBlock, nLength, std::string(57, 'd'));
    EXPECT_EQ(nBlock, 11u) << "57 bytes no longer fit one block: appended";
    EXPECT_EQ(Be32At(ReadFileBytes(strPath), 0), 13u);

    uint32_t nTwo = 9;
    memo.WriteMemo(nTwo, nLength, std::string(120, 'e'));
    EXPECT_EQ(nTwo, 9u) << "120 + 8 fill the two blocks of the old memo";
    EXPECT_EQ(ReadText(memo, 9), std::string(120, 'e'));
    EXPECT_EQ(ReadText(memo, 11), std::string(57, 'd'));
}

TEST(MemoFpt, EmptyTextGivesBlockZeroAndWritesNothing) {
    TempDir dir;
    std::string strPath = CMemoImage::Fpt(9).FptMemo(8, "keep").Blocks(9).Save(dir, "a.fpt");
    auto before = ReadFileBytes(strPath);
    CFPTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 8, nLength = 4;
    memo.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before);
}
