// Memo file images built byte by byte in each layout, and the bookkeeping
// (the dBASE IV free chain, the .SMT free table) read back from a file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_bytes.h"

namespace testing_support {

using Runs = std::vector<std::pair<uint32_t, uint32_t>>;  // (first block, count) or (count, first block)

// A memo file image: a header followed by blocks of one size.
class CMemoImage {
public:
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
    // Appends a memo in the file's layout at the next whole block, as the
    // programs that write it do, moves the header's next block past it and
    // returns its block.
    uint32_t Add(const std::string& strText);

    const Bytes& GetBytes() const { return m_bytes; }
    // Writes the image to the file (dir/name) and returns its path.
    std::string Save(const std::string& strPath) const;
    template <class Dir>
    std::string Save(const Dir& dir, const std::string& strName) const { return Save(dir.Path(strName)); }

private:
    enum class Layout { dBase3, dBase4, fpt, smt };
    CMemoImage(Layout layout, uint32_t nBlockSize, size_t nHeaderBytes)
        : m_layout(layout), m_nBlockSize(nBlockSize), m_bytes(nHeaderBytes, 0) {}
    size_t Offset(uint32_t nBlock) const { return size_t(nBlock) * m_nBlockSize; }
    Layout m_layout;
    uint32_t m_nBlockSize;
    Bytes m_bytes;
};

// A 32-bit number of a file, little- or big-endian; throws past the end.
uint32_t U32(const Bytes& file, size_t nOffset, bool bBigEndian = false);
// The dBASE IV free chain of a file as (first block, count), at most 100 runs.
Runs DBase4Chain(const Bytes& file);
// The .SMT free table as (count, first block) entries.
Runs SmtFreeTable(const Bytes& file);

}  // namespace testing_support
