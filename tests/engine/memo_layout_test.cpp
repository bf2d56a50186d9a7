// The four memo layouts: dBASE III (memos ended by 0x1A), dBASE IV (an
// 8-byte block header, a chain of free runs taken from their tail, freed runs
// merged with one neighbour), FoxPro (big-endian numbers) and .SMT (bare
// bytes whose length lives in the record, a sorted table of at most 81 free
// runs). Memos are rewritten in place while they fit their blocks.
#include <functional>

#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"

using namespace testing_support;
using dbf::CDBTMemoFile;
using dbf::CFPTMemoFile;
using dbf::CMemoFile;
using dbf::CSMTMemoFile;

namespace {

template <class Memo>
int OpenCode(const std::string& strPath) {
    Memo memo;
    const int nCode = ErrorCodeOf([&] { memo.Open(strPath, kReadWrite); });
    EXPECT_TRUE(nCode == 0 || !memo.IsOpen());
    return nCode;
}

std::string Zeros(const TempDir& dir, const std::string& strName, size_t nBytes) {
    WriteFileBytes(dir.Path(strName), std::string(nBytes, '\0'));
    return dir.Path(strName);
}

// Text that needs exactly n blocks of 512 with its 8-byte dBASE IV block header.
std::string TextOfBlocks(int n) { return std::string(size_t(n) * 512 - 8, 't'); }

// .SMT blocks of 32: the 510-byte header fills blocks 0 to 15. Blocks 16 to
// nBlocks - 1 hold one-block memos "m16", "m17", ...
CMemoImage Filled(uint32_t nBlocks, const Runs& free = {}) {
    CMemoImage image = CMemoImage::Smt(nBlocks, 32, free);
    for (uint32_t n = 16; n < nBlocks; ++n) image.AtBlock(n, "m" + std::to_string(n));
    return image.Blocks(nBlocks);
}

}  // namespace

