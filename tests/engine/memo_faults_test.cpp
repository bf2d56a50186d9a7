// Memo writes against failing disks: every write of a memo change is made to
// fail in turn; the change raises 3014 and the file is left byte for byte as
// it was, so the reference the record still holds stays valid. Freeing a
// removed memo is bookkeeping: its failure is swallowed, and undone.
#include <cerrno>

#include <gtest/gtest.h>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "tests/engine/memo_builder.h"

using memo_testing::CMemoImage;
using memo_testing::ErrorCodeOf;
using memo_testing::kReadOnly;
using memo_testing::kReadWrite;
using testing_support::Bytes;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
namespace FileFaults = platform::FileFaults;
using FileFaults::Op;

namespace {

// Fails each write (or truncation) of one WriteMemo in turn and checks that
// the file is unchanged after each failure. Returns how many failure points
// there were; the first call that no longer fails is left to succeed.
template <class Memo>
int FailEachStep(const std::string& strPath, Op op, uint32_t nBlockIn, uint32_t nLengthIn, const std::string& strText) {
    const Bytes before = ReadFileBytes(strPath);
    for (int n = 1; n < 30; ++n) {
        Memo memo;
        memo.Open(strPath, kReadWrite);
        FileFaults::Scope faults;
        FileFaults::Arm(op, n, EIO);
        uint32_t nBlock = nBlockIn, nLength = nLengthIn;
        const int nCode = ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, strText); });
        if (nCode == 0) {
            std::string strBack;
            uint32_t nReadLength = nLength;
            memo.ReadMemoText(nBlock, nReadLength, strBack);
            EXPECT_EQ(strBack, strText) << "the call after the last failure point succeeds";
            return n - 1;
        }
        EXPECT_EQ(nCode, dbf::errWriteMemo) << "failure at step " << n;
        EXPECT_EQ(nBlock, nBlockIn);
        EXPECT_EQ(nLength, nLengthIn);
        EXPECT_EQ(ReadFileBytes(strPath), before) << "failure at step " << n << " left the file changed";
    }
    ADD_FAILURE() << "WriteMemo never stopped failing";
    return 0;
}

}  // namespace

TEST(MemoFaults, DBase3AppendAndRewriteUndoEveryFailedWrite) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, "old").Save(dir, "a.dbt");
    EXPECT_EQ(FailEachStep<dbf::CMemoFile>(strPath, Op::write, 0, 0, "appended"), 2) << "memo, then header";
    EXPECT_EQ(FailEachStep<dbf::CMemoFile>(strPath, Op::write, 1, 0, "in place"), 1);
}

