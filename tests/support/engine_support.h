// Small helpers every engine test uses: open flags, the code of an engine
// error, memo texts, a comma locale, OLE dates, and the loop that fails
// every file operation of a rewrite in turn.
#pragma once

#include <cmath>
#include <cerrno>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "platform/core/file.h"
#include "platform/core/ole_date.h"
#include "platform/core/user_locale.h"
#include "tests/support/test_support.h"

namespace testing_support {

// Open flags as the table passes them: shared read-write, shared read only, exclusive.
constexpr unsigned kReadWrite = 66, kReadOnly = 64, kExclusive = 18;

// The code of the engine error fn raises, or 0 when it raises none.
template <class F>
int ErrorCodeOf(F fn) {
    try {
        fn();
    } catch (const dbf::CDBFException& e) {
        return e.GetCode();
    }
    return 0;
}

// The text of the memo at nBlock (nLength is the .SMT stored length); the
// length the engine reports goes to *pLength.
template <class Memo>
std::string ReadText(Memo& memo, uint32_t nBlock, uint32_t nLength = 0, uint32_t* pLength = nullptr) {
    std::string strText;
    memo.ReadMemoText(nBlock, nLength, strText);
    if (pLength) *pLength = nLength;
    return strText;
}
template <class Memo>
int ReadCode(Memo& memo, uint32_t nBlock, uint32_t nLength = 0) {
    return ErrorCodeOf([&] { ReadText(memo, nBlock, nLength); });
}

// Writes strText over the memo at nBlock (0: a new memo; nLength is the .SMT
// stored length) and returns the block it went to.
template <class Memo>
uint32_t WriteText(Memo& memo, uint32_t nBlock, const std::string& strText, uint32_t nLength = 0) {
    memo.WriteMemo(nBlock, nLength, strText);
    return nBlock;
}

// A German-style locale: decimal comma, thousands dot, dates as 04.03.2002.
inline platform::CUserLocale CommaLocale() {
    platform::CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.SetDateOrder(platform::DateOrder::DMY, '.');
    return l;
}

inline double OleDate(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    double dDate = NAN;
    EXPECT_TRUE(platform::MakeOleDate(y, m, d, hh, mm, ss, dDate));
    return dDate;
}

// Fails the n-th file operation of a kind (once, or from then on like a
// full disk) for n = 1, 2, ... until the write runs through without meeting
// the fault. Each time the write must report the failure and leave the
// table (dir/t.dbf, written by Job::Table) as it was, or whole in the backup
// that the error names; an older backup is there to be replaced. Job(path)
// loads the table and makes the edits, Write() writes them, Written()
// checks a table that holds them, Retry() writes again once the fault is gone.
template <class Job>
void FailEachStep(platform::FileFaults::Op op, bool bSticky) {
    for (int n = 1;; ++n) {
        SCOPED_TRACE("operation kind " + std::to_string(int(op)) + ", number " + std::to_string(n) +
                     (bSticky ? " and after" : ""));
        TempDir dir;
        const std::string strPath = Job::Table(dir.Path("t.dbf"));
        const Bytes before = ReadFileBytes(strPath);
        WriteFileBytes(dir.Path("t.bak"), std::string("an older backup"));
        Job job(strPath);
        int nCode = -1;
        std::string strDetail;
        {
            platform::FileFaults::Scope faults;
            platform::FileFaults::Arm(op, n, ENOSPC, bSticky);
            try {
                job.Write();
                EXPECT_LT(platform::FileFaults::Count(op), n) << "the fault was met but not reported";
                return;
            } catch (const dbf::CDBFException& e) {
                nCode = e.GetCode();
                strDetail = e.GetDetail();
            } catch (const platform::CFileException&) {
                nCode = 0;
            }
        }
        if (nCode == dbf::errKeptInBackup || nCode == dbf::errCantOpenFile) {
            EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before);
            // errCantOpenFile: the new file took the table's name but could
            // not be opened again; it is whole, and the old one is the backup.
            if (nCode == dbf::errKeptInBackup) {
                EXPECT_EQ(strDetail, dir.Path("t.bak"));
            } else {
                job.Written(strPath);
            }
            continue;
        }
        EXPECT_TRUE(nCode == 0 || nCode == dbf::errCantCreateFile || (nCode == dbf::errReadRecord && Job::kReads))
            << "code " << nCode;
        EXPECT_EQ(ReadFileBytes(strPath), before) << "the table must be as it was";
        // (Only a file system that refuses every removal keeps the temporary file.)
        if (op != platform::FileFaults::Op::remove) {
            EXPECT_FALSE(platform::CFile::Exists(dir.Path("t._tmp")));
        }
        job.Retry();
    }
}

}  // namespace testing_support
