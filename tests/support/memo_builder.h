// Builds memo files byte by byte for the memo tests, and reads back the
// bookkeeping (dBASE IV free chain, .SMT free table) to check it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/dbf_exception.h"
#include "tests/support/test_support.h"

namespace memo_testing {

using testing_support::Bytes;
using Runs = std::vector<std::pair<uint32_t, uint32_t>>;  // (first block, count) or (count, first block)

// Open flags as the table passes them: read-write shared, read only shared.
constexpr unsigned kReadWrite = 66, kReadOnly = 64;

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

// A memo file image: a header followed by blocks of one size.
class CMemoImage {
public:
    CMemoImage(uint32_t nBlockSize, size_t nHeaderBytes) : m_nBlockSize(nBlockSize), m_bytes(nHeaderBytes, 0) {}

    // The layouts, header written and nothing else.
    static CMemoImage DBase3(uint32_t nNextBlock, uint16_t nBlockSizeField = 0);
    static CMemoImage DBase4(uint32_t nFirstFree, uint16_t nBlockSize = 512);
    static CMemoImage Fpt(uint32_t nNextBlock, uint16_t nBlockSize = 64);
    static CMemoImage Smt(uint32_t nEndBlock, uint32_t nBlockSize, const Runs& free = {});

    CMemoImage& Put(size_t nOffset, const std::string& strBytes);
    CMemoImage& Le16(size_t nOffset, uint16_t v) { return Put(nOffset, {char(v), char(v >> 8)}); }
    CMemoImage& Le32(size_t nOffset, uint32_t v) { return Put(nOffset, {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}); }
    CMemoImage& Be32(size_t nOffset, uint32_t v) { return Put(nOffset, {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}); }
    // Bytes at the start of a block; the file grows as needed.
    CMemoImage& AtBlock(uint32_t nBlock, const std::string& strBytes) { return Put(Offset(nBlock), strBytes); }
    // Makes the file exactly nBlocks blocks long.
    CMemoImage& Blocks(uint32_t nBlocks);

    // One memo (or free run) in each layout's own form.
    CMemoImage& DBase3Memo(uint32_t nBlock, const std::string& strText) { return AtBlock(nBlock, strText + '\x1A'); }
    CMemoImage& DBase4Memo(uint32_t nBlock, const std::string& strText);
    CMemoImage& DBase4Run(uint32_t nBlock, uint32_t nNext, uint32_t nCount);
    CMemoImage& FptMemo(uint32_t nBlock, const std::string& strText, uint32_t nType = 1);

    // Writes the image to dir/name and returns the path.
    std::string Save(const testing_support::TempDir& dir, const std::string& strName) const;

private:
    size_t Offset(uint32_t nBlock) const { return size_t(nBlock) * m_nBlockSize; }
    uint32_t m_nBlockSize;
    Bytes m_bytes;
};

// A 32-bit number of a file, little- or big-endian; throws past the end.
uint32_t U32(const Bytes& file, size_t nOffset, bool bBigEndian = false);
// The dBASE IV free chain of a file as (first block, count), at most 100 runs.
Runs DBase4Chain(const Bytes& file);
// The .SMT free table as (count, first block) entries.
Runs SmtFreeTable(const Bytes& file);

}  // namespace memo_testing
