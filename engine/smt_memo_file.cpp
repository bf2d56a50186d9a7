// CSMTMemoFile: the .SMT layout. A memo is its bytes alone, from the start of
// its block; its length lives in the record. Free runs are kept in a table of
// at most 81 entries in the 510-byte header, sorted by first block.
#include "engine/smt_memo_file.h"

#include <algorithm>
#include <cstring>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"

namespace dbf {

namespace {
constexpr size_t kEntryCountOffset = 18;
constexpr size_t kEntriesOffset = 20;
constexpr size_t kEntrySize = 6;
constexpr uint32_t kMaxEntryCount = 0xFFFF;  // an entry counts its blocks in 16 bits
}  // namespace

void CSMTMemoFile::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (m_bOpen) return;
    OpenFile(strPath, nOpenFlags);
    ReadOpenHeader(m_header, kHeaderSize);
    m_nHeaderBytes = kHeaderSize;
    const uint32_t nBlockSize = platform::GetLE32(m_header + 4);
    if (nBlockSize < 1) FailOpen(errMemoBlockSize);
    // More entries than the table has room for: not a header we understand.
    if (platform::GetLE16(m_header + kEntryCountOffset) > kMaxFreeEntries) FailOpen(errMemoHeader);
    m_nBlockSize = nBlockSize;
    m_bOpen = true;
}

uint32_t CSMTMemoFile::GetNextBlock() const { return platform::GetLE32(m_header); }

// ---------------------------------------------------------------------------
// Reading

void CSMTMemoFile::ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    // Checked before anything is allocated: the length comes from a record,
    // which may be as damaged as the memo file.
    if (!IsSoundReference(nBlock, nLength)) ThrowError(errInvalidMemoRef);
    strText.resize(nLength);
    if (!ReadAt(BlockOffset(nBlock), strText.data(), strText.size())) ThrowError(errInvalidMemoRef);
}

bool CSMTMemoFile::IsSoundReference(uint32_t nBlock, uint32_t nLength) {
    const uint64_t nFileLength = m_file.GetLength();
    const uint64_t nPos = BlockOffset(nBlock);
    return nLength >= 1 && nBlock >= FirstDataBlock() && nPos < nFileLength && nLength <= nFileLength - nPos;
}

// ---------------------------------------------------------------------------
// Writing

void CSMTMemoFile::WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) {
    if (!m_bOpen) return;
    if (strText.size() > UINT32_MAX) ThrowError(errWriteMemo);
    const uint64_t nOld = BlocksFor(nLength);
    if (strText.empty()) {
        if (nBlock != 0 && !KeepReplaced(nBlock, nLength)) FreeReplaced(nBlock, nLength);
        nBlock = 0;
        nLength = 0;
        return;
    }
    const uint64_t nNeed = BlocksFor(strText.size());
    uint32_t nNew = nBlock;
    KeepReplaced(nNew, nLength);
    RunChange([&] {
        if (nNew != 0) {
            if (IsSoundReference(nNew, nLength)) {
                if (nOld == nNeed) {
                    WriteAt(BlockOffset(nNew), strText.data(), strText.size());
                    return;
                }
                Free(nNew, nOld);
            }
            nNew = 0;
        }
        if (!TakeFreeBlocks(nNeed, strText, nNew)) nNew = Append(strText);
    });
    nBlock = nNew;
    nLength = uint32_t(strText.size());
}

void CSMTMemoFile::FreeReplaced(uint32_t nBlock, uint32_t nLength) {
    try {
        CChange change(*this);
        if (IsSoundReference(nBlock, nLength)) Free(nBlock, BlocksFor(nLength));
        change.Commit();
    } catch (const platform::CFileException&) {
        // Freeing is only bookkeeping: when it fails, its writes are undone,
        // the blocks stay unlisted and the memo is still removed from the
        // record.
    } catch (const CDBFException&) {
    }
}

void CSMTMemoFile::ReadHeader() {
    if (!ReadAt(0, m_header, kHeaderSize)) ThrowWriteError();
}

void CSMTMemoFile::WriteHeader() { WriteAt(0, m_header, kHeaderSize); }

unsigned CSMTMemoFile::GetEntryCount() const {
    // The count is checked when the file opens, but the header is re-read
    // before every change and another program may have written it since.
    return std::min<unsigned>(platform::GetLE16(m_header + kEntryCountOffset), kMaxFreeEntries);
}

void CSMTMemoFile::SetEntryCount(unsigned nCount) { platform::PutLE16(m_header + kEntryCountOffset, uint16_t(nCount)); }

