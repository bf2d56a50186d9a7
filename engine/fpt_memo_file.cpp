// CFPTMemoFile: the FoxPro .FPT/.DCT layout. Big-endian numbers; the header
// names the next free block and the block size; each memo starts with its
// type and length. Space is never reused: a memo that grows moves to the end.
#include "engine/fpt_memo_file.h"

#include <cstring>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"

namespace dbf {

namespace {
constexpr uint32_t kBlockHeaderSize = 8;
constexpr uint32_t kTypeText = 1;
constexpr uint32_t kMaxLength = 0x7FFFFFFF;  // a length with its top bit set is refused on reading
// FoxPro keeps the whole first 512 bytes for its header; no memo starts there.
constexpr uint32_t kReservedHeaderBytes = 512;
}  // namespace

void CFPTMemoFile::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (m_bOpen) return;
    OpenFile(strPath, nOpenFlags);
    ReadOpenHeader(m_header, kHeaderSize);
    m_nHeaderBytes = kReservedHeaderBytes;
    const uint32_t nBlockSize = platform::GetBE16(m_header + 6);
    if (nBlockSize == 0) FailOpen(errMemoBlockSize);
    m_nBlockSize = nBlockSize;
    m_bOpen = true;
}

uint32_t CFPTMemoFile::GetNextBlock() const { return platform::GetBE32(m_header); }

// ---------------------------------------------------------------------------
// Reading

void CFPTMemoFile::ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    const uint64_t nFileLength = m_file.GetLength();
    const uint64_t nPos = BlockOffset(nBlock);
    if (nBlock < FirstDataBlock() || nPos >= nFileLength) ThrowError(errInvalidMemoRef);
    uint8_t stored[4];
    if (!ReadAt(nPos + 4, stored, sizeof stored)) ThrowError(errInvalidMemoRef);
    const uint32_t nStored = platform::GetBE32(stored);
    // A length of 0 is an empty memo: FoxPro and other writers store an
    // emptied memo that way, and refusing it would make the whole table
    // unreadable for a perfectly sound field.
    if (nStored > kMaxLength) ThrowError(errInvalidMemoRef);
    // Checked before anything is allocated: a damaged length must not
    // make us reserve gigabytes for bytes the file does not hold.
    if (nStored > nFileLength - nPos - kBlockHeaderSize) ThrowError(errInvalidMemoRef);
    strText.resize(nStored);
    if (!ReadAt(nPos + kBlockHeaderSize, strText.data(), strText.size())) ThrowError(errInvalidMemoRef);
    nLength = nStored;
}

// ---------------------------------------------------------------------------
// Writing

void CFPTMemoFile::WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) {
    if (!m_bOpen) return;
    if (strText.empty()) {
        // The old memo's blocks are not reclaimed: this layout has no free list.
        KeepReplaced(nBlock, 0);
        nBlock = 0;
        nLength = 0;
        return;
    }
    if (strText.size() > kMaxLength) ThrowError(errWriteMemo);
    // Type, length and data: the length (and type, on append) are big-endian.
    std::string strData(kBlockHeaderSize, '\0');
    platform::PutBE32(strData.data(), kTypeText);
    platform::PutBE32(strData.data() + 4, uint32_t(strText.size()));
    strData += strText;
    uint32_t nNew = nBlock;
    KeepReplaced(nNew, 0);
    RunChange([&] {
        if (nNew != 0 && strData.size() <= Capacity(nNew)) {
            // It fits in the old memo's blocks: rewrite the length and the
            // data; the type word stays as it was.
            WriteAt(BlockOffset(nNew) + 4, strData.data() + 4, strData.size() - 4);
            return;
        }
        nNew = Append(strData);
    });
    nBlock = nNew;
    nLength = uint32_t(strText.size());
}

uint64_t CFPTMemoFile::Capacity(uint32_t nBlock) {
    const uint64_t nFileLength = m_file.GetLength();
    const uint64_t nPos = BlockOffset(nBlock);
    if (nBlock < FirstDataBlock() || nPos >= nFileLength) return 0;
    uint8_t stored[4];
    if (!ReadAt(nPos + 4, stored, sizeof stored)) return 0;
    const uint32_t nLength = platform::GetBE32(stored);
    // The read above proved that the 8-byte block header lies in the file.
    if (nLength > kMaxLength || nLength > nFileLength - nPos - kBlockHeaderSize) return 0;
    return BlocksFor(uint64_t(nLength) + kBlockHeaderSize) * m_nBlockSize;
}

uint32_t CFPTMemoFile::Append(const std::string& strData) {
    // Re-read: another program may have written the header since we last
    // looked, and the bytes we do not use go back as they are.
    uint8_t header[kHeaderSize];
    if (!ReadAt(0, header, sizeof header)) ThrowWriteError();
    const uint64_t nNew = AppendBlock();
    const uint64_t nNext = nNew + BlocksFor(strData.size());
    if (nNext > UINT32_MAX) ThrowWriteError();  // block numbers are 32-bit
    // The memo first, then the header that accounts for it.
    WriteAt(BlockOffset(uint32_t(nNew)), strData.data(), strData.size());
    platform::PutBE32(header, uint32_t(nNext));
    WriteAt(0, header, sizeof header);
    std::memcpy(m_header, header, sizeof header);
    return uint32_t(nNew);
}

}  // namespace dbf
