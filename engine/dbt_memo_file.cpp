// CDBTMemoFile: the dBASE IV .DBT layout. Memos carry an 8-byte block header
// (marker FF FF 08 00, then the length including those 8 bytes); free blocks
// form a chain of runs, each run's first block holding the next run's block
// and its own block count.
#include "engine/dbt_memo_file.h"

#include <algorithm>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"

namespace dbf {

namespace {
constexpr uint32_t kMemoMarker = 0x0008FFFF;
constexpr uint32_t kBlockHeaderSize = 8;
constexpr uint32_t kMaxStoredLength = 0x80000007;
// The 8-byte block header of a memo and the 8-byte record of a free run must
// each fit in one block.
constexpr uint32_t kMinBlockSize = 8;
}  // namespace

void CDBTMemoFile::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (m_bOpen) return;
    OpenFile(strPath, nOpenFlags);
    ReadOpenHeader(m_header, kHeaderSize);
    m_nHeaderBytes = kHeaderSize;
    const uint32_t nBlockSize = platform::GetLE16(m_header + 20);
    if (nBlockSize < kMinBlockSize) FailOpen(errMemoBlockSize);
    m_nBlockSize = nBlockSize;
    m_bOpen = true;
}

uint32_t CDBTMemoFile::GetNextBlock() const { return platform::GetLE32(m_header); }

// ---------------------------------------------------------------------------
// Reading

void CDBTMemoFile::ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    const uint64_t nFileLength = m_file.GetLength();
    const uint64_t nPos = BlockOffset(nBlock);
    if (nBlock < FirstDataBlock() || nPos >= nFileLength) ThrowError(errInvalidMemoRef);
    uint8_t stored[4];
    if (!ReadAt(nPos + 4, stored, sizeof stored)) ThrowError(errInvalidMemoRef);
    const uint32_t nStored = platform::GetLE32(stored);
    // A stored length of 8 is an empty memo, which no program writes.
    if (nStored <= kBlockHeaderSize || nStored > kMaxStoredLength) ThrowError(errInvalidMemoRef);
    // Checked before anything is allocated: a damaged length must not
    // make us reserve gigabytes for bytes the file does not hold.
    if (nStored > nFileLength - nPos) ThrowError(errInvalidMemoRef);
    strText.resize(nStored - kBlockHeaderSize);
    if (!ReadAt(nPos + kBlockHeaderSize, strText.data(), strText.size())) ThrowError(errInvalidMemoRef);
    nLength = uint32_t(strText.size());
}

// ---------------------------------------------------------------------------
// Writing

void CDBTMemoFile::WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) {
    if (!m_bOpen) return;
    if (strText.size() > kMaxStoredLength - kBlockHeaderSize) ThrowError(errWriteMemo);
    if (strText.empty()) {
        if (nBlock != 0 && !KeepReplaced(nBlock, 0)) FreeReplaced(nBlock, 0);
        nBlock = 0;
        nLength = 0;
        return;
    }
    const uint64_t nNeed = BlocksFor(strText.size() + kBlockHeaderSize);
    uint32_t nNew = nBlock;
    KeepReplaced(nNew, 0);
    RunChange([&] {
        if (nNew != 0) {
            const uint64_t nOld = OccupiedBlocks(nNew);
            if (nOld == nNeed) {
                // Same number of blocks: rewrite the length and the text, the
                // marker stays.
                std::string strData(4, '\0');
                platform::PutLE32(strData.data(), uint32_t(strText.size() + kBlockHeaderSize));
                strData += strText;
                WriteAt(BlockOffset(nNew) + 4, strData.data(), strData.size());
                return;
            }
            if (nOld != 0) FreeRun(nNew, nOld);
            nNew = 0;
        }
        if (!TakeFreeRun(nNeed, strText, nNew)) nNew = Append(nNeed, strText);
    });
    nBlock = nNew;
    nLength = uint32_t(strText.size());
}

void CDBTMemoFile::FreeReplaced(uint32_t nBlock, uint32_t) {
    try {
        CChange change(*this);
        if (uint64_t nOld = OccupiedBlocks(nBlock)) FreeRun(nBlock, nOld);
        change.Commit();
    } catch (const platform::CFileException&) {
        // Freeing is only bookkeeping: when it fails, its writes are undone,
        // the blocks stay out of the chain and the memo is still removed
        // from the record.
    } catch (const CDBFException&) {
    }
}

uint64_t CDBTMemoFile::OccupiedBlocks(uint32_t nBlock) {
    const uint64_t nFileLength = m_file.GetLength();
    const uint64_t nPos = BlockOffset(nBlock);
    if (nBlock < FirstDataBlock() || nPos >= nFileLength) return 0;
    uint8_t blockHeader[kBlockHeaderSize];
    if (!ReadAt(nPos, blockHeader, sizeof blockHeader)) return 0;
    // Without its marker the block is no memo: perhaps the head of a free run
    // that a stale reference still names. Freeing it again would tie the
    // chain in a knot, and rewriting it would clobber whatever lives there.
    if (platform::GetLE32(blockHeader) != kMemoMarker) return 0;
    const uint32_t nStored = platform::GetLE32(blockHeader + 4);
    if (nStored < kBlockHeaderSize || nStored > kMaxStoredLength || nStored > nFileLength - nPos) return 0;
    return BlocksFor(nStored);
}

void CDBTMemoFile::ReadHeader() {
    if (!ReadAt(0, m_header, kHeaderSize)) ThrowWriteError();
}

void CDBTMemoFile::WriteHeader() { WriteAt(0, m_header, kHeaderSize); }