TEST(MemoOpen, DamagedHeadersAreRefusedWithTheirCodes) {
    TempDir dir;
    const struct {
        const char* pszWhat;
        int nCode, nExpected;
    } cases[] = {
        {"dBASE III missing", OpenCode<CMemoFile>(dir.Path("missing.dbt")), dbf::errCantOpenMemo},
        {"dBASE III 21 bytes", OpenCode<CMemoFile>(Zeros(dir, "s.dbt", 21)), dbf::errMemoHeader},
        {"dBASE IV block size 0", OpenCode<CDBTMemoFile>(CMemoImage::DBase4(1, 0).Save(dir, "z.dbt")), dbf::errMemoBlockSize},
        {"dBASE IV block smaller than a block header", OpenCode<CDBTMemoFile>(CMemoImage::DBase4(1, 7).Save(dir, "t.dbt")),
         dbf::errMemoBlockSize},
        {"FoxPro block size 0", OpenCode<CFPTMemoFile>(CMemoImage::Fpt(8, 0).Save(dir, "z.fpt")), dbf::errMemoBlockSize},
        {"FoxPro 7 bytes", OpenCode<CFPTMemoFile>(Zeros(dir, "s.fpt", 7)), dbf::errMemoHeader},
        {"SMT block size 0", OpenCode<CSMTMemoFile>(CMemoImage::Smt(16, 0).Save(dir, "z.smt")), dbf::errMemoBlockSize},
        {"SMT 82 entries in a table of 81", OpenCode<CSMTMemoFile>(Filled(18).Le16(18, 82).Save(dir, "c.smt")),
         dbf::errMemoHeader},
        {"SMT 509 bytes", OpenCode<CSMTMemoFile>(Zeros(dir, "s.smt", 509)), dbf::errMemoHeader},
        {"SMT 81 entries", OpenCode<CSMTMemoFile>(Filled(18).Le16(18, 81).Save(dir, "a.smt")), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.nCode, c.nExpected) << c.pszWhat;

    CMemoFile memo;
    std::string strText = "stale";
    uint32_t nLength = 0, nBlock = 7;
    memo.ReadMemoText(1, nLength, strText);
    memo.WriteMemo(nBlock, nLength, "text");
    EXPECT_TRUE(strText.empty());
    EXPECT_EQ(nBlock, 7u) << "a closed memo file does nothing";
    memo.Open(CMemoImage::DBase3(1).Save(dir, "good.dbt"), kReadWrite);
    memo.Open(dir.Path("missing.dbt"), kReadWrite);
    EXPECT_EQ(memo.GetFilePath(), dir.Path("good.dbt")) << "opening an open file changes nothing";
}

TEST(MemoDBase3, ReadsUpToTheFirstEndByteOrTheEndOfTheFile) {
    TempDir dir;
    const std::string strLong(20000, 'x');  // longer than one read chunk
    CMemoImage image = CMemoImage::DBase3(60);
    image.AtBlock(1, "first\x1A\x1Arest").AtBlock(2, strLong + "\x1Atail").AtBlock(60, "no end byte");
    CMemoFile memo, small;
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
    small.Open(CMemoImage::DBase3(9, 64).Save(dir, "b.dbt"), kReadWrite);
    EXPECT_EQ(small.GetBlockSize(), 64u);
}

TEST(MemoDBase3, EndsMemosWithTwoEndBytesAndRewritesInPlaceOnlyWhileTheyFit) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, std::string(510, 'a')).Save(dir, "a.dbt");
    CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(memo, 1, std::string(510, 'b')), 1u) << "510 characters and the two end bytes fill one block";
    EXPECT_EQ(WriteText(memo, 1, std::string(511, 'c')), 2u) << "511 need a second block: appended";
    EXPECT_EQ(ReadText(memo, 1), std::string(510, 'b')) << "the old memo stays";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(U32(file, 0), 4u);
    EXPECT_EQ(file.size(), 1024u + 513u) << "not padded";
    EXPECT_EQ(std::string(file.end() - 2, file.end()), "\x1A\x1A");
    // A shorter text ends with the pair too: readers that stop only there
    // must not run on into the longer text's tail.
    EXPECT_EQ(WriteText(memo, 2, "short"), 2u);
    EXPECT_EQ(ReadText(memo, 2), "short");
    file = ReadFileBytes(strPath);
    EXPECT_EQ(std::string(file.begin() + 1024, file.begin() + 1031), "short\x1A\x1A");
    const auto before = ReadFileBytes(strPath);
    EXPECT_EQ(WriteText(memo, 2, ""), 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before) << "an empty text writes nothing";
}

TEST(MemoDBase4, ReadsTheStoredLengthAndRefusesImpossibleOnes) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(6);
    image.DBase4Memo(1, "Hello, memo").DBase4Memo(2, "").Blocks(6);
    image.DBase4Memo(3, "").Le32(3 * 512 + 4, 7).DBase4Memo(4, "").Le32(4 * 512 + 4, 0x80000008);
    image.DBase4Run(5, 0, 9).Put(5 * 512 + 8, "x");  // no marker
    CDBTMemoFile memo;
    memo.Open(image.Save(dir, "a.dbt"), kReadWrite);
    uint32_t nLength = 0;
    EXPECT_EQ(ReadText(memo, 1, 0, &nLength), "Hello, memo");
    EXPECT_EQ(nLength, 11u);
    for (uint32_t nBlock : {2u, 3u, 4u})
        EXPECT_EQ(ReadCode(memo, nBlock), dbf::errInvalidMemoRef) << "stored length 8, 7, 0x80000008";
    EXPECT_EQ(ReadText(memo, 5), "x") << "the marker is not needed to read";
}

