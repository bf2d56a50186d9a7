// Memo file images in each layout.
#include "tests/support/memo_builder.h"

#include <algorithm>
#include <stdexcept>

namespace testing_support {

CMemoImage CMemoImage::DBase3(uint32_t nNextBlock, uint16_t nBlockSizeField) {
    CMemoImage image(Layout::dBase3, nBlockSizeField ? nBlockSizeField : 512, 512);
    image.Le32(0, nNextBlock).Le16(20, nBlockSizeField);
    return image;
}

CMemoImage CMemoImage::DBase4(uint32_t nFirstFree, uint16_t nBlockSize) {
    CMemoImage image(Layout::dBase4, nBlockSize, std::max<size_t>(nBlockSize, 22));
    image.Le32(0, nFirstFree).Le16(20, nBlockSize);
    return image;
}

CMemoImage CMemoImage::Fpt(uint32_t nNextBlock, uint16_t nBlockSize) {
    CMemoImage image(Layout::fpt, nBlockSize, 512);
    return image.Be32(0, nNextBlock).Put(6, {char(nBlockSize >> 8), char(nBlockSize)});
}

CMemoImage CMemoImage::Smt(uint32_t nEndBlock, uint32_t nBlockSize, const Runs& free) {
    CMemoImage image(Layout::smt, nBlockSize, 510);
    image.Le32(0, nEndBlock).Le32(4, nBlockSize).Le16(18, uint16_t(free.size()));
    for (size_t i = 0; i < free.size() && i < 81; ++i)
        image.Le16(20 + 6 * i, uint16_t(free[i].first)).Le32(22 + 6 * i, free[i].second);
    return image;
}

CMemoImage& CMemoImage::Put(size_t nOffset, const std::string& strBytes) {
    if (m_bytes.size() < nOffset + strBytes.size()) m_bytes.resize(nOffset + strBytes.size(), 0);
    std::copy(strBytes.begin(), strBytes.end(), m_bytes.begin() + long(nOffset));
    return *this;
}

CMemoImage& CMemoImage::Blocks(uint32_t nBlocks) {
    m_bytes.resize(Offset(nBlocks), 0);
    return *this;
}

CMemoImage& CMemoImage::DBase4Memo(uint32_t nBlock, const std::string& strText) {
    return AtBlock(nBlock, std::string("\xFF\xFF\x08\x00", 4)).Le32(Offset(nBlock) + 4, uint32_t(strText.size() + 8))
        .Put(Offset(nBlock) + 8, strText);
}

CMemoImage& CMemoImage::DBase4Run(uint32_t nBlock, uint32_t nNext, uint32_t nCount) {
    return Le32(Offset(nBlock), nNext).Le32(Offset(nBlock) + 4, nCount);
}

CMemoImage& CMemoImage::FptMemo(uint32_t nBlock, const std::string& strText, uint32_t nType) {
    return Be32(Offset(nBlock), nType).Be32(Offset(nBlock) + 4, uint32_t(strText.size())).Put(Offset(nBlock) + 8, strText);
}

uint32_t CMemoImage::Add(const std::string& strText) {
    const auto blocks = [this] { return uint32_t((m_bytes.size() + m_nBlockSize - 1) / m_nBlockSize); };
    const uint32_t nBlock = blocks();
    switch (m_layout) {
    case Layout::dBase3: AtBlock(nBlock, strText + "\x1A\x1A"); break;
    case Layout::dBase4: DBase4Memo(nBlock, strText); break;
    case Layout::fpt: FptMemo(nBlock, strText); break;
    case Layout::smt: AtBlock(nBlock, strText.empty() ? std::string(1, '\0') : strText); break;
    }
    Blocks(blocks());
    if (m_layout == Layout::fpt) Be32(0, blocks());
    else Le32(0, blocks());
    return nBlock;
}

std::string CMemoImage::Save(const std::string& strPath) const {
    WriteFileBytes(strPath, m_bytes);
    return strPath;
}

uint32_t U32(const Bytes& file, size_t nOffset, bool bBigEndian) {
    if (nOffset + 4 > file.size()) throw std::out_of_range("U32 past the end of the file");
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(file[nOffset + size_t(i)]) << (bBigEndian ? 24 - 8 * i : 8 * i);
    return v;
}

Runs DBase4Chain(const Bytes& file) {
    const uint32_t nBlockSize = uint32_t(file[20] | file[21] << 8);
    const uint32_t nEnd = uint32_t((file.size() + nBlockSize - 1) / nBlockSize);
    Runs runs;
    for (uint32_t nCur = U32(file, 0); runs.size() < 100 && nCur != nEnd && nCur != 0x0008FFFF;
         nCur = U32(file, size_t(nCur) * nBlockSize))
        runs.emplace_back(nCur, U32(file, size_t(nCur) * nBlockSize + 4));
    return runs;
}

Runs SmtFreeTable(const Bytes& file) {
    Runs entries;
    for (unsigned i = 0; i < unsigned(file[18] | file[19] << 8) && i < 81; ++i)
        entries.emplace_back(file[20 + 6 * i] | file[21 + 6 * i] << 8, U32(file, 22 + 6 * i));
    return entries;
}

}  // namespace testing_support
