// The reader tests' builders of table and memo bytes.
#include "tests/viewer_reader/reader_test_util.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace reader_test {

std::string LE16(uint16_t n) {
    std::string s(2, '\0');
    platform::PutLE16(s.data(), n);
    return s;
}
std::string LE32(uint32_t n) {
    std::string s(4, '\0');
    platform::PutLE32(s.data(), n);
    return s;
}
std::string LE64(uint64_t n) {
    std::string s(8, '\0');
    platform::PutLE64(s.data(), n);
    return s;
}
std::string BE32(uint32_t n) {
    std::string s(4, '\0');
    platform::PutBE32(s.data(), n);
    return s;
}
std::string Pad(const std::string& str, size_t nWidth) {
    std::string s = str.substr(0, nWidth);
    s.resize(nWidth, ' ');
    return s;
}

uint16_t TableBuilder::RecordLength() const {
    if (nRecordLengthOverride >= 0) return uint16_t(nRecordLengthOverride);
    unsigned n = 1;
    for (const FieldSpec& f : fields) {
        bool bByteWidth = std::string("BFINY").find(f.cType) != std::string::npos;
        n += bByteWidth ? f.nWidth : unsigned(f.nWidth | (f.nDecimals << 8));
    }
    return uint16_t(n);
}

Bytes TableBuilder::Build() const {
    Bytes out(32, 0);
    out[0] = nVersion;
    out[1] = 124;
    out[2] = 1;
    out[3] = 1;
    platform::PutLE32(&out[4], uint32_t(nRecordCountOverride.value_or(int32_t(records.size()))));
    size_t nHeader = 32 + 32 * fields.size() + 1 + (nVersion == 0x30 ? 263 : 0);
    platform::PutLE16(&out[8], uint16_t(nHeader));
    platform::PutLE16(&out[10], RecordLength());
    out[29] = nCodePage;
    uint32_t nDisplacement = 1;
    for (const FieldSpec& f : fields) {
        uint8_t desc[32] = {};
        std::copy_n(f.strName.begin(), std::min<size_t>(f.strName.size(), 11), desc);
        desc[11] = uint8_t(f.cType);
        platform::PutLE32(desc + 12, nDisplacement);
        nDisplacement += std::string("BFINY").find(f.cType) != std::string::npos ? f.nWidth
                                                                                  : unsigned(f.nWidth | (f.nDecimals << 8));
        desc[16] = f.nWidth;
        desc[17] = f.nDecimals;
        out.insert(out.end(), desc, desc + 32);
    }
    if (bTerminator) out.push_back(0x0D);
    out.resize(nHeader, 0);
    for (const Bytes& r : records) out.insert(out.end(), r.begin(), r.end());
    out.push_back(0x1A);
    return out;
}

std::string TableBuilder::Write(const std::string& strPath) const {
    testing_support::WriteFileBytes(strPath, Build());
    return strPath;
}

std::vector<uint32_t> WriteFptFile(const std::string& strPath, uint16_t nBlockSize,
                                   const std::vector<std::string>& memos) {
    std::string file(512, '\0');
    std::vector<uint32_t> blocks;
    for (const std::string& memo : memos) {
        while (file.size() % nBlockSize) file.push_back('\0');
        blocks.push_back(uint32_t(file.size() / nBlockSize));
        file += BE32(1) + BE32(uint32_t(memo.size())) + memo;
    }
    while (file.size() % nBlockSize) file.push_back('\0');
    platform::PutBE32(file.data(), uint32_t(file.size() / nBlockSize));
    file[6] = char(nBlockSize >> 8);
    file[7] = char(nBlockSize & 0xFF);
    testing_support::WriteFileBytes(strPath, file);
    return blocks;
}

std::vector<uint32_t> WriteDbt3File(const std::string& strPath, const std::vector<std::string>& memos) {
    std::string file(512, '\0');
    std::vector<uint32_t> blocks;
    for (const std::string& memo : memos) {
        blocks.push_back(uint32_t(file.size() / 512));
        file += memo + "\x1A\x1A";
        while (file.size() % 512) file.push_back('\0');
    }
    platform::PutLE32(file.data(), uint32_t(file.size() / 512));
    testing_support::WriteFileBytes(strPath, file);
    return blocks;
}

std::vector<uint32_t> WriteDbt4File(const std::string& strPath, uint16_t nHeaderBlockSize, uint16_t nLayoutBlock,
                                    const std::vector<std::string>& memos) {
    std::string file(nLayoutBlock, '\0');
    std::vector<uint32_t> blocks;
    for (const std::string& memo : memos) {
        blocks.push_back(uint32_t(file.size() / nLayoutBlock));
        file += std::string("\xFF\xFF\x08\x00", 4) + LE32(uint32_t(memo.size() + 8)) + memo;
        while (file.size() % nLayoutBlock) file.push_back('\0');
    }
    platform::PutLE32(file.data(), uint32_t(file.size() / nLayoutBlock));
    platform::PutLE16(&file[20], nHeaderBlockSize);
    testing_support::WriteFileBytes(strPath, file);
    return blocks;
}

}  // namespace reader_test
