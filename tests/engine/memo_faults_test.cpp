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
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"

using namespace testing_support;
namespace FileFaults = platform::FileFaults;
using FileFaults::Op;

namespace {

// Fails the n-th write (or truncation) of one WriteMemo for n = 1, 2, ...
// and checks the file after each failure: unchanged, and the error is 3014
// (or none, with block 0, when the text is empty). Returns how many failure
// points there were; the first call that meets no failure must succeed.
template <class Memo>
int FailEachStep(const std::string& strPath, Op op, uint32_t nBlockIn, uint32_t nLengthIn, const std::string& strText,
                 bool bSticky = false) {
    const Bytes before = ReadFileBytes(strPath);
    for (int n = 1; n < 30; ++n) {
        Memo memo;
        memo.Open(strPath, kReadWrite);
        FileFaults::Scope faults;
        FileFaults::Arm(op, n, ENOSPC, bSticky);
        uint32_t nBlock = nBlockIn, nLength = nLengthIn;
        const int nCode = ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, strText); });
        if (FileFaults::Count(op) < n) {
            EXPECT_EQ(nCode, 0);
            if (!strText.empty()) {
                EXPECT_EQ(ReadText(memo, nBlock, nLength), strText);
            }
            return n - 1;
        }
        EXPECT_EQ(ReadFileBytes(strPath), before) << "failure at step " << n << " left the file changed";
        if (strText.empty()) {
            EXPECT_EQ(nCode, 0) << "freeing a removed memo swallows its failure";
            EXPECT_EQ(nBlock, 0u);
        } else {
            EXPECT_EQ(nCode, dbf::errWriteMemo) << "failure at step " << n;
            EXPECT_EQ(nBlock, nBlockIn);
            EXPECT_EQ(nLength, nLengthIn);
        }
    }
    ADD_FAILURE() << "WriteMemo never stopped failing";
    return 0;
}

}  // namespace

TEST(MemoFaults, DBase3AndFptChangesUndoEveryFailedWrite) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase3(2).DBase3Memo(1, "old").Save(dir, "a.dbt");
    EXPECT_EQ(FailEachStep<dbf::CMemoFile>(strPath, Op::write, 0, 0, "appended"), 2) << "memo, then header";
    EXPECT_EQ(FailEachStep<dbf::CMemoFile>(strPath, Op::write, 1, 0, "in place"), 1);
    // The memo is written, then every write fails, the undo's included; the
    // appended bytes still go with the truncation.
    EXPECT_EQ(FailEachStep<dbf::CMemoFile>(strPath, Op::write, 0, 0, "sticky", true), 2);

    std::string strFox = CMemoImage::Fpt(9).FptMemo(8, "old").Blocks(9).Save(dir, "a.fpt");
    EXPECT_EQ(FailEachStep<dbf::CFPTMemoFile>(strFox, Op::write, 0, 0, "appended"), 2);
    EXPECT_EQ(FailEachStep<dbf::CFPTMemoFile>(strFox, Op::write, 8, 0, "in place"), 1);
}

TEST(MemoFaults, DBase4ChangesUndoEveryFailedWrite) {
    TempDir dir;
    std::string strEmpty = CMemoImage::DBase4(1).Save(dir, "a.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strEmpty, Op::write, 0, 0, "first"), 2) << "memo, then header";
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strEmpty, Op::setLength, 0, 0, "padded"), 1);
    // Moving: the old run is freed (record, header link), then its tail taken
    // (memo, count).
    std::string strMove = CMemoImage::DBase4(4).DBase4Memo(1, std::string(1500, 'o')).Blocks(4).Save(dir, "b.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strMove, Op::write, 1, 0, "moved"), 4);
    // An exact fit behind another run: memo, then the unlink.
    CMemoImage chain = CMemoImage::DBase4(1);
    std::string strChain = chain.DBase4Run(1, 3, 1).DBase4Memo(2, "x").DBase4Run(3, 5, 2).Blocks(5).Save(dir, "c.dbt");
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strChain, Op::write, 0, 0, std::string(1000, 'e')), 2);
    // Removing the memo just placed at 3: its run record, then the link to it.
    EXPECT_EQ(FailEachStep<dbf::CDBTMemoFile>(strChain, Op::write, 3, 0, ""), 2);
}

TEST(MemoFaults, SmtChangesUndoEveryFailedWrite) {
    TempDir dir;
    std::string strSmt = CMemoImage::Smt(20, 32).AtBlock(16, std::string(64, 'o')).Blocks(20).Save(dir, "a.smt");
    // Free (header), then take the freed run's tail (memo, header).
    EXPECT_EQ(FailEachStep<dbf::CSMTMemoFile>(strSmt, Op::write, 16, 64, "short"), 3);
    EXPECT_EQ(FailEachStep<dbf::CSMTMemoFile>(strSmt, Op::write, 0, 0, std::string(100, 'n')), 2);
    EXPECT_EQ(FailEachStep<dbf::CSMTMemoFile>(strSmt, Op::write, 17, 5, ""), 1);
}

TEST(MemoFaults, ReadOnlyFilesAndFailedReadsGiveTheirCodes) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(2).DBase4Memo(1, "text").Blocks(2).Save(dir, "a.dbt");
    const Bytes before = ReadFileBytes(strPath);
    FileFaults::Scope faults;
    dbf::CDBTMemoFile memo;
    FileFaults::Arm(Op::open, 1, EACCES);
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(strPath, kReadOnly); }), dbf::errCantOpenMemo);
    FileFaults::Arm(Op::read, 1, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.Open(strPath, kReadOnly); }), dbf::errMemoHeader);
    EXPECT_FALSE(memo.IsOpen());
    memo.Open(strPath, kReadOnly);
    ASSERT_TRUE(memo.IsOpen()) << "a failed open leaves nothing behind";

    uint32_t nBlock = 1, nLength = 0;
    EXPECT_EQ(ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, "new"); }), dbf::errWriteMemo) << "read only";
    EXPECT_EQ(ReadFileBytes(strPath), before);
    for (int n : {1, 2}) {  // the length, then the text
        FileFaults::Arm(Op::read, n, EIO);
        EXPECT_EQ(ReadCode(memo, 1), dbf::errInvalidMemoRef);
    }
    // Reading the old memo inside a write is part of the write.
    FileFaults::Arm(Op::read, 1, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { memo.WriteMemo(nBlock, nLength, "new"); }), dbf::errWriteMemo);
    EXPECT_EQ(ReadText(memo, 1), "text");
}
