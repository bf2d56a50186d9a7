// POSIX implementation of CFile, with the sharing modes of the open flags
// emulated by open-file-description (OFD) locks.
//
// Sharing model. Every open holds shared OFD locks on up to four marker bytes
// far beyond any real data: one per access it has (read, write) and one per
// access it denies to others (read, write). An open is refused when it wants
// an access someone else denies, or denies an access someone else has. The
// check and the taking of the locks happen under flock() on the same file, so
// two opens racing each other cannot both pass. OFD locks belong to the open
// file description, so the rule holds between processes and between two opens
// inside one process alike; they vanish with the descriptor, even on a crash.
#include "platform/core/file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

CFileException::CFileException(int nErrno, std::string strPath, const char* pszOperation)
    : m_nErrno(nErrno), m_strPath(std::move(strPath)) {
    m_strWhat = std::string(pszOperation) + " '" + m_strPath + "': " + std::strerror(nErrno);
}

namespace {

constexpr off_t kLockBase = off_t(0x7FFF000000000000LL);
enum LockByte : off_t { lockAccessRead = 0, lockAccessWrite = 1, lockDenyRead = 2, lockDenyWrite = 3 };

struct ShareNeeds {
    bool bRead, bWrite, bDenyRead, bDenyWrite;
};

ShareNeeds SharingOf(unsigned nFlags) {
    ShareNeeds s{};
    unsigned access = nFlags & 3;
    s.bRead = access == modeRead || access == modeReadWrite;
    s.bWrite = access == modeWrite || access == modeReadWrite;
    switch (nFlags & 0x70) {
    case shareDenyNone: break;
    case shareDenyWrite: s.bDenyWrite = true; break;
    case shareDenyRead: s.bDenyRead = true; break;
    default:  // exclusive, and compatibility mode, which behaves like it
        s.bDenyRead = s.bDenyWrite = true;
        break;
    }
    return s;
}

bool SomeoneElseHolds(int fd, off_t nByte) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockBase + nByte;
    fl.l_len = 1;
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;  // no lock support: no sharing checks
    return fl.l_type != F_UNLCK;
}

bool HoldShared(int fd, off_t nByte) {
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockBase + nByte;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0 || errno == EINVAL || errno == ENOLCK;
}

// Returns 0, or the errno that refuses the open.
int AcquireSharing(int fd, unsigned nFlags) {
    ShareNeeds s = SharingOf(nFlags);
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return 0;  // a file system without flock: no emulation
    }
    int nResult = 0;
    if ((s.bRead && SomeoneElseHolds(fd, lockDenyRead)) || (s.bWrite && SomeoneElseHolds(fd, lockDenyWrite)) ||
        (s.bDenyRead && SomeoneElseHolds(fd, lockAccessRead)) ||
        (s.bDenyWrite && SomeoneElseHolds(fd, lockAccessWrite))) {
        nResult = EACCES;
    } else {
        const std::array<std::pair<bool, off_t>, 4> wanted{{{s.bRead, lockAccessRead},
                                                            {s.bWrite, lockAccessWrite},
                                                            {s.bDenyRead, lockDenyRead},
                                                            {s.bDenyWrite, lockDenyWrite}}};
        for (auto [bWant, nByte] : wanted) {
            if (bWant && !HoldShared(fd, nByte)) {
                nResult = errno ? errno : EACCES;
                break;
            }
        }
    }
    flock(fd, LOCK_UN);
    return nResult;
}

struct FaultState {
    int nArmedAt = 0;  // 0: not armed
    int nErrno = 0;
    bool bSticky = false;
    int nCount = 0;
};
std::array<FaultState, size_t(FileFaults::Op::count_)> g_faults;
bool g_bLogging = false;
std::vector<FileFaults::LogEntry> g_log;

}  // namespace