TEST(MemoFaults, DBase4ChangesUndoEveryFailedWrite) {
    TempDir dir;
    std::string strEmpty = CMemoImage::DBase4(1).Save(dir, "a.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strEmpty, Op::write, 0, 0, "first"), 2) << "memo, then header";
    std::string strPad = CMemoImage::DBase4(1).Save(dir, "b.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strPad, Op::setLength, 0, 0, "padded"), 1);

    // Relocation: the old run is freed (one write), then the text takes the
    // tail of that run (memo, count).
    std::string strMove = CMemoImage::DBase4(4).DBase4Memo(1, std::string(1500, 'o')).Blocks(4).Save(dir, "c.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strMove, Op::write, 1, 0, "moved"), 4);

    // Exact fit behind another run: memo, then the unlink.
    CMemoImage chain = CMemoImage::DBase4(1);
    chain.DBase4Run(1, 3, 1).DBase4Memo(2, "x").DBase4Run(3, 5, 2).Blocks(5);
    std::string strChain = chain.Save(dir, "d.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strChain, Op::write, 0, 0, std::string(1000, 'e')), 2);
}

TEST(MemoFaults, SmtAndFptChangesUndoEveryFailedWrite) {
    TempDir dir;
    CMemoImage smt = CMemoImage::Smt(20, 32);
    smt.AtBlock(16, std::string(64, 'o')).Blocks(20);
    std::string strSmt = smt.Save(dir, "a.smt");
    // Free (header), then take the freed run's tail (memo, header).
    EXPECT_EQ(FailEachStep<dbf::CSMTMemoFile>(strSmt, Op::write, 16, 64, "short"), 3);
    EXPECT_EQ(FailEachStep<dbf::CSMTMemoFile>(strSmt, Op::write, 0, 0, std::string(100, 'n')), 2);

    std::string strFox = CMemoImage::Fpt(9).FptMemo(8, "old").Blocks(9).Save(dir, "a.fpt");
    EXPECT_EQ(FailEachStep<dbf::CFPTMemoFile>(strFox, Op::write, 0, 0, "appended"), 2);
    EXPECT_EQ(FailEachStep<dbf::CFPTMemoFile>(strFox, Op::write, 8, 0, "in place"), 1);
}

TEST(MemoFaults, FailedFreeOfARemovedMemoIsSwallowedAndUndone) {
    TempDir dir;
    CMemoImage image = CMemoImage::DBase4(1);
    image.DBase4Run(1, 4, 1).DBase4Memo(2, "a").DBase4Memo(3, "b").Blocks(4);
    std::string strPath = image.Save(dir, "a.dbt");
    const Bytes before = ReadFileBytes(strPath);
    for (int n = 1; n <= 2; ++n) {  // freeing block 3 writes its run record, then links it
        dbf::CDBTMemoFile memo;
        memo.Open(strPath, kReadWrite);
        FileFaults::Scope faults;
        FileFaults::Arm(Op::write, n, ENOSPC);
        uint32_t nBlock = 3, nLength = 1;
        memo.WriteMemo(nBlock, nLength, "");
        EXPECT_EQ(nBlock, 0u) << "the memo is removed all the same";
        EXPECT_EQ(ReadFileBytes(strPath), before) << "and the half-done free undone";
    }

    std::string strSmt = CMemoImage::Smt(20, 32).Blocks(20).Save(dir, "a.smt");
    const Bytes smtBefore = ReadFileBytes(strSmt);
    dbf::CSMTMemoFile smt;
    smt.Open(strSmt, kReadWrite);
    FileFaults::Scope faults;
    FileFaults::Arm(Op::write, 1, EIO);
    uint32_t nBlock = 17, nLength = 5;
    smt.WriteMemo(nBlock, nLength, "");
    EXPECT_EQ(nBlock, 0u);
    EXPECT_EQ(nLength, 0u);
    EXPECT_EQ(ReadFileBytes(strSmt), smtBefore);
}

TEST(MemoFaults, ADiskThatKeepsFailingStillGetsItsError) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, "old").Save(dir, "a.dbt");
    const Bytes before = ReadFileBytes(strPath);
    dbf::CMemoFile memo;
    memo.Open(strPath, kReadWrite);
    FileFaults::Scope faults;
    // The memo is written, then every write fails, the undo's included; the
    // appended bytes still go with the truncation.
    FileFaults::Arm(Op::write, 2, ENOSPC, true);
    uint32_t nBlock = 0, nLength = 0;
    EXPECT_EQ(ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, "new text"); }), dbf::errWriteMemo);
    EXPECT_EQ(ReadFileBytes(strPath), before);
}

TEST(MemoFaults, ReadOnlyFilesRefuseWritesWithTheirError) {
    TempDir dir;
    std::string strPath = CMemoImage::Fpt(9).FptMemo(8, "old").Blocks(9).Save(dir, "a.fpt");
    const Bytes before = ReadFileBytes(strPath);
    dbf::CFPTMemoFile memo;
    memo.Open(strPath, kReadOnly);
    uint32_t nBlock = 8, nLength = 3;
    EXPECT_EQ(ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, "new"); }), dbf::errWriteMemo);
    EXPECT_EQ(ReadFileBytes(strPath), before);
    std::string strText;
    memo.ReadMemoText(8, nLength, strText);
    EXPECT_EQ(strText, "old");
}

TEST(MemoFaults, PlatformErrorsWhileReadingOrOpeningGiveTheirCodes) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(2).DBase4Memo(1, "text").Blocks(2).Save(dir, "a.dbt");
    FileFaults::Scope faults;
    dbf::CDBTMemoFile memo;
    FileFaults::Arm(Op::open, 1, EACCES);
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(strPath, kReadWrite); }), dbf::errCantOpenMemo);
    FileFaults::Arm(Op::read, 1, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(strPath, kReadWrite); }), dbf::errMemoHeader);
    EXPECT_FALSE(memo.IsOpen());
    memo.Open(strPath, kReadWrite);
    ASSERT_TRUE(memo.IsOpen()) << "a failed open leaves nothing behind";

    std::string strText;
    uint32_t nLength = 0;
    FileFaults::Arm(Op::read, 1, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.ReadMemoText(1, nLength, strText); }), dbf::errInvalidMemoRef);
    FileFaults::Arm(Op::read, 2, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.ReadMemoText(1, nLength, strText); }), dbf::errInvalidMemoRef);
    // Reading the old memo inside a write is part of the write.
    uint32_t nBlock = 1;
    FileFaults::Arm(Op::read, 1, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, "new"); }), dbf::errWriteMemo);
    memo.ReadMemoText(1, nLength, strText);
    EXPECT_EQ(strText, "text");
}
