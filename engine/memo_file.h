// Memo files: the text of memo fields lives in a file beside the table, and
// the record holds only a block number. CMemoFile is the common interface of
// the four memo layouts and itself implements the dBASE III .DBT layout;
// CDBTMemoFile (dBASE IV .DBT), CSMTMemoFile (.SMT) and CFPTMemoFile
// (.FPT/.DCT) derive from it.
//
// Block numbers count blocks of the file's block size from the start of the
// file (block 0 holds the header); a reference of 0 means "no memo". Every
// length and block number read from the file is checked against the file's
// length before it is used, whatever the layout.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/file.h"

namespace dbf {

enum MemoType : int {
    memoDBase3 = 1,
    memoDBase4 = 3,
    memoFoxPro = 4,
    memoSmt = 16,
};

class CMemoFile {
public:
    CMemoFile();
    virtual ~CMemoFile();
    CMemoFile(const CMemoFile&) = delete;
    CMemoFile& operator=(const CMemoFile&) = delete;

    // Opens and validates the memo file; the binary flag is added here. Does
    // nothing when already open. Raises 3010 (cannot open), 3011 (header
    // unreadable) or 3012 (bad block size).
    virtual void Open(const std::string& strPath, unsigned nOpenFlags);
    virtual bool IsOpen() const { return m_bOpen; }
    virtual int GetMemoType() const { return memoDBase3; }

    // Reads the memo at nBlock. For .SMT, nLength is the stored length on
    // input; for the other layouts it is output only. Raises 3013.
    void ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes);
    void ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText);
    // Writes strText as the memo that was at nBlock (0: none yet) and returns
    // its block in nBlock (0 when the text is empty). For .SMT, nLength is the
    // old stored length on input and the new length on output. Raises 3014 on
    // a file error that is not swallowed by the layout's own rules.
    virtual void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText);

    // Closes the file when open and forgets the header.
    virtual void Close();

    // While on, a write never touches the blocks of the memo it replaces
    // (nor frees them): the new text goes where no live text is, a free run
    // or the end of the file, and the old memo is only noted. For a caller
    // that stores the new reference later and must leave the old text
    // readable should that fail. ReleaseReplaced frees the noted memos a
    // caller names as no longer referenced (layouts without a free list have
    // nothing to do); the notes are dropped either way. Off by default.
    void SetKeepReplaced(bool bKeep) { m_bKeepReplaced = bKeep; }
    struct ReplacedMemo {
        uint32_t nBlock;
        uint32_t nLength;  // the stored length (.SMT), or 0
    };
    const std::vector<ReplacedMemo>& GetReplaced() const { return m_replaced; }
    // Frees the noted memos for which fnUnreferenced(block) is true. Freeing
    // is bookkeeping: a failure leaves those blocks unlisted, nothing more.
    template <class F>
    void ReleaseReplaced(F fnUnreferenced) {
        std::vector<ReplacedMemo> replaced;
        replaced.swap(m_replaced);
        for (const ReplacedMemo& memo : replaced)
            if (m_bOpen && fnUnreferenced(memo.nBlock)) FreeReplaced(memo.nBlock, memo.nLength);
    }

    const std::string& GetFilePath() const { return m_file.GetFilePath(); }
    uint32_t GetBlockSize() const { return m_nBlockSize; }
    // The block the header names as the place of the next memo, as last read
    // from the file: the next available block (dBASE III, FoxPro), the first
    // free run or the end-of-file block (dBASE IV), the end-of-file block (.SMT).
    virtual uint32_t GetNextBlock() const;

