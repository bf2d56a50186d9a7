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

using testing_support::Bytes;

// A memo file image: a header followed by blocks of one size.
class CMemoImage {
public:
    CMemoImage(uint32_t nBlockSize, size_t nHeaderBytes) : m_nBlockSize(nBlockSize), m_bytes(nHeaderBytes, 0) {}

    // The layouts, header written and nothing else.
    static CMemoImage DBase3(uint32_t nNextBlock, uint16_t nBlockSizeField = 0);
    static CMemoImage DBase4(uint32_t nFirstFree, uint16_t nBlockSize = 512);
    static CMemoImage Fpt(uint32_t nNextBlock, uint16_t nBlockSize = 64);
    static CMemoImage Smt(uint32_t nEndBlock, uint32_t nBlockSize, const std::vector<std::pair<uint16_t, uint32_t>>& free = {});

    CMemoImage& Le16(size_t nOffset, uint16_t v);
    CMemoImage& Le32(size_t nOffset, uint32_t v);
    CMemoImage& Be32(size_t nOffset, uint32_t v);
    CMemoImage& Put(size_t nOffset, const std::string& strBytes);
    // Writes bytes at the start of a block; the file grows as needed.
    CMemoImage& AtBlock(uint32_t nBlock, const std::string& strBytes);
    // Makes the file exactly nBlocks blocks long (zero padding or cut).
    CMemoImage& Blocks(uint32_t nBlocks);

    // One memo in each layout's own form.
    CMemoImage& DBase3Memo(uint32_t nBlock, const std::string& strText);
    CMemoImage& DBase4Memo(uint32_t nBlock, const std::string& strText);
    CMemoImage& DBase4Run(uint32_t nBlock, uint32_t nNext, uint32_t nCount);
    CMemoImage& FptMemo(uint32_t nBlock, const std::string& strText, uint32_t nType = 1);

    const Bytes& GetBytes() const { return m_bytes; }
    // Writes the image to dir/name and returns the path.
    std::string Save(const testing_support::TempDir& dir, const std::string& strName) const;

private:
    uint32_t m_nBlockSize;
    Bytes m_bytes;
};

// The dBASE IV free chain of a file as (first block, count) runs, walked at
// most 100 steps (tests build short chains).
std::vector<std::pair<uint32_t, uint32_t>> DBase4Chain(const Bytes& file);
// The .SMT free table as (count, first block) entries.
std::vector<std::pair<uint16_t, uint32_t>> SmtFreeTable(const Bytes& file);
uint32_t Le32At(const Bytes& file, size_t nOffset);
uint32_t Be32At(const Bytes& file, size_t nOffset);

}  // namespace memo_testing