namespace FileFaults {

void Arm(Op op, int nNth, int nErrno, bool bSticky) {
    FaultState& f = g_faults[size_t(op)];
    f.nArmedAt = f.nCount + nNth;
    f.nErrno = nErrno;
    f.bSticky = bSticky;
}

void Reset() {
    g_faults = {};
    g_bLogging = false;
    g_log.clear();
}

int Count(Op op) { return g_faults[size_t(op)].nCount; }

void StartLog() {
    g_log.clear();
    g_bLogging = true;
}

const std::vector<LogEntry>& GetLog() { return g_log; }

int Check(Op op, const std::string& strPath) {
    FaultState& f = g_faults[size_t(op)];
    ++f.nCount;
    if (g_bLogging) g_log.push_back({op, strPath});
    if (f.nArmedAt == 0) return 0;
    if (f.nCount == f.nArmedAt || (f.bSticky && f.nCount > f.nArmedAt)) return f.nErrno;
    return 0;
}

}  // namespace FileFaults

CFile::~CFile() {
    if (m_fd >= 0) ::close(m_fd);
}

bool CFile::Open(const std::string& strPath, unsigned nFlags, int* pErrno) {
    auto fail = [&](int nErr) {
        if (pErrno) *pErrno = nErr;
        return false;
    };
    if (m_fd >= 0) return fail(EBUSY);
    if (int nErr = FileFaults::Check(FileFaults::Op::open, strPath)) return fail(nErr);

    unsigned access = nFlags & 3;
    // Write access always opens read-write underneath: the sharing locks are
    // shared read locks, which need a readable descriptor.
    int oflags = (access == modeRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    if (nFlags & modeCreate) oflags |= O_CREAT;
    int fd = ::open(strPath.c_str(), oflags, 0666);
    if (fd < 0) return fail(errno);

    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int nErr = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return fail(nErr);
    }
    if (int nErr = AcquireSharing(fd, nFlags)) {
        ::close(fd);
        return fail(nErr);
    }
    // Truncate only once the sharing check has passed, so a refused create
    // never destroys a file someone else holds.
    if ((nFlags & modeCreate) && !(nFlags & modeNoTruncate) && ftruncate(fd, 0) != 0) {
        int nErr = errno;
        ::close(fd);
        return fail(nErr);
    }
    m_fd = fd;
    m_nFlags = nFlags;
    m_nPos = 0;
    m_strPath = strPath;
    return true;
}

void CFile::Close() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
    m_nPos = 0;
    m_bWriteBehind = false;
    m_nWrittenBehind = 0;
}

void CFile::CheckOpen(const char* pszOperation) const {
    if (m_fd < 0) Fail(EBADF, pszOperation);
}

void CFile::Fail(int nErrno, const char* pszOperation) const {
    throw CFileException(nErrno, m_strPath, pszOperation);
}

uint64_t CFile::Seek(int64_t nOffset, SeekFrom from) {
    CheckOpen("seek");
    int64_t nBase = 0;
    if (from == SeekFrom::current) nBase = int64_t(m_nPos);
    if (from == SeekFrom::end) nBase = int64_t(GetLength());
    if ((nOffset < 0 && nBase + nOffset < 0) || (nOffset > 0 && nBase > INT64_MAX - nOffset))
        Fail(EINVAL, "seek");
    m_nPos = uint64_t(nBase + nOffset);
    return m_nPos;
}

size_t CFile::Read(void* pBuffer, size_t nCount) {
    CheckOpen("read");
    if (int nErr = FileFaults::Check(FileFaults::Op::read, m_strPath)) Fail(nErr, "read");
    if ((m_nFlags & 3) == modeWrite) Fail(EBADF, "read");
    auto* p = static_cast<unsigned char*>(pBuffer);
    size_t nDone = 0;
    while (nDone < nCount) {
        ssize_t n = ::pread(m_fd, p + nDone, nCount - nDone, off_t(m_nPos + nDone));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "read");
        }
        if (n == 0) break;
        nDone += size_t(n);
    }
    m_nPos += nDone;
    return nDone;
}

void CFile::Write(const void* pBuffer, size_t nCount) {
    CheckOpen("write");
    if (int nErr = FileFaults::Check(FileFaults::Op::write, m_strPath)) Fail(nErr, "write");
    if ((m_nFlags & 3) == modeRead) Fail(EBADF, "write");
    auto* p = static_cast<const unsigned char*>(pBuffer);
    size_t nDone = 0;
    while (nDone < nCount) {
        ssize_t n = ::pwrite(m_fd, p + nDone, nCount - nDone, off_t(m_nPos + nDone));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "write");
        }
        if (n == 0) Fail(ENOSPC, "write");
        nDone += size_t(n);
    }
    m_nPos += nDone;
    constexpr uint64_t kWriteBehindStep = uint64_t(8) << 20;
    if (m_bWriteBehind && m_nPos >= m_nWrittenBehind + kWriteBehindStep) {
        // Only a hint: errors show at Flush, where they are reported.
        ::sync_file_range(m_fd, off_t(m_nWrittenBehind), off_t(m_nPos - m_nWrittenBehind), SYNC_FILE_RANGE_WRITE);
        m_nWrittenBehind = m_nPos;
    }
}