protected:
    // Opens the file with the binary flag added; raises 3010 when it cannot.
    void OpenFile(const std::string& strPath, unsigned nOpenFlags);
    // Reads the first nCount bytes of the file into pHeader during Open. A
    // short read or a platform error closes the file and raises 3011.
    void ReadOpenHeader(uint8_t* pHeader, size_t nCount);
    // Closes the file and raises nCode: an Open that found a bad header.
    [[noreturn]] void FailOpen(int nCode);

    // Each layout's own read of the memo at nBlock into strText, with nLength
    // as ReadMemoText describes it. A reference that names no sound memo
    // raises 3013; platform errors may propagate (the caller turns them into
    // 3013). The dBASE III layout scans for the end byte.
    virtual void ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText);

    uint64_t BlockOffset(uint32_t nBlock) const { return uint64_t(nBlock) * m_nBlockSize; }
    uint64_t BlocksFor(uint64_t nBytes) const { return (nBytes + m_nBlockSize - 1) / m_nBlockSize; }
    // The first block after the header: no memo may start before it.
    uint64_t FirstDataBlock() const { return BlocksFor(m_nHeaderBytes); }
    // Blocks the file holds now, the last one possibly partial.
    uint64_t EndBlock() const { return BlocksFor(m_file.GetLength()); }
    // Where an appended memo goes: the end of the file. In a sound file the
    // header's next free block says the same; when it does not (a pointer
    // into the header or into memos written after it, or far past the end),
    // the end of the file is the one place where a new memo overwrites
    // nothing and leaves no hole.
    uint64_t AppendBlock() const { return std::max(EndBlock(), FirstDataBlock()); }

    // Reads exactly nCount bytes at nOffset; false on a short read. Platform
    // errors propagate as CFileException.
    bool ReadAt(uint64_t nOffset, void* pData, size_t nCount);
    // Writes nCount bytes at nOffset. While a change is open, the bytes it
    // replaces are remembered first so that the change can be undone.
    void WriteAt(uint64_t nOffset, const void* pData, size_t nCount);

    // A memo write as one unit: every write made through WriteAt (and the
    // growth of the file) is undone when the change ends without Commit, so a
    // failed write leaves the file as it was and the caller's old reference
    // valid. Changes do not nest.
    class CChange {
    public:
        explicit CChange(CMemoFile& memo);
        ~CChange();
        CChange(const CChange&) = delete;
        CChange& operator=(const CChange&) = delete;
        void Commit();

    private:
        CMemoFile& m_memo;
        bool m_bDone = false;
    };
    // Runs fnWrite as one change: a platform file error undoes its writes and
    // raises 3014; an engine error undoes them and propagates.
    template <class F>
    void RunChange(F fnWrite) {
        try {
            CChange change(*this);
            fnWrite();
            change.Commit();
        } catch (const platform::CFileException&) {
            // The change has been undone by now: its scope is left.
            ThrowWriteError();
        }
    }
    [[noreturn]] static void ThrowWriteError();

    // Notes the memo a write replaces while replaced memos are kept; true
    // when the write must then place its text anew (nBlock becomes 0).
    bool KeepReplaced(uint32_t& nBlock, uint32_t nLength) {
        if (!m_bKeepReplaced || nBlock == 0) return false;
        m_replaced.push_back({nBlock, nLength});
        nBlock = 0;
        return true;
    }
    // Frees a memo once kept (see ReleaseReplaced), or the one an empty text
    // removes from its record; swallows file and engine errors.
    virtual void FreeReplaced(uint32_t nBlock, uint32_t nLength) {
        (void)nBlock;
        (void)nLength;
    }

    platform::CFile m_file;
    bool m_bOpen = false;
    uint32_t m_nBlockSize = 0;
    // Bytes at the start of the file that belong to the header.
    uint32_t m_nHeaderBytes = 22;

private:
    struct UndoEntry {
        uint64_t nOffset;
        std::vector<uint8_t> oldBytes;
    };
    void RollBack() noexcept;
    // dBASE III helpers.
    // Scans for the memo's end byte from nBlock; fills pOut (may be null) with
    // the text and returns the bytes consumed, the end byte included.
    uint64_t ScanMemo(uint32_t nBlock, std::string* pOut);
    void WriteMemoDBase3(uint32_t& nBlock, const std::string& strText);

    std::unique_ptr<uint8_t[]> m_pHeader;  // the first 22 bytes (dBASE III layout)
    bool m_bKeepReplaced = false;
    std::vector<ReplacedMemo> m_replaced;
    bool m_bRecording = false;
    uint64_t m_nLengthBefore = 0;
    std::vector<UndoEntry> m_undo;
};

}  // namespace dbf
