// CMemoFile: what the four memo layouts share (opening, checked reads, writes
// that can be undone) and the dBASE III .DBT layout itself: a 22-byte header
// naming the next available block, memos ended by a 0x1A byte.
#include "engine/memo_file.h"

#include <algorithm>
#include <cstring>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"

namespace dbf {

namespace {
constexpr size_t kDBase3HeaderSize = 22;
constexpr uint32_t kDefaultBlockSize = 512;
constexpr uint8_t kMemoEnd = 0x1A;
// dBASE III ends a memo with two end bytes, and readers of its tables stop
// only at the pair: a single one would let them read on into whatever a
// longer text left behind in the block.
constexpr char kMemoEndPair[] = "\x1A\x1A";
// The scan for the end byte reads this much at a time; the result is the
// same as reading byte by byte.
constexpr size_t kScanChunk = 8192;
}  // namespace

CMemoFile::CMemoFile() = default;

CMemoFile::~CMemoFile() { Close(); }

// ---------------------------------------------------------------------------
// Shared helpers

void CMemoFile::OpenFile(const std::string& strPath, unsigned nOpenFlags) {
    if (!m_file.Open(strPath, nOpenFlags | platform::typeBinary)) ThrowError(errCantOpenMemo);
}

void CMemoFile::ReadOpenHeader(uint8_t* pHeader, size_t nCount) {
    bool bRead = false;
    try {
        bRead = ReadAt(0, pHeader, nCount);
    } catch (const platform::CFileException&) {
        bRead = false;
    }
    if (!bRead) FailOpen(errMemoHeader);
}

void CMemoFile::FailOpen(int nCode) {
    // A file that failed its checks is not kept open: it would hold its
    // sharing locks for nothing.
    m_file.Close();
    m_bOpen = false;
    ThrowError(nCode);
}

bool CMemoFile::ReadAt(uint64_t nOffset, void* pData, size_t nCount) {
    m_file.Seek(int64_t(nOffset), platform::SeekFrom::begin);
    return m_file.Read(pData, nCount) == nCount;
}

void CMemoFile::WriteAt(uint64_t nOffset, const void* pData, size_t nCount) {
    if (m_bRecording && nOffset < m_nLengthBefore) {
        // Only bytes that existed before the change need restoring; what lies
        // past the old end goes with the truncation.
        UndoEntry entry{nOffset, std::vector<uint8_t>(size_t(std::min<uint64_t>(nCount, m_nLengthBefore - nOffset)))};
        m_file.Seek(int64_t(nOffset), platform::SeekFrom::begin);
        entry.oldBytes.resize(m_file.Read(entry.oldBytes.data(), entry.oldBytes.size()));
        m_undo.push_back(std::move(entry));
    }
    m_file.Seek(int64_t(nOffset), platform::SeekFrom::begin);
    m_file.Write(pData, nCount);
}

void CMemoFile::RollBack() noexcept {
    // Best effort: when the disk refuses these writes too, there is nothing
    // better left to do than to leave the file as the failure left it.
    for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
        try {
            m_file.Seek(int64_t(it->nOffset), platform::SeekFrom::begin);
            m_file.Write(it->oldBytes.data(), it->oldBytes.size());
        } catch (const platform::CFileException&) {
        }
    }
    try {
        if (m_file.GetLength() > m_nLengthBefore) m_file.SetLength(m_nLengthBefore);
    } catch (const platform::CFileException&) {
    }
    m_undo.clear();
}

CMemoFile::CChange::CChange(CMemoFile& memo) : m_memo(memo) {
    m_memo.m_undo.clear();
    m_memo.m_nLengthBefore = m_memo.m_file.GetLength();
    m_memo.m_bRecording = true;
}

CMemoFile::CChange::~CChange() {
    if (!m_bDone) m_memo.RollBack();
    m_memo.m_bRecording = false;
    m_memo.m_undo.clear();
}

void CMemoFile::CChange::Commit() {
    m_bDone = true;
    m_memo.m_bRecording = false;
    m_memo.m_undo.clear();
}

void CMemoFile::ThrowWriteError() { ThrowError(errWriteMemo); }

void CMemoFile::Close() {
    if (m_file.IsOpen()) m_file.Close();
    m_pHeader.reset();
    m_bOpen = false;
}

uint32_t CMemoFile::GetNextBlock() const { return m_pHeader ? platform::GetLE32(m_pHeader.get()) : 0; }

// ---------------------------------------------------------------------------
// dBASE III layout

void CMemoFile::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (m_bOpen) return;
    OpenFile(strPath, nOpenFlags);
    m_pHeader = std::make_unique<uint8_t[]>(kDBase3HeaderSize);
    ReadOpenHeader(m_pHeader.get(), kDBase3HeaderSize);
    m_nHeaderBytes = kDBase3HeaderSize;
    m_nBlockSize = platform::GetLE16(m_pHeader.get() + 20);
    if (m_nBlockSize == 0) m_nBlockSize = kDefaultBlockSize;
    m_bOpen = true;
}

