// The file layer: open flags, sharing between opens and processes, I/O and
// the fault injection other tests rely on.
#include "platform/core/file.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using platform::CFile;
using platform::CFileException;
namespace FileFaults = platform::FileFaults;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

constexpr unsigned kReadShared = 0x8040, kReadWriteShared = 0x8042, kExclusive = 0x8012, kCreate = 0x9012;

// Opens path in a child process with the flags; returns whether it succeeded.
bool OpensInOtherProcess(const std::string& strPath, unsigned nFlags) {
    pid_t pid = fork();
    if (pid == 0) {
        CFile f;
        _exit(f.Open(strPath, nFlags) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string MakeFile(const TempDir& dir, const std::string& strBytes) {
    std::string strPath = dir.Path("t.dbf");
    testing_support::WriteFileBytes(strPath, strBytes);
    return strPath;
}

// The errno of the file exception fn raises, or 0.
template <class F>
int ErrnoOf(F fn) {
    try {
        fn();
    } catch (const CFileException& e) {
        return e.GetErrno();
    }
    return 0;
}

}  // namespace

TEST(File, ReadWriteSeekLengthAndTruncate) {
    TempDir dir;
    CFile f;
    ASSERT_TRUE(f.Open(dir.Path("a.bin"), kCreate));
    f.Write("hello world", 11);
    EXPECT_EQ(f.GetLength(), 11u);
    f.Seek(6, platform::SeekFrom::begin);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(f.Read(buf, 4), 0u) << "reading at the end gives nothing";
    f.Seek(-5, platform::SeekFrom::end);
    f.Write("W", 1);
    f.SetLength(7);
    f.SeekToBegin();
    std::string s(7, '\0');
    EXPECT_EQ(f.Read(s.data(), 7), 7u);
    EXPECT_EQ(s, "hello W");
    EXPECT_THROW(f.Seek(-1, platform::SeekFrom::begin), CFileException);
}

TEST(File, WhatCannotBeOpenedOrWrittenIsRefused) {
    TempDir dir;
    std::string strPath = MakeFile(dir, "abc");
    CFile f;
    int nErr = 0;
    EXPECT_FALSE(f.Open(dir.Path("none.dbf"), kReadShared, &nErr));
    EXPECT_EQ(nErr, ENOENT);
    EXPECT_FALSE(f.Open(dir.Path(), kReadShared, &nErr));
    EXPECT_EQ(nErr, EISDIR);
    EXPECT_FALSE(f.IsOpen());
    ASSERT_TRUE(f.Open(strPath, kReadShared));
    try {
        f.Write("x", 1);
        ADD_FAILURE() << "write on a read-only file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetErrno(), EBADF);
        EXPECT_EQ(e.GetPath(), strPath);
    }
    EXPECT_THROW(f.SetLength(0), CFileException);
    EXPECT_EQ(ReadFileBytes(strPath).size(), 3u);
}

TEST(FileSharing, EachModeRefusesWhatTheOtherDeniesInThisProcessAndAnother) {
    TempDir dir;
    std::string strPath = MakeFile(dir, "abc");
    // An open is refused when it wants an access the holder denies, or denies
    // an access the holder has.
    const unsigned kReadDenyWrite = 0x8020, kReadDenyRead = 0x8030, kWriteShared = 0x8041;
    const struct {
        unsigned nHeld;
        bool bRead, bReadWrite, bExclusive, bDenyWrite;  // whether each later open succeeds
    } cases[] = {
        {kReadShared, true, true, false, true},      {kReadWriteShared, true, true, false, false},
        {kWriteShared, true, true, false, false},    {kReadDenyWrite, true, false, false, true},
        {kReadDenyRead, false, false, false, false}, {kExclusive, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nHeld);
        CFile held;
        ASSERT_TRUE(held.Open(strPath, c.nHeld));
        for (auto [nFlags, bOpens] : {std::pair{kReadShared, c.bRead}, {kReadWriteShared, c.bReadWrite},
                                      {kExclusive, c.bExclusive}, {kReadDenyWrite, c.bDenyWrite}}) {
            CFile other;
            int nErr = 0;
            EXPECT_EQ(other.Open(strPath, nFlags, &nErr), bOpens) << nFlags;
            if (!bOpens) {
                EXPECT_EQ(nErr, EACCES) << nFlags;
            }
            other.Close();
            EXPECT_EQ(OpensInOtherProcess(strPath, nFlags), bOpens) << nFlags << " in another process";
        }
    }
    EXPECT_TRUE(OpensInOtherProcess(strPath, kExclusive)) << "locks go with the closed file";
}

TEST(FileSharing, RefusedCreateDoesNotTruncate) {
    TempDir dir;
    std::string strPath = MakeFile(dir, "precious");
    CFile holder, creator;
    ASSERT_TRUE(holder.Open(strPath, kReadShared));
    EXPECT_FALSE(creator.Open(strPath, kCreate));
    EXPECT_EQ(ReadFileBytes(strPath).size(), 8u);
}

TEST(FilePaths, RenameNeverReplacesAndRemoveDeletes) {
    TempDir dir;
    testing_support::WriteFileBytes(dir.Path("a"), std::string("A"));
    testing_support::WriteFileBytes(dir.Path("b"), std::string("B"));
    EXPECT_THROW(CFile::Rename(dir.Path("a"), dir.Path("b")), CFileException);
    EXPECT_EQ(ReadFileBytes(dir.Path("b")), testing_support::Bytes{'B'});
    CFile::Remove(dir.Path("b"));
    EXPECT_FALSE(CFile::Exists(dir.Path("b")));
    CFile::Rename(dir.Path("a"), dir.Path("b"));
    EXPECT_TRUE(CFile::Exists(dir.Path("b")));
    EXPECT_FALSE(CFile::Exists(dir.Path("a")));
    EXPECT_THROW(CFile::Remove(dir.Path("a")), CFileException);
}

TEST(FilePaths, ReplaceLinkIdentityAndFolderSync) {
    TempDir dir;
    testing_support::WriteFileBytes(dir.Path("a"), std::string("A"));
    testing_support::WriteFileBytes(dir.Path("b"), std::string("B"));
    CFile::Link(dir.Path("a"), dir.Path("a2"));
    EXPECT_TRUE(CFile::SameFile(dir.Path("a"), dir.Path("a2"))) << "a second name is the same file";
    EXPECT_FALSE(CFile::SameFile(dir.Path("a"), dir.Path("b")));
    EXPECT_FALSE(CFile::SameFile(dir.Path("a"), dir.Path("none")));
    EXPECT_EQ(ErrnoOf([&] { CFile::Link(dir.Path("b"), dir.Path("a")); }), EEXIST) << "a link never replaces";
    CFile::Replace(dir.Path("b"), dir.Path("a"));  // in one step
    EXPECT_EQ(ReadFileBytes(dir.Path("a")), testing_support::Bytes{'B'});
    EXPECT_EQ(ReadFileBytes(dir.Path("a2")), testing_support::Bytes{'A'}) << "the old file keeps its other name";
    EXPECT_FALSE(CFile::Exists(dir.Path("b")));
    CFile::SyncFolderOf(dir.Path("a"));
    CFile f;
    ASSERT_TRUE(f.Open(dir.Path("a"), kReadShared));
    f.Flush();  // a file opened for reading syncs too

    FileFaults::Scope faults;
    FileFaults::StartLog();
    f.Flush();
    CFile::SyncFolderOf(dir.Path("a"));
    CFile::Replace(dir.Path("a"), dir.Path("c"));
    ASSERT_EQ(FileFaults::GetLog().size(), 3u);
    EXPECT_EQ(FileFaults::GetLog()[0].op, FileFaults::Op::sync);
    EXPECT_EQ(FileFaults::GetLog()[1].strPath, dir.Path());
    EXPECT_EQ(FileFaults::GetLog()[2].op, FileFaults::Op::rename);
    EXPECT_EQ(FileFaults::GetLog()[2].strPath, dir.Path("c"));
    FileFaults::Arm(FileFaults::Op::sync, 1, EIO);
    EXPECT_EQ(ErrnoOf([&] { f.Flush(); }), EIO);
    FileFaults::Arm(FileFaults::Op::link, 1, ENOSPC);
    EXPECT_EQ(ErrnoOf([&] { CFile::Link(dir.Path("c"), dir.Path("d")); }), ENOSPC);
}

TEST(FileFaults, EachOperationFailsWhenArmedOnceOrForGood) {
    FileFaults::Scope faults;
    TempDir dir;
    CFile f;
    FileFaults::Arm(FileFaults::Op::open, 1, EMFILE);
    int nErr = 0;
    EXPECT_FALSE(f.Open(dir.Path("a.bin"), kCreate, &nErr));
    EXPECT_EQ(nErr, EMFILE);
    ASSERT_TRUE(f.Open(dir.Path("a.bin"), kCreate));
    FileFaults::Arm(FileFaults::Op::write, 2, ENOSPC);
    f.Write("1", 1);
    EXPECT_EQ(ErrnoOf([&] { f.Write("2", 1); }), ENOSPC);
    f.Write("3", 1);
    EXPECT_EQ(f.GetLength(), 2u) << "the failed write wrote nothing";
    FileFaults::Arm(FileFaults::Op::write, 1, EIO, true);
    EXPECT_EQ(ErrnoOf([&] { f.Write("4", 1); }), EIO);
    EXPECT_EQ(ErrnoOf([&] { f.Write("5", 1); }), EIO);
    FileFaults::Reset();
    f.Write("6", 1);
    EXPECT_EQ(f.GetLength(), 3u);
    char c;
    f.SeekToBegin();
    FileFaults::Arm(FileFaults::Op::read, 1, EIO);
    EXPECT_EQ(ErrnoOf([&] { f.Read(&c, 1); }), EIO);
    EXPECT_EQ(f.Read(&c, 1), 1u);
    FileFaults::Arm(FileFaults::Op::setLength, 1, ENOSPC);
    EXPECT_EQ(ErrnoOf([&] { f.SetLength(1); }), ENOSPC);
    EXPECT_EQ(f.GetLength(), 3u);
}
