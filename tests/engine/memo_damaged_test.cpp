// Memo files damaged by other programs: lengths past the end, references
// outside the file, free chains and tables that loop or point anywhere, and
// header pointers that would send a memo over the header or other memos.
// Each gets its error or a safe placement, never a hang, a huge allocation
// or a write over somebody else's memo.
#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"

using namespace testing_support;

TEST(MemoDamaged, LengthsAndReferencesOutsideTheFileRaiseBeforeAllocating) {
    TempDir dir;
    CMemoImage dbt = CMemoImage::DBase4(3);
    dbt.DBase4Memo(1, "ok").Le32(512 + 4, 1025).DBase4Memo(2, "").Le32(2 * 512 + 4, 0x7FFFFFF0).Blocks(3);
    dbf::CDBTMemoFile dbase4;
    dbase4.Open(dbt.Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(ReadCode(dbase4, 1), dbf::errInvalidMemoRef) << "one byte more than the rest of the file";
    EXPECT_EQ(ReadCode(dbase4, 2), dbf::errInvalidMemoRef) << "two gigabytes in a 1.5 KB file";
    EXPECT_EQ(ReadCode(dbase4, 0x800000), dbf::errInvalidMemoRef) << "0x800000 x 512 is 2^32, not offset 0";

    dbf::CFPTMemoFile fox;
    fox.Open(CMemoImage::Fpt(10).FptMemo(8, std::string(56, 'a')).FptMemo(9, "").Be32(9 * 64 + 4, 57).Blocks(10)
                 .Save(dir, "a.fpt"), kReadWrite);
    EXPECT_EQ(ReadText(fox, 8), std::string(56, 'a'));
    EXPECT_EQ(ReadCode(fox, 9), dbf::errInvalidMemoRef);
    EXPECT_EQ(ReadCode(fox, 1), dbf::errInvalidMemoRef) << "FoxPro's header holds 512 bytes";

    dbf::CSMTMemoFile smt;
    smt.Open(CMemoImage::Smt(2, 0x10000).AtBlock(1, "data").Save(dir, "a.smt"), kReadWrite);
    EXPECT_EQ(ReadText(smt, 1, 4), "data");
    EXPECT_EQ(ReadCode(smt, 1, 5), dbf::errInvalidMemoRef);
    EXPECT_EQ(ReadCode(smt, 1, 0xFFFFFFFF), dbf::errInvalidMemoRef);
    EXPECT_EQ(ReadCode(smt, 0x10000, 4), dbf::errInvalidMemoRef) << "0x10000 x 0x10000 is 2^32, not offset 0";

    dbf::CMemoFile dbase3;
    dbase3.Open(CMemoImage::DBase3(2).DBase3Memo(1, "x").Save(dir, "b.dbt"), kReadWrite);
    EXPECT_EQ(ReadCode(dbase3, 0), dbf::errInvalidMemoRef) << "block 0 is the header";
    EXPECT_EQ(ReadCode(dbase3, 2), dbf::errInvalidMemoRef) << "starts at the end of the file";
}

TEST(MemoDamaged, FreeChainsThatLoopOrLeaveTheFileEndTheWalk) {
    TempDir dir;
    struct {
        const char* pszWhat;
        uint32_t nFirstFree;
        uint32_t nNext1, nCount1;  // the run at block 1
    } cases[] = {
        {"a loop 1 -> 3 -> 1", 1, 3, 1},
        {"a link to block 0", 0, 0, 0},
        {"a link past the end", 1000, 0, 0},
        {"a run counting past the end", 1, 5, 50},
    };
    for (const auto& c : cases) {
        CMemoImage image = CMemoImage::DBase4(c.nFirstFree);
        image.DBase4Run(1, c.nNext1, c.nCount1).DBase4Memo(2, "keep").DBase4Run(3, 1, 1).DBase4Memo(4, "keep too");
        dbf::CDBTMemoFile memo;
        memo.Open(image.Blocks(5).Save(dir, "a.dbt"), kReadWrite);
        EXPECT_EQ(WriteText(memo, 0, std::string(1000, 'z')), 5u) << c.pszWhat << ": nothing fits, appended";
        WriteText(memo, 4, "");  // a free walks the same chain
        EXPECT_EQ(ReadText(memo, 2), "keep") << c.pszWhat;
        EXPECT_EQ(ReadText(memo, 5), std::string(1000, 'z')) << c.pszWhat;
    }
}

TEST(MemoDamaged, AStaleLinkToTheOldEndOfTheFileIsNotFreeSpace) {
    TempDir dir;
    // Run 1 still links to block 2, the end of the file before a memo was
    // appended there. Read as a run, that memo would look like 18 free
    // blocks and the next memo would land on top of memos 3 to 30.
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 2, 1).DBase4Memo(2, "ten bytes!");
    for (uint32_t n = 3; n < 31; ++n) image.DBase4Memo(n, "memo " + std::to_string(n));
    dbf::CDBTMemoFile memo;
    memo.Open(image.Blocks(31).Save(dir, "a.dbt"), kReadWrite);
    EXPECT_EQ(WriteText(memo, 0, std::string(600, 'w')), 31u);
    for (uint32_t n = 3; n < 31; ++n) EXPECT_EQ(ReadText(memo, n), "memo " + std::to_string(n));
}

