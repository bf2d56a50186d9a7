// The dBASE IV .DBT layout: memos with an 8-byte block header, a chain of
// free runs taken from their tail, freed runs merged with one neighbour.
#include <functional>

#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "tests/support/memo_builder.h"

using namespace memo_testing;
using dbf::CDBTMemoFile;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {
// Text that needs exactly n blocks of 512 with its 8-byte block header.
std::string TextOfBlocks(int n) { return std::string(size_t(n) * 512 - 8, 't'); }
}  // namespace

TEST(MemoDBase4, OpensAndReadsTheStoredLength) {
    TempDir dir;
    CDBTMemoFile zero, tiny;
    EXPECT_EQ(ErrorCodeOf([&] { zero.Open(CMemoImage::DBase4(1, 0).Save(dir, "z.dbt"), kReadWrite); }),
              dbf::errMemoBlockSize);
    EXPECT_EQ(ErrorCodeOf([&] { tiny.Open(CMemoImage::DBase4(1, 7).Save(dir, "t.dbt"), kReadWrite); }),
              dbf::errMemoBlockSize) << "too small for a memo's 8-byte block header";

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
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 1u);
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(file.size(), 3u * 512);
    EXPECT_EQ(U32(file, 0), 3u) << "the empty chain ends at the new end of the file";
    EXPECT_EQ(U32(file, 512), 0x0008FFFFu);
    EXPECT_EQ(U32(file, 516), 1024u);

    // A chain with a run in it is left alone.
    CMemoImage chained = CMemoImage::DBase4(1);
    std::string strChained = chained.DBase4Run(1, 3, 1).DBase4Memo(2, "a").Blocks(3).Save(dir, "b.dbt");
    CDBTMemoFile other;
    other.Open(strChained, kReadWrite);
    nBlock = 0;
    other.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 3u);
    EXPECT_EQ(U32(ReadFileBytes(strChained), 0), 1u);
}

TEST(MemoDBase4, SameBlockCountRewritesInPlaceFewerMovesToTheFreedRunsTail) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(4).DBase4Memo(1, TextOfBlocks(3)).Blocks(4).Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 1, nLength = 0;
    memo.WriteMemo(nBlock, nLength, std::string(1100, 'b'));
    EXPECT_EQ(nBlock, 1u);
    EXPECT_EQ(ReadText(memo, 1), std::string(1100, 'b'));
    memo.WriteMemo(nBlock, nLength, "now short");
    EXPECT_EQ(nBlock, 3u) << "the old run is freed, then its tail taken";
    EXPECT_EQ(ReadText(memo, 3), "now short");
    auto file = ReadFileBytes(strPath);
    EXPECT_EQ(DBase4Chain(file), (Runs{{1, 2}}));
    EXPECT_EQ(U32(file, 512), 4u) << "the run links to the end-of-file block";
    EXPECT_EQ(file.size(), 4u * 512);
}

TEST(MemoDBase4, AnExactFitUnlinksTheRun) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 3, 1).DBase4Memo(2, "mid").DBase4Run(3, 5, 2).Blocks(5);
    std::string strPath = image.Save(dir, "a.dbt");
    CDBTMemoFile memo;
    memo.Open(strPath, kReadWrite);
    uint32_t nBlock = 0, nLength = 0;
    memo.WriteMemo(nBlock, nLength, TextOfBlocks(2));
    EXPECT_EQ(nBlock, 3u);
    EXPECT_EQ(U32(ReadFileBytes(strPath), 512), 5u) << "run 1 links to what run 3 linked to";
    nBlock = 0;
    memo.WriteMemo(nBlock, nLength, "x");
    EXPECT_EQ(nBlock, 1u);
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
        TempDir dir;
        CMemoImage image = CMemoImage::DBase4(c.nFirstFree);
        c.build(image);
        std::string strPath = image.DBase4Memo(4, "after").Blocks(5).Save(dir, "a.dbt");
        CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        uint32_t nBlock = c.nFreed, nLength = 0;
        memo.WriteMemo(nBlock, nLength, "");
        EXPECT_EQ(nBlock, 0u);
        auto file = ReadFileBytes(strPath);
        EXPECT_EQ(DBase4Chain(file), c.chain) << c.pszWhat;
        EXPECT_EQ(U32(file, size_t(c.chain.back().first) * 512), 5u) << c.pszWhat << ": the chain ends at the end";
        EXPECT_EQ(ReadText(memo, 4), "after");
    }
}
