// Memo files damaged by other programs: lengths past the end, references
// outside the file, free chains and tables that loop or point anywhere, and
// header pointers that would send a memo over the header. Each gets its
// error or a safe placement, never a hang, a huge allocation or a write over
// somebody else's memo.
#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "tests/engine/memo_builder.h"

using memo_testing::CMemoImage;
using memo_testing::DBase4Chain;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadWrite;
using memo_testing::Le32At;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

template <class Memo>
int ReadCode(Memo& memo, uint32_t nBlock, uint32_t nLength = 0) {
    return ErrorCodeOf([&] {
        std::string strText;
        memo.ReadMemoText(nBlock, nLength, strText);
    });
}

template <class Memo>
std::string ReadText(Memo& memo, uint32_t nBlock, uint32_t nLength = 0) {
    std::string strText;
    memo.ReadMemoText(nBlock, nLength, strText);
    return strText;
}

}  // namespace

TEST(MemoDamaged, StatedLengthsPastTheEndRaiseInsteadOfAllocating) {
    TempDir dir;
    CMemoImage dbt = CMemoImage::DBase4(3);
    dbt.DBase4Memo(1, "ok").Blocks(3).Le32(2 * 512, 0x0008FFFF).Le32(2 * 512 + 4, 0x7FFFFFF0);
    dbt.Le32(512 + 4, 1025);  // one byte more than the rest of the file holds
    dbf::CDBTMemoFile dbase4;
    dbase4.Open(dbt.Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(ReadCode(dbase4, 1), dbf::errInvalidMemoRef);
    EXPECT_EQ(ReadCode(dbase4, 2), dbf::errInvalidMemoRef) << "two gigabytes in a 1.5 KB file";

    CMemoImage fpt = CMemoImage::Fpt(10);
    fpt.FptMemo(8, std::string(56, 'a')).Blocks(10).Be32(9 * 64 + 4, 57);
    dbf::CFPTMemoFile fox;
    fox.Open(fpt.Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(ReadText(fox, 8), std::string(56, 'a')) << "a memo that fills its block is fine";
    EXPECT_EQ(ReadCode(fox, 9), dbf::errInvalidMemoRef);

    dbf::CSMTMemoFile smt;
    smt.Open(CMemoImage::Smt(17, 32).AtBlock(16, std::string(32, 's')).Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(ReadText(smt, 16, 32), std::string(32, 's'));
    EXPECT_EQ(ReadCode(smt, 16, 33), dbf::errInvalidMemoRef);
    EXPECT_EQ(ReadCode(smt, 16, 0xFFFFFFFF), dbf::errInvalidMemoRef);
}

TEST(MemoDamaged, ReferencesIntoTheHeaderOrPastTheEndRaise) {
    TempDir dir;
    dbf::CMemoFile dbase3;
    dbase3.Open(CMemoImage::DBase3(2).DBase3Memo(1, "x").Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(ReadCode(dbase3, 0), dbf::errInvalidMemoRef) << "block 0 is the header";
    EXPECT_EQ(ReadCode(dbase3, 2), dbf::errInvalidMemoRef) << "starts at the end of the file";
    EXPECT_EQ(ReadCode(dbase3, 0xFFFFFFFF), dbf::errInvalidMemoRef);

    dbf::CFPTMemoFile fox;
    fox.Open(CMemoImage::Fpt(9).FptMemo(8, "x").Blocks(9).Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(ReadCode(fox, 1), dbf::errInvalidMemoRef) << "FoxPro's header holds 512 bytes";
    EXPECT_EQ(ReadCode(fox, 9), dbf::errInvalidMemoRef);
}

TEST(MemoDamaged, BlockOffsetsAreComputedIn64Bits) {
    TempDir dir;
    // 0x800000 x 512 and 0x10000 x 0x10000 are 2^32: in 32 bits they wrap to
    // offset 0 and would read the header as a memo.
    dbf::CDBTMemoFile dbase4;
    dbase4.Open(CMemoImage::DBase4(2).DBase4Memo(1, "x").Blocks(2).Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(ReadCode(dbase4, 0x800000), dbf::errInvalidMemoRef);

    CMemoImage smtImage = CMemoImage::Smt(2, 0x10000);
    smtImage.AtBlock(1, "data");
    dbf::CSMTMemoFile smt;
    smt.Open(smtImage.Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(ReadText(smt, 1, 4), "data");
    EXPECT_EQ(ReadCode(smt, 0x10000, 4), dbf::errInvalidMemoRef);
}

TEST(MemoDamaged, LoopingFreeChainEndsTheWalk) {
    TempDir dir;
    // header -> 1 -> 3 -> 1 -> ... : every run too small for the new memo.
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 1).DBase4Memo(2, "keep").DBase4Run(3, 1, 1).Blocks(4);
    std::string strPath = image.Save(dir, "a.dbt");
    dbf::CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(1000, 'z'));
    EXPECT_EQ(nBlock, 4u) << "no run fits: appended";
    // Freeing walks the same loop and still ends; the memo joins the chain.
    uint32_t nKeep = 2;
    memo.WriteMemo(nKeep, nLength, "");
    EXPECT_EQ(ReadText(memo, 4), std::string(1000, 'z'));
}

TEST(MemoDamaged, FreeChainLeavingTheFileIsNotFollowed) {
    TempDir dir;
    for (uint32_t nLink : {0u, 1000u, 0xFFFFFFFEu}) {
        CMemoImage image = CMemoImage::DBase4(nLink);
        image.DBase4Memo(1, "keep").Blocks(2);
        std::string strPath = image.Save(dir, "a.dbt");
        dbf::CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        uint32_t nBlock = 0, nLength = 0;
        memo.WriteMemo(nBlock, nLength, "new");
        EXPECT_EQ(nBlock, 2u) << "first free " << nLink;
        EXPECT_EQ(ReadText(memo, 1), "keep");
    }
    // A run whose count reaches past the end of the file is no free space.
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 50).DBase4Memo(2, "keep").Blocks(3);
    dbf::CDBTMemoFile memo;
    memo.Open(image.Save(dir, "b.dbt"), kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "new");
    EXPECT_EQ(nBlock, 3u);
    EXPECT_EQ(ReadText(memo, 2), "keep");
}

TEST(MemoDamaged, AStaleChainEndPointingAtAMemoIsNotTakenForFreeSpace) {
    TempDir dir;
    // Run 1 still links to block 2, the end of the file before a memo was
    // appended there. Read as a run, that memo would look like 18 free
    // blocks and the next memo would land on top of memos 3 to 30.
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 2, 1).DBase4Memo(2, "ten bytes!");
    for (uint32_t n = 3; n < 31; ++n) image.DBase4Memo(n, "memo " + std::to_string(n));
    std::string strPath = image.Blocks(31).Save(dir, "a.dbt");
    dbf::CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(600, 'w'));
    EXPECT_EQ(nBlock, 31u);
    for (uint32_t n = 3; n < 31; ++n) EXPECT_EQ(ReadText(memo, n), "memo " + std::to_string(n));
    EXPECT_EQ(ReadText(memo, 2), "ten bytes!");
}

TEST(MemoDamaged, FreeingTheSameMemoTwiceKeepsTheChainSound) {
    TempDir dir;
    // Two records naming one memo: both get cleared.
    for (bool bRunBefore : {false, true}) {
        CMemoImage image = CMemoImage::DBase4(bRunBefore ? 1 : 4);
        if (bRunBefore) image.DBase4Run(1, 4, 1);
        else image.DBase4Memo(1, "a");
        image.DBase4Memo(2, "shared").DBase4Memo(3, "b").Blocks(4);
        std::string strPath = image.Save(dir, "a.dbt");
        dbf::CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        for (int i = 0; i < 2; ++i) {
            uint32_t nBlock = 2, nLength = 0;
            memo.WriteMemo(nBlock, nLength, "");
        }
        auto runs = DBase4Chain(ReadFileBytes(strPath));
        EXPECT_EQ(runs.size(), 1u) << (bRunBefore ? "merged into the run before" : "a run of its own");
        uint32_t nA = 0, nB = 0, nLength = 0;
        memo.WriteMemo(nA, nLength, "one");
        memo.WriteMemo(nB, nLength, "two");
        EXPECT_NE(nA, nB) << "the same blocks are never handed out twice";
        EXPECT_EQ(ReadText(memo, 3), "b");
    }

    TempDir smtDir;
    std::string strPath = CMemoImage::Smt(20, 32).Blocks(20).Save(smtDir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strPath, kReadWrite);
    for (int i = 0; i < 2; ++i) {
        uint32_t nBlock = 17, nLength = 40;
        smt.WriteMemo(nBlock, nLength, "");
    }
    EXPECT_EQ(memo_testing::SmtFreeTable(ReadFileBytes(strPath)),
              (std::vector<std::pair<uint16_t, uint32_t>>{{2, 17}}));
}

TEST(MemoDamaged, SmtFreeEntriesOutsideTheFileAreNotUsed) {
    TempDir dir;
    CMemoImage image = CMemoImage::Smt(20, 32, {{1, 0}, {0, 17}, {5, 18}, {1, 500}});
    std::string strPath = image.AtBlock(16, "head-safe").Blocks(20).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    smt.WriteMemo(nBlock, nLength, "x");
    EXPECT_EQ(nBlock, 20u) << "block 0 is the header, 18+5 passes the end, 500 is outside: appended";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(Le32At(file, 4), 32u) << "header intact";
    EXPECT_EQ(ReadText(smt, 16, 9), "head-safe");
}

TEST(MemoDamaged, SmtEntryCountGrownAfterOpeningIsBounded) {
    TempDir dir;
    std::string strPath = CMemoImage::Smt(20, 32).Blocks(20).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strPath, kReadWrite);
    // Another program writes a count of 60000 into the header.
    auto bytes = ReadFileBytes(strPath);
    bytes[18] = 0x60;
    bytes[19] = 0xEA;
    testing_support::WriteFileBytes(strPath, bytes);
    uint32_t nBlock = 17, nLength = 3;
    smt.WriteMemo(nBlock, nLength, "");
    nBlock = 0;
    smt.WriteMemo(nBlock, nLength, "new");
    EXPECT_GE(nBlock, 16u);
    EXPECT_EQ(ReadText(smt, nBlock, 3), "new");
}

TEST(MemoDamaged, HeaderPointersIntoTheHeaderOrFarPastTheEndAppendAtTheEnd) {
    TempDir dir;
    for (uint32_t nNext : {0u, 5000u}) {
        std::string strPath = CMemoImage::DBase3(nNext).DBase3Memo(1, "keep").Save(dir, "a.dbt");
        dbf::CMemoFile memo;
        memo.Open(strPath, kReadWrite);
        uint32_t nBlock = 0, nLength = 0;
        memo.WriteMemo(nBlock, nLength, "new");
        EXPECT_EQ(nBlock, 2u) << "next available " << nNext;
        auto file = ReadFileBytes(strPath);
        EXPECT_EQ(Le32At(file, 0), 3u);
        EXPECT_LT(file.size(), 2000u) << "no hole up to block 5000";
        EXPECT_EQ(ReadText(memo, 1), "keep");
    }
    std::string strFox = CMemoImage::Fpt(2).FptMemo(8, "keep").Blocks(9).Save(dir, "a.fpt");
    dbf::CFPTMemoFile fox;
    fox.Open(strFox, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    fox.WriteMemo(nBlock, nLength, "new");
    EXPECT_EQ(nBlock, 9u) << "block 2 lies inside FoxPro's 512-byte header";
    EXPECT_EQ(memo_testing::Be32At(ReadFileBytes(strFox), 4) & 0xFFFF, 64u) << "block size untouched";
}

TEST(MemoDamaged, ReplacingAReferenceThatNamesNoMemoPlacesTheTextAnew) {
    TempDir dir;
    // Block 2 holds the head of a free run, not a memo: a record still naming
    // it must neither free it again nor rewrite it.
    CMemoImage image = CMemoImage::DBase4(2);
    image.DBase4Memo(1, "a").DBase4Run(2, 4, 2).Blocks(4);
    std::string strPath = image.Save(dir, "a.dbt");
    dbf::CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 2, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(1000, 'q'));  // two blocks
    EXPECT_EQ(nBlock, 2u) << "the run itself is taken";
    EXPECT_TRUE(DBase4Chain(ReadFileBytes(strPath)).empty());

    // References past the end are replaced by an append, in every layout.
    uint32_t nFar = 900;
    memo.WriteMemo(nFar, nLength, "far");
    EXPECT_EQ(nFar, 4u);
    std::string strSmt = CMemoImage::Smt(17, 32).Blocks(17).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strSmt, kReadWrite);
    nFar = 900;
    nLength = 10;
    smt.WriteMemo(nFar, nLength, "far");
    EXPECT_EQ(nFar, 17u);
    EXPECT_TRUE(memo_testing::SmtFreeTable(ReadFileBytes(strSmt)).empty()) << "nothing was freed";
}
