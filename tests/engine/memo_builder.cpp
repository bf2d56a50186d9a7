// The memo test builder: memo file images in each layout.
#include "tests/engine/memo_builder.h"

#include <algorithm>
#include <stdexcept>

namespace memo_testing {

CMemoImage CMemoImage::DBase3(uint32_t nNextBlock, uint16_t nBlockSizeField) {
    CMemoImage image(nBlockSizeField ? nBlockSizeField : 512, 512);
    image.Le32(0, nNextBlock).Le16(20, nBlockSizeField);
    return image;
}

CMemoImage CMemoImage::DBase4(uint32_t nFirstFree, uint16_t nBlockSize) {
    CMemoImage image(nBlockSize, std::max<size_t>(nBlockSize, 22));
    image.Le32(0, nFirstFree).Le16(20, nBlockSize);
    return image;
}

CMemoImage CMemoImage::Fpt(uint32_t nNextBlock, uint16_t nBlockSize) {
    CMemoImage image(nBlockSize, 512);
    image.Be32(0, nNextBlock);
    image.m_bytes[6] = uint8_t(nBlockSize >> 8);
    image.m_bytes[7] = uint8_t(nBlockSize);
    return image;
}

CMemoImage CMemoImage::Smt(uint32_t nEndBlock, uint32_t nBlockSize, const std::vector<std::pair<uint16_t, uint32_t>>& free) {
    CMemoImage image(nBlockSize, 510);
    image.Le32(0, nEndBlock).Le32(4, nBlockSize).Le16(18, uint16_t(free.size()));
    for (size_t i = 0; i < free.size() && i < 81; ++i) image.Le16(20 + 6 * i, free[i].first).Le32(22 + 6 * i, free[i].second);
    return image;
}

CMemoImage& CMemoImage::Le16(size_t nOffset, uint16_t v) {
    return Put(nOffset, std::string{char(v), char(v >> 8)});
}

CMemoImage& CMemoImage::Le32(size_t nOffset, uint32_t v) {
    return Put(nOffset, std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)});
}

CMemoImage& CMemoImage::Be32(size_t nOffset, uint32_t v) {
    return Put(nOffset, std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)});
}

CMemoImage& CMemoImage::Put(size_t nOffset, const std::string& strBytes) {
    if (m_bytes.size() < nOffset + strBytes.size()) m_bytes.resize(nOffset + strBytes.size(), 0);
    std::copy(strBytes.begin(), strBytes.end(), m_bytes.begin() + long(nOffset));
    return *this;
}

CMemoImage& CMemoImage::AtBlock(uint32_t nBlock, const std::string& strBytes) {
    return Put(size_t(nBlock) * m_nBlockSize, strBytes);
}

CMemoImage& CMemoImage::Blocks(uint32_t nBlocks) {
    m_bytes.resize(size_t(nBlocks) * m_nBlockSize, 0);
    return *this;
}

CMemoImage& CMemoImage::DBase3Memo(uint32_t nBlock, const std::string& strText) {
    return AtBlock(nBlock, strText + '\x1A');
}

CMemoImage& CMemoImage::DBase4Memo(uint32_t nBlock, const std::string& strText) {
    AtBlock(nBlock, std::string("\xFF\xFF\x08\x00", 4));
    return Le32(size_t(nBlock) * m_nBlockSize + 4, uint32_t(strText.size() + 8))
        .Put(size_t(nBlock) * m_nBlockSize + 8, strText);
}

CMemoImage& CMemoImage::DBase4Run(uint32_t nBlock, uint32_t nNext, uint32_t nCount) {
    return Le32(size_t(nBlock) * m_nBlockSize, nNext).Le32(size_t(nBlock) * m_nBlockSize + 4, nCount);
}

CMemoImage& CMemoImage::FptMemo(uint32_t nBlock, const std::string& strText, uint32_t nType) {
    const size_t nPos = size_t(nBlock) * m_nBlockSize;
    return Be32(nPos, nType).Be32(nPos + 4, uint32_t(strText.size())).Put(nPos + 8, strText);
}

std::string CMemoImage::Save(const testing_support::TempDir& dir, const std::string& strName) const {
    std::string strPath = dir.Path(strName);
    testing_support::WriteFileBytes(strPath, m_bytes);
    return strPath;
}

uint32_t Le32At(const Bytes& file, size_t nOffset) {
    if (nOffset + 4 > file.size()) throw std::out_of_range("Le32At past the end of the file");
    return uint32_t(file[nOffset]) | uint32_t(file[nOffset + 1]) << 8 | uint32_t(file[nOffset + 2]) << 16 |
           uint32_t(file[nOffset + 3]) << 24;
}

uint32_t Be32At(const Bytes& file, size_t nOffset) {
    if (nOffset + 4 > file.size()) throw std::out_of_range("Be32At past the end of the file");
    return uint32_t(file[nOffset]) << 24 | uint32_t(file[nOffset + 1]) << 16 | uint32_t(file[nOffset + 2]) << 8 |
           uint32_t(file[nOffset + 3]);
}

std::vector<std::pair<uint32_t, uint32_t>> DBase4Chain(const Bytes& file) {
    const uint32_t nBlockSize = uint32_t(file[20] | file[21] << 8);
    const uint32_t nEnd = uint32_t((file.size() + nBlockSize - 1) / nBlockSize);
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    uint32_t nCur = Le32At(file, 0);
    for (int i = 0; i < 100 && nCur != nEnd && nCur != 0x0008FFFF; ++i) {
        runs.emplace_back(nCur, Le32At(file, size_t(nCur) * nBlockSize + 4));
        nCur = Le32At(file, size_t(nCur) * nBlockSize);
    }
    return runs;
}

std::vector<std::pair<uint16_t, uint32_t>> SmtFreeTable(const Bytes& file) {
    std::vector<std::pair<uint16_t, uint32_t>> entries;
    const unsigned nCount = unsigned(file[18] | file[19] << 8);
    for (unsigned i = 0; i < nCount && i < 81; ++i)
        entries.emplace_back(uint16_t(file[20 + 6 * i] | file[21 + 6 * i] << 8), Le32At(file, 22 + 6 * i));
    return entries;
}

}  // namespace memo_testing