TEST(MemoDamaged, AMemoFreedTwiceIsListedOnce) {
    // Two records naming one memo, both cleared.
    for (bool bRunBefore : {false, true}) {
        TempDir dir;
        CMemoImage image = CMemoImage::DBase4(bRunBefore ? 1 : 4);
        if (bRunBefore) image.DBase4Run(1, 4, 1);
        std::string strPath = image.DBase4Memo(2, "shared").DBase4Memo(3, "b").Blocks(4).Save(dir, "a.dbt");
        dbf::CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        WriteText(memo, 2, "");
        WriteText(memo, 2, "");
        EXPECT_EQ(DBase4Chain(ReadFileBytes(strPath)).size(), 1u);
        EXPECT_NE(WriteText(memo, 0, "one"), WriteText(memo, 0, "two")) << "the same blocks are never handed out twice";
        EXPECT_EQ(ReadText(memo, 3), "b");
    }
    TempDir dir;
    std::string strPath = CMemoImage::Smt(20, 32).Blocks(20).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strPath, kReadWrite);
    WriteText(smt, 17, "", 40);
    WriteText(smt, 17, "", 40);
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{2, 17}}));
}

TEST(MemoDamaged, SmtFreeEntriesOutsideTheFileOrBeyond81AreNotUsed) {
    TempDir dir;
    std::string strPath = CMemoImage::Smt(20, 32, {{1, 0}, {0, 17}, {5, 18}, {1, 500}})
                              .AtBlock(16, "head-safe").Blocks(20).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(smt, 0, "x"), 20u) << "block 0 is the header, 18+5 passes the end, 500 is outside";
    EXPECT_EQ(ReadText(smt, 16, 9), "head-safe");

    // Another program writes a count of 60000 after we opened the file.
    auto bytes = ReadFileBytes(strPath);
    bytes[18] = 0x60;
    bytes[19] = 0xEA;
    WriteFileBytes(strPath, bytes);
    WriteText(smt, 17, "", 3);
    EXPECT_EQ(ReadText(smt, WriteText(smt, 0, "new"), 3), "new");
}

TEST(MemoDamaged, HeaderPointersThatDisagreeWithTheFileAppendAtItsEnd) {
    TempDir dir;
    for (uint32_t nNext : {0u, 1u, 5000u}) {  // the header, an existing memo, far past the end
        std::string strPath = CMemoImage::DBase3(nNext).DBase3Memo(1, "keep").DBase3Memo(2, "keep too").Save(dir, "a.dbt");
        dbf::CMemoFile memo;
        memo.Open(strPath, kReadWrite);
        EXPECT_EQ(WriteText(memo, 0, "new"), 3u) << "next available " << nNext;
        auto file = ReadFileBytes(strPath);
        EXPECT_EQ(U32(file, 0), 4u);
        EXPECT_EQ(file.size(), 3u * 512 + 5) << "no hole";
        EXPECT_EQ(ReadText(memo, 1), "keep");
        EXPECT_EQ(ReadText(memo, 2), "keep too");
    }
    std::string strFox = CMemoImage::Fpt(2).FptMemo(8, "keep").Blocks(9).Save(dir, "a.fpt");
    dbf::CFPTMemoFile fox;
    fox.Open(strFox, kReadWrite);
    EXPECT_EQ(WriteText(fox, 0, "new"), 9u) << "block 2 lies inside FoxPro's 512-byte header";
    EXPECT_EQ(U32(ReadFileBytes(strFox), 4, true), 64u) << "block size untouched";
}

TEST(MemoDamaged, AReferenceThatNamesNoMemoIsReplacedNotFreedOrRewritten) {
    TempDir dir;
    // Block 2 is the head of a free run, not a memo: a record still naming it
    // must neither free it again nor rewrite it.
    CMemoImage image = CMemoImage::DBase4(2);
    std::string strPath = image.DBase4Memo(1, "a").DBase4Run(2, 4, 2).Blocks(4).Save(dir, "a.dbt");
    dbf::CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(memo, 2, std::string(1000, 'q')), 2u) << "placed as a new memo: the run itself fits";
    EXPECT_TRUE(DBase4Chain(ReadFileBytes(strPath)).empty());
    EXPECT_EQ(WriteText(memo, 900, "far"), 4u);

    std::string strSmt = CMemoImage::Smt(17, 32).Blocks(17).Save(dir, "a.smt");
    dbf::CSMTMemoFile smt;
    smt.Open(strSmt, kReadWrite);
    EXPECT_EQ(WriteText(smt, 900, "far", 10), 17u);
    EXPECT_TRUE(SmtFreeTable(ReadFileBytes(strSmt)).empty()) << "nothing was freed";
}
