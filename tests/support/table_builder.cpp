// Table file bytes for tests.
#include "tests/support/table_builder.h"

#include <cstring>
#include <stdexcept>

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
    std::string strDigits = nBlock ? std::to_string(nBlock) : "";
    return std::string(10 - strDigits.size(), ' ') + strDigits;
}

TableBuilder& TableBuilder::Field(const std::string& strName, char cType, unsigned nWidth, unsigned nDecimals,
                                  uint8_t nFlags) {
    if (strName.size() > 11) throw std::invalid_argument("field name longer than 11 characters");
    if (nWidth > 255 && ((cType && std::strchr("BFINY", cType)) || nDecimals != 0))
        throw std::invalid_argument("only letters with a 16-bit width can be wider than 255");
    m_fields.push_back({strName, cType, nWidth, nDecimals, nFlags});
    return *this;
}

unsigned TableBuilder::Offset(size_t nField) const {
    unsigned n = 1;
    for (size_t i = 0; i < nField; ++i) n += m_fields.at(i).nWidth;
    return n;
}

TableBuilder& TableBuilder::Record(const std::vector<std::string>& values, char cFlag) {
    if (values.size() > m_fields.size()) throw std::invalid_argument("more values than fields");
    std::string record(Offset(m_fields.size()), ' ');
    record[0] = cFlag;
    for (size_t i = 0; i < values.size(); ++i) {
        const FieldSpec& f = m_fields[i];
        const std::string& v = values[i];
        if (v.size() > f.nWidth) throw std::invalid_argument("value wider than field " + f.strName);
        record.replace(Offset(i) + (f.cType == 'N' || f.cType == 'F' ? f.nWidth - v.size() : 0), v.size(), v);
    }
    m_records.push_back(record);
    return *this;
}

Bytes TableBuilder::Build() const {
    const bool bVisualFoxPro = m_nVersion == 0x30;
    const size_t nHeader = 32 + 32 * m_fields.size() + 1 + (bVisualFoxPro ? 263 : 0) + m_nHeaderPadding;
    std::string out(32, '\0');
    out[0] = char(m_nVersion);
    out[1] = char(124);  // 2024 by the year + 58 rule; nothing reads it
    out[2] = 1;
    out[3] = 2;
    out.replace(4, 4, LE32(uint32_t(m_nRecordCount.value_or(int32_t(m_records.size())))));
    out.replace(8, 2, LE16(m_nHeaderLength.value_or(uint16_t(nHeader))));
    out.replace(10, 2, LE16(m_nRecordLength.value_or(uint16_t(Offset(m_fields.size())))));
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
        for (auto [nField, nLow, nHigh] : m_widthBytes)
            if (nField == i) desc[16] = char(nLow), desc[17] = char(nHigh);
        desc[18] = char(f.nFlags);
        out += desc;
    }
    out += '\r';
    out += std::string(nHeader - out.size(), '\0');  // the Visual FoxPro backlink and any padding
    for (const std::string& record : m_records) out += record;
    if (m_bEndOfFile) out += '\x1A';
    out += m_trailing;
    return Bytes(out.begin(), out.end());
}

std::string TableBuilder::Write(const std::string& strPath) const {
    WriteFileBytes(strPath, Build());
    return strPath;
}

}  // namespace testing_support