uint64_t CFile::GetLength() const {
    CheckOpen("stat");
    struct stat st {};
    if (fstat(m_fd, &st) != 0) Fail(errno, "stat");
    return uint64_t(st.st_size);
}

void CFile::SetLength(uint64_t nLength) {
    CheckOpen("truncate");
    if (int nErr = FileFaults::Check(FileFaults::Op::setLength, m_strPath)) Fail(nErr, "truncate");
    if ((m_nFlags & 3) == modeRead) Fail(EBADF, "truncate");
    if (nLength > uint64_t(INT64_MAX)) Fail(EINVAL, "truncate");
    if (ftruncate(m_fd, off_t(nLength)) != 0) Fail(errno, "truncate");
}

void CFile::Flush() {
    CheckOpen("flush");
    if (int nErr = FileFaults::Check(FileFaults::Op::sync, m_strPath)) Fail(nErr, "flush");
    // A descriptor opened for reading syncs as well: the data is the file's.
    if (fdatasync(m_fd) != 0 && errno != EINVAL) Fail(errno, "flush");
}

void CFile::Rename(const std::string& strOld, const std::string& strNew) {
    if (int nErr = FileFaults::Check(FileFaults::Op::rename, strNew)) throw CFileException(nErr, strOld, "rename");
    // Like the platform these programs come from, a rename never replaces an
    // existing file: callers remove the target first when they mean to.
    if (::renameat2(AT_FDCWD, strOld.c_str(), AT_FDCWD, strNew.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno != EINVAL && errno != ENOSYS) throw CFileException(errno, strOld, "rename");
    if (Exists(strNew)) throw CFileException(EEXIST, strNew, "rename");
    if (::rename(strOld.c_str(), strNew.c_str()) != 0) throw CFileException(errno, strOld, "rename");
}

void CFile::Replace(const std::string& strOld, const std::string& strNew) {
    if (int nErr = FileFaults::Check(FileFaults::Op::rename, strNew)) throw CFileException(nErr, strOld, "rename");
    if (::rename(strOld.c_str(), strNew.c_str()) != 0) throw CFileException(errno, strOld, "rename");
}

void CFile::Link(const std::string& strExisting, const std::string& strNew) {
    if (int nErr = FileFaults::Check(FileFaults::Op::link, strNew)) throw CFileException(nErr, strNew, "link");
    if (::link(strExisting.c_str(), strNew.c_str()) != 0) throw CFileException(errno, strNew, "link");
}

void CFile::Remove(const std::string& strPath) {
    if (int nErr = FileFaults::Check(FileFaults::Op::remove, strPath)) throw CFileException(nErr, strPath, "remove");
    if (::unlink(strPath.c_str()) != 0) throw CFileException(errno, strPath, "remove");
}

bool CFile::Exists(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0;
}

bool CFile::SameFile(const std::string& strA, const std::string& strB) {
    struct stat a {}, b {};
    if (::stat(strA.c_str(), &a) != 0 || ::stat(strB.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void CFile::SyncFolderOf(const std::string& strPath) {
    const size_t nSlash = strPath.rfind('/');
    const std::string strFolder = nSlash == std::string::npos ? "." : nSlash == 0 ? "/" : strPath.substr(0, nSlash);
    if (int nErr = FileFaults::Check(FileFaults::Op::sync, strFolder)) throw CFileException(nErr, strFolder, "sync");
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw CFileException(errno, strFolder, "sync");
    const int nResult = ::fsync(fd);
    const int nErr = errno;
    ::close(fd);
    if (nResult != 0 && nErr != EINVAL && nErr != ENOTSUP && nErr != EROFS) throw CFileException(nErr, strFolder, "sync");
}

}  // namespace platform