TEST(MemoDBase4, AppendPadsTheFileAndMovesTheEndOfAnEmptyChain) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(1).Save(dir, "a.dbt");
    CDBTMemoFile memo, other;
    memo.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(memo, 0, TextOfBlocks(2)), 1u);
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 3u * 512);
    EXPECT_EQ(U32(file, 0), 3u) << "the empty chain ends at the new end of the file";
    EXPECT_EQ(U32(file, 512), 0x0008FFFFu);
    EXPECT_EQ(U32(file, 516), 1024u);

    // A chain with a run in it is left alone.
    std::string strChained = CMemoImage::DBase4(1).DBase4Run(1, 3, 1).DBase4Memo(2, "a").Blocks(3).Save(dir, "b.dbt");
    other.Open(strChained, kReadWrite);
    EXPECT_EQ(WriteText(other, 0, TextOfBlocks(2)), 3u);
    EXPECT_EQ(U32(ReadFileBytes(strChained), 0), 1u);
}

TEST(MemoDBase4, SameBlockCountRewritesInPlaceFewerMovesToTheFreedRunsTail) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(4).DBase4Memo(1, TextOfBlocks(3)).Blocks(4).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(memo, 1, std::string(1100, 'b')), 1u);
    EXPECT_EQ(ReadText(memo, 1), std::string(1100, 'b'));
    EXPECT_EQ(WriteText(memo, 1, "now short"), 3u) << "the old run is freed, then its tail taken";
    EXPECT_EQ(ReadText(memo, 3), "now short");
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(DBase4Chain(file), (Runs{{1, 2}}));
    EXPECT_EQ(U32(file, 512), 4u) << "the run links to the end-of-file block";
    EXPECT_EQ(file.size(), 4u * 512);
}

TEST(MemoDBase4, AnExactFitUnlinksTheRun) {
    TempDir dir;
    std::string strPath =
        CMemoImage::DBase4(1).DBase4Run(1, 3, 1).DBase4Memo(2, "mid").DBase4Run(3, 5, 2).Blocks(5).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    EXPECT_EQ(WriteText(memo, 0, TextOfBlocks(2)), 3u);
    EXPECT_EQ(U32(ReadFileBytes(strPath), 512), 5u) << "run 1 links to what run 3 linked to";
    EXPECT_EQ(WriteText(memo, 0, "x"), 1u);
    EXPECT_EQ(U32(ReadFileBytes(strPath), 0), 5u) << "the header links past the first run";
    EXPECT_EQ(ReadText(memo, 2), "mid");
}

