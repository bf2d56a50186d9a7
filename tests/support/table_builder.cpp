// Table and memo file bytes for tests.
#include "tests/support/table_builder.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <tuple>

namespace testing_support {

std::string LE16(uint16_t n) { return std::string{char(n & 0xFF), char(n >> 8)}; }

std::string LE32(uint32_t n) { return LE16(uint16_t(n)) + LE16(uint16_t(n >> 16)); }

std::string LE64(uint64_t n) { return LE32(uint32_t(n)) + LE32(uint32_t(n >> 32)); }

std::string LEDouble(double d) {
    uint64_t n;
    std::memcpy(&n, &d, sizeof n);
    return LE64(n);
}

std::string DateTimeBytes(int32_t nJulianDay, int32_t nMilliseconds) {
    return LE32(uint32_t(nJulianDay)) + LE32(uint32_t(nMilliseconds));
}

int32_t JulianDay(int nYear, int nMonth, int nDay) {
    // Fliegel and Van Flandern's formula, in integer arithmetic.
    int a = (14 - nMonth) / 12;
    int y = nYear + 4800 - a;
    int m = nMonth + 12 * a - 3;
    return nDay + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

std::string SmtRef(uint32_t nLength, uint32_t nBlock) {
    return std::string{char(nBlock ? 8 : 0), '\0'} + LE32(nLength) + LE32(nBlock);
}

std::string MemoRef10(uint32_t nBlock) {
    if (nBlock == 0) return std::string(10, ' ');
    std::string strDigits = std::to_string(nBlock);
    return std::string(10 - strDigits.size(), ' ') + strDigits;
}

namespace {
bool IsVisualFoxPro(uint8_t nVersion) { return nVersion == 0x30; }
bool WidthIsOneByte(char cType) { return std::strchr("BFINY", cType) && cType; }
}  // namespace

TableBuilder::TableBuilder(uint8_t nVersion) : m_nVersion(nVersion) {}

TableBuilder& TableBuilder::Field(const std::string& strName, char cType, unsigned nWidth, unsigned nDecimals,
                                  uint8_t nFlags) {
    if (strName.size() > 11) throw std::invalid_argument("field name longer than 11 characters");
    if (nWidth > 255 && (WidthIsOneByte(cType) || nDecimals != 0))
        throw std::invalid_argument("only letters with a 16-bit width can be wider than 255");
    m_fields.push_back({strName, cType, nWidth, nDecimals, nFlags});
    return *this;
}

TableBuilder& TableBuilder::TableFlags(uint8_t nFlags) {
    m_nTableFlags = nFlags;
    return *this;
}

TableBuilder& TableBuilder::CodePageMark(uint8_t nMark) {
    m_nCodePageMark = nMark;
    return *this;
}

TableBuilder& TableBuilder::Record(const std::vector<std::string>& values) {
    m_values.push_back(values);
    m_flags.push_back(' ');
    m_raw.emplace_back();
    return *this;
}

TableBuilder& TableBuilder::DeletedRecord(const std::vector<std::string>& values) {
    Record(values);
    m_flags.back() = '*';
    return *this;
}

TableBuilder& TableBuilder::RawRecord(const std::string& bytes) {
    m_values.emplace_back();
    m_flags.push_back(' ');
    m_raw.emplace_back(bytes);
    return *this;
}

TableBuilder& TableBuilder::SetRecordCount(int32_t n) {
    m_nRecordCount = n;
    return *this;
}

TableBuilder& TableBuilder::SetHeaderLength(uint16_t n) {
    m_nHeaderLength = n;
    return *this;
}

TableBuilder& TableBuilder::SetRecordLength(uint16_t n) {
    m_nRecordLength = n;
    return *this;
}

TableBuilder& TableBuilder::SetDisplacement(size_t nField, uint32_t nDisplacement) {
    m_displacements.emplace_back(nField, nDisplacement);
    return *this;
}

TableBuilder& TableBuilder::SetWidthBytes(size_t nField, uint8_t nLow, uint8_t nHigh) {
    m_widthBytes.emplace_back(nField, nLow, nHigh);
    return *this;
}

TableBuilder& TableBuilder::HeaderPadding(size_t nBytes) {
    m_nHeaderPadding = nBytes;
    return *this;
}

TableBuilder& TableBuilder::EndOfFile(bool bPresent) {
    m_bEndOfFile = bPresent;
    return *this;
}

TableBuilder& TableBuilder::Trailing(const std::string& bytes) {
    m_trailing = bytes;
    return *this;
}

uint16_t TableBuilder::HeaderLength() const {
    size_t n = 32 + 32 * m_fields.size() + 1 + (IsVisualFoxPro(m_nVersion) ? 263 : 0) + m_nHeaderPadding;
    return uint16_t(n);
}

uint16_t TableBuilder::RecordLength() const {
    size_t n = 1;
    for (const FieldSpec& f : m_fields) n += f.nWidth;
    return uint16_t(n);
}

unsigned TableBuilder::Offset(size_t nField) const {
    unsigned n = 1;
    for (size_t i = 0; i < nField; ++i) n += m_fields.at(i).nWidth;
    return n;
}

std::string TableBuilder::MakeRecord(char cFlag, const std::vector<std::string>& values) const {
    if (values.size() > m_fields.size()) throw std::invalid_argument("more values than fields");
    std::string record(RecordLength(), ' ');
    record[0] = cFlag;
    for (size_t i = 0; i < values.size(); ++i) {
        const FieldSpec& f = m_fields[i];
        const std::string& v = values[i];
        if (v.size() > f.nWidth) throw std::invalid_argument("value wider than field " + f.strName);
        size_t nAt = Offset(i);
        if (f.cType == 'N' || f.cType == 'F') nAt += f.nWidth - v.size();
        record.replace(nAt, v.size(), v);
    }
    return record;
}

Bytes TableBuilder::Build() const {
    const int32_t nCount = m_nRecordCount.value_or(int32_t(m_values.size()));
    const uint16_t nHeaderLength = m_nHeaderLength.value_or(HeaderLength());
    const uint16_t nRecordLength = m_nRecordLength.value_or(RecordLength());

    std::string out(32, '\0');
    out[0] = char(m_nVersion);
    out[1] = char(124);  // 2024 by the year + 58 rule; nothing reads it
    out[2] = 1;
    out[3] = 2;
    out.replace(4, 4, LE32(uint32_t(nCount)));
    out.replace(8, 2, LE16(nHeaderLength));
    out.replace(10, 2, LE16(nRecordLength));
    out[28] = char(m_nTableFlags);
    out[29] = char(m_nCodePageMark);

    for (size_t i = 0; i < m_fields.size(); ++i) {
        const FieldSpec& f = m_fields[i];
        std::string desc(32, '\0');
        desc.replace(0, f.strName.size(), f.strName);
        desc[11] = f.cType;
        uint32_t nDisplacement = Offset(i);
        for (auto [nField, n] : m_displacements)
            if (nField == i) nDisplacement = n;
        desc.replace(12, 4, LE32(nDisplacement));
        desc[16] = char(f.nWidth & 0xFF);
        desc[17] = char(f.nWidth > 255 ? f.nWidth >> 8 : f.nDecimals);
        for (auto [nField, nLow, nHigh] : m_widthBytes) {
            if (nField != i) continue;
            desc[16] = char(nLow);
            desc[17] = char(nHigh);
        }
        desc[18] = char(f.nFlags);
        out += desc;
    }
    out += '\r';
    if (IsVisualFoxPro(m_nVersion)) out += std::string(263, '\0');
    out += std::string(m_nHeaderPadding, '\0');

    for (size_t i = 0; i < m_values.size(); ++i)
        out += m_raw[i] ? *m_raw[i] : MakeRecord(m_flags[i], m_values[i]);
    if (m_bEndOfFile) out += '\x1A';
    out += m_trailing;
    return Bytes(out.begin(), out.end());
}

std::string TableBuilder::Write(const std::string& strPath) const {
    WriteFileBytes(strPath, Build());
    return strPath;
}

MemoBuilder::MemoBuilder(MemoLayout layout, uint32_t nBlockSize) : m_layout(layout), m_nBlockSize(nBlockSize) {
    if (nBlockSize == 0) throw std::invalid_argument("block size 0");
}

MemoBuilder& MemoBuilder::SetStoredBlockSize(uint32_t n) {
    m_nStoredBlockSize = n;
    return *this;
}

namespace {
// Every layout keeps a 512-byte header (the .SMT one is 510 bytes) in the
// first blocks of the file.
uint32_t HeaderBlocks(uint32_t nBlockSize) { return (512 + nBlockSize - 1) / nBlockSize; }

std::string BE32(uint32_t n) {
    return std::string{char(n >> 24), char((n >> 16) & 0xFF), char((n >> 8) & 0xFF), char(n & 0xFF)};
}
}  // namespace

uint32_t MemoBuilder::NextBlock() const {
    return HeaderBlocks(m_nBlockSize) + uint32_t(m_body.size() / m_nBlockSize);
}

uint32_t MemoBuilder::Add(const std::string& strText) {
    uint32_t nBlock = NextBlock();
    std::string memo;
    switch (m_layout) {
    case MemoLayout::dBase3: memo = strText + "\x1A\x1A"; break;
    case MemoLayout::dBase4: memo = std::string("\xFF\xFF\x08\x00", 4) + LE32(uint32_t(strText.size() + 8)) + strText; break;
    case MemoLayout::foxPro: memo = BE32(1) + BE32(uint32_t(strText.size())) + strText; break;
    case MemoLayout::smt: memo = strText; break;
    }
    if (memo.empty()) memo = std::string(1, '\0');
    size_t nPadded = (memo.size() + m_nBlockSize - 1) / m_nBlockSize * m_nBlockSize;
    memo.resize(nPadded, '\0');
    m_body += memo;
    return nBlock;
}

Bytes MemoBuilder::Build() const {
    std::string header(HeaderBlocks(m_nBlockSize) * m_nBlockSize, '\0');
    const uint32_t nStored = m_nStoredBlockSize.value_or(m_nBlockSize);
    switch (m_layout) {
    case MemoLayout::dBase3:
    case MemoLayout::dBase4:
        // Next free block; for dBASE IV also the end of the free chain.
        header.replace(0, 4, LE32(NextBlock()));
        header.replace(20, 2, LE16(uint16_t(nStored)));
        break;
    case MemoLayout::foxPro:
        header.replace(0, 4, BE32(NextBlock()));
        header[6] = char((nStored >> 8) & 0xFF);
        header[7] = char(nStored & 0xFF);
        break;
    case MemoLayout::smt:
        header.replace(0, 4, LE32(NextBlock()));
        header.replace(4, 4, LE32(nStored));
        break;
    }
    std::string out = header + m_body;
    return Bytes(out.begin(), out.end());
}

std::string MemoBuilder::Write(const std::string& strPath) const {
    WriteFileBytes(strPath, Build());
    return strPath;
}

}  // namespace testing_support