void CDBTMemoFile::WriteMemoAt(uint32_t nBlock, const std::string& strText) {
    std::string strData(kBlockHeaderSize, '\0');
    platform::PutLE32(strData.data(), kMemoMarker);
    platform::PutLE32(strData.data() + 4, uint32_t(strText.size() + kBlockHeaderSize));
    strData += strText;
    WriteAt(BlockOffset(nBlock), strData.data(), strData.size());
}

void CDBTMemoFile::LinkTo(const Run* pPrev, uint32_t nTarget) {
    if (pPrev) {
        uint8_t link[4];
        platform::PutLE32(link, nTarget);
        WriteAt(BlockOffset(pPrev->nBlock), link, sizeof link);
        return;
    }
    platform::PutLE32(m_header, nTarget);
    WriteHeader();
}

bool CDBTMemoFile::ReadRun(uint32_t nBlock, uint64_t nEnd, Run& run) {
    if (nBlock < FirstDataBlock() || nBlock >= nEnd) return false;
    uint8_t record[8];
    if (!ReadAt(BlockOffset(nBlock), record, sizeof record)) return false;
    run = {nBlock, platform::GetLE32(record), platform::GetLE32(record + 4)};
    // A block that starts with the memo marker is a memo: a link still
    // naming the old end of the file after an append lands there.
    if (run.nNext == kMemoMarker) return false;
    return run.nCount != 0 && uint64_t(nBlock) + run.nCount <= nEnd;
}

template <class F>
bool CDBTMemoFile::WalkChain(F fnVisit, std::optional<Run>& last) {
    ReadHeader();
    last.reset();
    const uint64_t nEnd = EndBlock();
    uint32_t nCur = platform::GetLE32(m_header);
    for (uint64_t nSteps = 0; nSteps < nEnd; ++nSteps) {
        if (nCur == nEnd || nCur == kMemoMarker) break;
        Run run{};
        if (!ReadRun(nCur, nEnd, run)) break;
        if (fnVisit(run, last ? &*last : nullptr)) return true;
        last = run;
        nCur = run.nNext;
    }
    return false;
}

bool CDBTMemoFile::TakeFreeRun(uint64_t nNeed, const std::string& strText, uint32_t& nBlock) {
    std::optional<Run> last;
    return WalkChain(
        [&](const Run& run, const Run* pPrev) {
            if (nNeed > run.nCount) return false;
            if (nNeed < run.nCount) {
                // The memo takes the run's tail, so the run's record stays put.
                const uint32_t nAt = uint32_t(run.nBlock + run.nCount - nNeed);
                WriteMemoAt(nAt, strText);
                uint8_t count[4];
                platform::PutLE32(count, uint32_t(run.nCount - nNeed));
                WriteAt(BlockOffset(run.nBlock) + 4, count, sizeof count);
                nBlock = nAt;
                return true;
            }
            WriteMemoAt(run.nBlock, strText);
            LinkTo(pPrev, run.nNext);
            nBlock = run.nBlock;
            return true;
        },
        last);
}

uint32_t CDBTMemoFile::Append(uint64_t nNeed, const std::string& strText) {
    const uint64_t nNew = AppendBlock();
    if (nNew + nNeed > UINT32_MAX) ThrowWriteError();  // block numbers are 32-bit
    WriteMemoAt(uint32_t(nNew), strText);
    ReadHeader();
    if (platform::GetLE32(m_header) == nNew) {
        // The chain was empty: its end moves with the end of the file.
        platform::PutLE32(m_header, uint32_t(nNew + nNeed));
        WriteHeader();
    }
    const uint64_t nLength = m_file.GetLength();
    const uint64_t nRounded = BlocksFor(nLength) * m_nBlockSize;
    if (nRounded != nLength) m_file.SetLength(nRounded);
    return uint32_t(nNew);
}

void CDBTMemoFile::FreeRun(uint32_t nBlock, uint64_t nBlocks) {
    const uint64_t nFreedEnd = uint64_t(nBlock) + nBlocks;
    std::optional<Run> last;
    const bool bDone = WalkChain(
        [&](const Run& run, const Run* pPrev) {
            const uint64_t nRunEnd = uint64_t(run.nBlock) + run.nCount;
            // Already free (a stale reference freed twice): leave the chain alone.
            if (nBlock < nRunEnd && run.nBlock < nFreedEnd) return true;
            if (nRunEnd == nBlock) {
                uint8_t count[4];
                platform::PutLE32(count, uint32_t(run.nCount + nBlocks));
                WriteAt(BlockOffset(run.nBlock) + 4, count, sizeof count);
                return true;
            }
            if (nFreedEnd == run.nBlock) {
                // The freed blocks come first: they take over the run, and the
                // link that named the run now names them. Written in this
                // order, a failure between the two writes loses no chain.
                uint8_t record[8];
                platform::PutLE32(record, run.nNext);
                platform::PutLE32(record + 4, uint32_t(nBlocks + run.nCount));
                WriteAt(BlockOffset(nBlock), record, sizeof record);
                LinkTo(pPrev, nBlock);
                return true;
            }
            return false;
        },
        last);
    if (bDone) return;
    // The freed blocks become the last run of the chain.
    uint8_t record[8];
    platform::PutLE32(record, uint32_t(std::min<uint64_t>(EndBlock(), UINT32_MAX)));
    platform::PutLE32(record + 4, uint32_t(nBlocks));
    WriteAt(BlockOffset(nBlock), record, sizeof record);
    LinkTo(last ? &*last : nullptr, nBlock);
}

}  // namespace dbf