uint64_t CMemoFile::ScanMemo(uint32_t nBlock, std::string* pOut) {
    const uint64_t nStart = BlockOffset(nBlock);
    const uint64_t nFileLength = m_file.GetLength();
    // A reference into the header or past the end names no memo.
    if (nBlock < FirstDataBlock() || nStart >= nFileLength) ThrowError(errInvalidMemoRef);
    const uint64_t nLimit = nFileLength - nStart;
    m_file.Seek(int64_t(nStart), platform::SeekFrom::begin);
    std::vector<char> chunk(size_t(std::min<uint64_t>(kScanChunk, nLimit)));
    uint64_t nConsumed = 0;
    while (nConsumed < nLimit) {
        size_t nWant = size_t(std::min<uint64_t>(chunk.size(), nLimit - nConsumed));
        size_t nGot = m_file.Read(chunk.data(), nWant);
        if (nGot == 0) break;  // the file shrank under us: stop where it ends
        const char* pEnd = static_cast<const char*>(std::memchr(chunk.data(), kMemoEnd, nGot));
        size_t nText = pEnd ? size_t(pEnd - chunk.data()) : nGot;
        if (pOut) pOut->append(chunk.data(), nText);
        nConsumed += pEnd ? nText + 1 : nGot;
        if (pEnd) break;
    }
    // The consumed count travels as a 32-bit length.
    if (nConsumed > UINT32_MAX) ThrowError(errInvalidMemoRef);
    return nConsumed;
}

void CMemoFile::ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    nLength = uint32_t(ScanMemo(nBlock, &strText));
}

void CMemoFile::ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    strText.clear();
    if (!m_bOpen) return;
    std::string strRead;
    uint32_t nRead = nLength;
    try {
        ReadMemoBytes(nBlock, nRead, strRead);
    } catch (const platform::CFileException&) {
        ThrowError(errInvalidMemoRef);
    }
    strText.swap(strRead);
    nLength = nRead;
}

void CMemoFile::ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!m_bOpen) return;
    std::string strText;
    ReadMemoText(nBlock, nLength, strText);
    bytes.assign(strText.begin(), strText.end());
}

void CMemoFile::WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) {
    if (!m_bOpen) return;
    if (strText.empty()) {
        // The old memo's blocks are not reclaimed: this layout has no free list.
        KeepReplaced(nBlock, 0);
        nBlock = 0;
        nLength = 0;
        return;
    }
    // The text and its end bytes must stay countable in 32 bits.
    if (strText.size() >= UINT32_MAX - 1) ThrowError(errWriteMemo);
    uint32_t nNewBlock = nBlock;
    KeepReplaced(nNewBlock, 0);
    RunChange([&] { WriteMemoDBase3(nNewBlock, strText); });
    nBlock = nNewBlock;
    nLength = uint32_t(strText.size());
}

void CMemoFile::WriteMemoDBase3(uint32_t& nBlock, const std::string& strText) {
    std::string strData = strText;
    strData.append(kMemoEndPair, 2);
    if (nBlock != 0) {
        // The old memo can be overwritten when the new text with its end bytes
        // fits in the blocks the old one occupied. A reference that names no
        // memo (in the header, past the end) is simply replaced.
        uint64_t nConsumed = 0;
        try {
            nConsumed = ScanMemo(nBlock, nullptr);
        } catch (const CDBFException&) {
            nConsumed = 0;
        }
        if (nConsumed != 0 && strData.size() <= BlocksFor(nConsumed) * m_nBlockSize) {
            WriteAt(BlockOffset(nBlock), strData.data(), strData.size());
            return;
        }
    }
    // Append. The header is re-read now (another program may have written
    // it since we last looked) so that the bytes we do not use go back as
    // they are.
    uint8_t header[kDBase3HeaderSize];
    if (!ReadAt(0, header, sizeof header)) ThrowWriteError();
    const uint64_t nNew = AppendBlock();
    const uint64_t nNext = nNew + BlocksFor(strData.size());
    if (nNext > UINT32_MAX) ThrowWriteError();  // the file cannot name blocks that far
    // The memo first, then the header: a header naming blocks past a memo
    // that was never written would be worse than a memo nobody points to.
    WriteAt(BlockOffset(uint32_t(nNew)), strData.data(), strData.size());
    platform::PutLE32(header, uint32_t(nNext));
    WriteAt(0, header, sizeof header);
    std::memcpy(m_pHeader.get(), header, sizeof header);
    nBlock = uint32_t(nNew);
}

}  // namespace dbf
