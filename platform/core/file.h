// The file object every table and memo file goes through: open with the
// numeric open flags the programs store in their settings, positioned reads
// and writes, length and truncation, plus the path operations the engine needs.
//
// Sharing modes are emulated with open-file-description locks, so two of our
// own processes (or two opens inside one process) honour "exclusive" the way
// the flags promise. A test can make a chosen operation fail (see FileFaults)
// to walk the error paths of whatever sits above this layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace platform {

// Open flags. Values are the ones stored in settings files and passed around
// by the engine: 64 read only shared, 66 read-write shared, 18 read-write
// exclusive, 0x1012 create exclusive; the engine adds typeBinary.
enum FileFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
};

// A failed platform file operation. Carries errno and the path involved.
class CFileException : public std::exception {
public:
    CFileException(int nErrno, std::string strPath, const char* pszOperation);

    int GetErrno() const { return m_nErrno; }
    const std::string& GetPath() const { return m_strPath; }
    const char* what() const noexcept override { return m_strWhat.c_str(); }

private:
    int m_nErrno;
    std::string m_strPath;
    std::string m_strWhat;
};

enum class SeekFrom { begin, current, end };

class CFile {
public:
    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path with the given flags. Returns false (and fills *pErrno when
    // given) when the file cannot be opened or its sharing mode conflicts with
    // another open of the same file; a sharing conflict reports EACCES.
    bool Open(const std::string& strPath, unsigned nFlags, int* pErrno = nullptr);
    // Closes the file; does nothing when it is not open.
    virtual void Close();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& GetFilePath() const { return m_strPath; }
    unsigned GetOpenFlags() const { return m_nFlags; }

    // All of these throw CFileException on failure.
    uint64_t Seek(int64_t nOffset, SeekFrom from);
    void SeekToBegin() { Seek(0, SeekFrom::begin); }
    uint64_t SeekToEnd() { return Seek(0, SeekFrom::end); }
    uint64_t GetPosition() const { return m_nPos; }
    // Reads up to nCount bytes at the current position; returns how many were
    // read (fewer only at the end of the file).
    size_t Read(void* pBuffer, size_t nCount);
    // Writes all nCount bytes at the current position (a short write is an error).
    void Write(const void* pBuffer, size_t nCount);
    uint64_t GetLength() const;
    void SetLength(uint64_t nLength);
    // Waits until the file's data has reached the disk (fdatasync): what a
    // rename or a success report promises must not rest on the page cache.
    void Flush();
    // For a file written from start to end and then flushed: hands what is
    // written to the disk every few megabytes as it comes, so that the disk
    // works while the writer goes on and Flush has little left to wait for.
    void SetWriteBehind(bool bOn) {
        m_bWriteBehind = bOn;
        m_nWrittenBehind = m_nPos;
    }

    static void Rename(const std::string& strOld, const std::string& strNew);
    // Renames strOld to strNew in one step, replacing strNew when it exists:
    // at every moment strNew names either the old file or the new one.
    static void Replace(const std::string& strOld, const std::string& strNew);
    // A second name (hard link) for an existing file; never replaces strNew.
    static void Link(const std::string& strExisting, const std::string& strNew);
    static void Remove(const std::string& strPath);
    static bool Exists(const std::string& strPath);
    // Whether two paths name the same file (same device and inode, links
    // and symbolic links followed); false when either does not exist.
    static bool SameFile(const std::string& strA, const std::string& strB);
    // Makes the folder that holds strPath durable (fsync of the folder), so
    // that a rename or a new name in it survives a power loss. File systems
    // that cannot sync a folder are let off.
    static void SyncFolderOf(const std::string& strPath);

private:
    void CheckOpen(const char* pszOperation) const;
    [[noreturn]] void Fail(int nErrno, const char* pszOperation) const;

    int m_fd = -1;
    unsigned m_nFlags = 0;
    uint64_t m_nPos = 0;
    bool m_bWriteBehind = false;
    uint64_t m_nWrittenBehind = 0;  // where the data not yet handed to the disk starts
    std::string m_strPath;
};

// Fault injection for tests: make the n-th operation of a kind (counted from
// the moment it is armed, 1-based) fail with the given errno. A sticky fault
// keeps failing every later operation of that kind, like a full disk.
namespace FileFaults {
// sync covers both Flush and SyncFolderOf; rename covers Replace too.
enum class Op { open, read, write, setLength, rename, remove, sync, link, count_ };

void Arm(Op op, int nNth, int nErrno, bool bSticky = false);
void Reset();
// Number of operations of that kind performed since the last Reset.
int Count(Op op);
// Called by CFile before each operation; returns the errno to fail with, or 0.
int Check(Op op, const std::string& strPath = std::string());

// The operations CFile performed while the log was on, with the path each
// concerned (the new name for a rename or link), in order: a test reads it
// to prove that a file is synced before it takes a table's name. Reset
// turns the log off and empties it.
struct LogEntry {
    Op op;
    std::string strPath;
};
void StartLog();
const std::vector<LogEntry>& GetLog();

// Disarms every fault when it goes out of scope.
struct Scope {
    Scope() { Reset(); }
    ~Scope() { Reset(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};
}  // namespace FileFaults

}  // namespace platform