TEST(MemoDBase4, FreedBlocksMergeWithOneNeighbourOrJoinTheEndOfTheChain) {
    struct Case {
        const char* pszWhat;
        std::function<void(CMemoImage&)> build;  // five blocks, memo at the block freed
        uint32_t nFirstFree, nFreed;
        Runs chain;
    } cases[] = {
        {"after a run: the run grows", [](CMemoImage& m) { m.DBase4Run(1, 5, 1).DBase4Memo(2, "x"); }, 1, 2, {{1, 2}}},
        {"before a run: takes it over", [](CMemoImage& m) { m.DBase4Memo(2, "x").DBase4Run(3, 5, 1); }, 3, 2, {{2, 2}}},
        {"between two runs: merges with the first only",
         [](CMemoImage& m) { m.DBase4Run(1, 3, 1).DBase4Memo(2, "x").DBase4Run(3, 5, 1); }, 1, 2, {{1, 2}, {3, 1}}},
        {"no neighbour: the last run", [](CMemoImage& m) { m.DBase4Run(1, 5, 1).DBase4Memo(3, "x"); }, 1, 3,
         {{1, 1}, {3, 1}}},
        {"empty chain: the header names it", [](CMemoImage& m) { m.DBase4Memo(3, "x"); }, 5, 3, {{3, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        TempDir dir;
        CMemoImage image = CMemoImage::DBase4(c.nFirstFree);
        c.build(image);
        std::string strPath = image.DBase4Memo(4, "after").Blocks(5).Save(dir, "a.dbt");
        CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        EXPECT_EQ(WriteText(memo, c.nFreed, ""), 0u);
        auto file = ReadFileBytes(strPath);
        EXPECT_EQ(DBase4Chain(file), c.chain);
        EXPECT_EQ(U32(file, size_t(c.chain.back().first) * 512), 5u) << "the chain ends at the end";
        EXPECT_EQ(ReadText(memo, 4), "after");
    }
}

TEST(MemoFpt, BigEndianHeaderAndMemoLengths) {
    TempDir dir;
    CMemoImage image = CMemoImage::Fpt(0x0102);
    image.FptMemo(8, "text memo").FptMemo(9, "picture", 0).FptMemo(10, "").FptMemo(11, "").Be32(11 * 64 + 4, 0x80000001);
    CFPTMemoFile memo;
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
    EXPECT_EQ(WriteText(memo, 8, std::string(30, 'c')), 8u) << "fits the old block";
    EXPECT_EQ(U32(ReadFileBytes(strPath), 8 * 64, true), 0u) << "the type word stays";
    EXPECT_EQ(WriteText(memo, 8, std::string(57, 'd')), 9u) << "57 + 8 no longer fit one block: appended";
    EXPECT_EQ(WriteText(memo, 0, "e"), 11u) << "after the two blocks of the 57-byte memo";
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(U32(file, 0, true), 12u);
    EXPECT_EQ(U32(file, 9 * 64, true), 1u) << "appended memos are text";
    EXPECT_EQ(U32(file, 9 * 64 + 4, true), 57u);

    EXPECT_EQ(WriteText(memo, 9, std::string(120, 'f')), 9u) << "120 + 8 fill the old memo's two blocks";
    EXPECT_EQ(ReadText(memo, 9), std::string(120, 'f'));
    EXPECT_EQ(ReadText(memo, 11), "e");
    const auto before = ReadFileBytes(strPath);
    EXPECT_EQ(WriteText(memo, 9, ""), 0u);
    EXPECT_EQ(ReadFileBytes(strPath), before) << "an empty text writes nothing";
}

TEST(MemoSmt, ReadsUseTheRecordsLength) {
    TempDir dir;
    CSMTMemoFile memo;
    memo.Open(Filled(18).AtBlock(17, "hello world").Save(dir, "a.smt"), kReadWrite);
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
    uint32_t nBlock = 17, nLength = 64, nNew = 0;
    memo.WriteMemo(nBlock, nLength, std::string(33, 'n'));
    EXPECT_EQ(nBlock, 17u) << "two blocks either way: in place";
    EXPECT_EQ(nLength, 33u);
    memo.WriteMemo(nBlock, nLength, "tiny");
    EXPECT_EQ(nBlock, 18u) << "one block: the old run is freed and its tail reused";
    EXPECT_EQ(nLength, 4u);
    EXPECT_EQ(ReadText(memo, nBlock, nLength), "tiny");
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{1, 17}}));

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
        EXPECT_EQ(nBlock | nLength, 0u) << "a freed memo leaves no block and no length";
    }
    EXPECT_EQ(SmtFreeTable(ReadFileBytes(strPath)), (Runs{{1, 17}, {3, 19}, {1, 22}, {1, 25}, {1, 30}, {1, 35}}))
        << "19 merged into the entry it precedes; 22, right after an entry, gets its own";
    EXPECT_EQ(WriteText(memo, 0, std::string(64, 'x')), 20u) << "the first entry that fits gives its last two blocks";
    EXPECT_EQ(WriteText(memo, 0, "y"), 17u);
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
    for (uint32_t nFree : {20u, 290u, 99u}) {
        WriteText(memo, nFree, "", 3);
        if (nFree != 99) {
            EXPECT_EQ(ReadFileBytes(strPath), before) << "no room for block " << nFree << ": header not written";
        }
    }
    auto table = SmtFreeTable(ReadFileBytes(strPath));
    ASSERT_EQ(table.size(), 81u);
    EXPECT_EQ(table[0], (std::pair<uint32_t, uint32_t>{2, 99})) << "merging needs no new entry";
}