CSMTMemoFile::FreeEntry CSMTMemoFile::GetEntry(unsigned nIndex) const {
    const uint8_t* p = m_header + kEntriesOffset + nIndex * kEntrySize;
    return {platform::GetLE16(p), platform::GetLE32(p + 2)};
}

void CSMTMemoFile::SetEntry(unsigned nIndex, const FreeEntry& entry) {
    uint8_t* p = m_header + kEntriesOffset + nIndex * kEntrySize;
    platform::PutLE16(p, uint16_t(entry.nCount));
    platform::PutLE32(p + 2, entry.nFirst);
}

void CSMTMemoFile::InsertEntry(unsigned nIndex, const FreeEntry& entry) {
    const unsigned nCount = GetEntryCount();  // below kMaxFreeEntries: checked by the caller
    uint8_t* p = m_header + kEntriesOffset + nIndex * kEntrySize;
    std::memmove(p + kEntrySize, p, (nCount - nIndex) * kEntrySize);
    SetEntry(nIndex, entry);
    SetEntryCount(nCount + 1);
}

void CSMTMemoFile::RemoveEntry(unsigned nIndex) {
    const unsigned nCount = GetEntryCount();
    uint8_t* p = m_header + kEntriesOffset + nIndex * kEntrySize;
    std::memmove(p, p + kEntrySize, (nCount - nIndex - 1) * kEntrySize);
    SetEntryCount(nCount - 1);
}

void CSMTMemoFile::Free(uint32_t nBlock, uint64_t nBlocks) {
    // A run the table cannot count is not recorded; its blocks are lost for
    // reuse, never for the memos around them.
    if (nBlocks == 0 || nBlocks > kMaxEntryCount) return;
    ReadHeader();
    const uint64_t nFreedEnd = uint64_t(nBlock) + nBlocks;
    const unsigned nCount = GetEntryCount();
    for (unsigned i = 0; i < nCount; ++i) {
        const FreeEntry entry = GetEntry(i);
        // Already free (a stale reference freed twice): leave the table alone.
        if (nBlock < uint64_t(entry.nFirst) + entry.nCount && entry.nFirst < nFreedEnd) return;
        if (nFreedEnd == entry.nFirst && nBlocks + entry.nCount <= kMaxEntryCount) {
            SetEntry(i, {uint32_t(nBlocks + entry.nCount), nBlock});
            WriteHeader();
            return;
        }
        if (nBlock < entry.nFirst) {
            if (nCount >= kMaxFreeEntries) return;  // a full table: the run is not recorded
            InsertEntry(i, {uint32_t(nBlocks), nBlock});
            WriteHeader();
            return;
        }
    }
    if (nCount >= kMaxFreeEntries) return;
    InsertEntry(nCount, {uint32_t(nBlocks), nBlock});
    WriteHeader();
}

bool CSMTMemoFile::TakeFreeBlocks(uint64_t nNeed, const std::string& strText, uint32_t& nBlock) {
    ReadHeader();
    const uint64_t nEnd = EndBlock();
    const unsigned nCount = GetEntryCount();
    for (unsigned i = 0; i < nCount; ++i) {
        FreeEntry entry = GetEntry(i);
        // An entry naming blocks of the header or past the end of the file is
        // damage, not free space: writing there would destroy the header or
        // leave a hole.
        if (entry.nCount == 0 || entry.nFirst < FirstDataBlock() || uint64_t(entry.nFirst) + entry.nCount > nEnd)
            continue;
        if (nNeed > entry.nCount) continue;
        if (nNeed < entry.nCount) {
            // The memo takes the run's tail; the entry keeps its first block.
            const uint32_t nAt = uint32_t(entry.nFirst + entry.nCount - nNeed);
            WriteAt(BlockOffset(nAt), strText.data(), strText.size());
            entry.nCount -= uint32_t(nNeed);
            SetEntry(i, entry);
            WriteHeader();
            nBlock = nAt;
            return true;
        }
        WriteAt(BlockOffset(entry.nFirst), strText.data(), strText.size());
        RemoveEntry(i);
        WriteHeader();
        nBlock = entry.nFirst;
        return true;
    }
    return false;
}

uint32_t CSMTMemoFile::Append(const std::string& strText) {
    const uint64_t nNew = AppendBlock();
    if (nNew + BlocksFor(strText.size()) > UINT32_MAX) ThrowWriteError();  // block numbers are 32-bit
    WriteAt(BlockOffset(uint32_t(nNew)), strText.data(), strText.size());
    ReadHeader();
    platform::PutLE32(m_header, uint32_t(EndBlock()));
    WriteHeader();
    return uint32_t(nNew);
}

}  // namespace dbf
