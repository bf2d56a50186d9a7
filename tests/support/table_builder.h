// Builds the bytes of .dbf tables inside a test, so that a test states the
// table it needs (fields, records, and whatever damage it is about) instead
// of carrying byte arrays. The builder writes what dBASE, FoxPro and Visual
// FoxPro write; the Set... calls then override single header or descriptor
// numbers to make the damaged tables tests need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/file_bytes.h"

namespace testing_support {

// Little-endian bytes of numbers, for binary fields (I, Y, B, T, memo
// references) and for raw header edits.
std::string LE16(uint16_t n);
std::string LE32(uint32_t n);
std::string LE64(uint64_t n);
std::string LEDouble(double d);
// A T field: Julian day number and milliseconds since midnight.
std::string DateTimeBytes(int32_t nJulianDay, int32_t nMilliseconds);
// The Julian day number of a calendar date (proleptic Gregorian).
int32_t JulianDay(int nYear, int nMonth, int nDay);
// A 10-byte .SMT memo reference.
std::string SmtRef(uint32_t nLength, uint32_t nBlock);
// A 10-character memo reference of dBASE and FoxPro: the block number
// right-aligned, or ten spaces for 0.
std::string MemoRef10(uint32_t nBlock);

class TableBuilder {
public:
    explicit TableBuilder(uint8_t nVersion = 0x03) : m_nVersion(nVersion) {}

    // A field. For letters other than B F I N Y a width above 255 goes into
    // descriptor bytes 16-17, the way wide C fields are stored.
    TableBuilder& Field(const std::string& strName, char cType, unsigned nWidth, unsigned nDecimals = 0,
                        uint8_t nFlags = 0);
    TableBuilder& TableFlags(uint8_t n) { return m_nTableFlags = n, *this; }
    TableBuilder& CodePageMark(uint8_t n) { return m_nCodePageMark = n, *this; }

    // A record from one string per field (missing trailing fields are blank).
    // A value shorter than its field is padded with spaces: right-aligned for
    // N and F, left-aligned for the rest; binary values must be given whole.
    TableBuilder& Record(const std::vector<std::string>& values, char cFlag = ' ');
    TableBuilder& DeletedRecord(const std::vector<std::string>& values) { return Record(values, '*'); }
    // A record given as all its bytes, deletion flag included.
    TableBuilder& RawRecord(const std::string& bytes) { return m_records.push_back(bytes), *this; }

    // Overrides applied to the finished layout, for damaged tables.
    TableBuilder& SetRecordCount(int32_t n) { return m_nRecordCount = n, *this; }
    TableBuilder& SetHeaderLength(uint16_t n) { return m_nHeaderLength = n, *this; }
    TableBuilder& SetRecordLength(uint16_t n) { return m_nRecordLength = n, *this; }
    // Stores this displacement in field i's descriptor instead of its offset.
    TableBuilder& SetDisplacement(size_t i, uint32_t n) { return m_displacements.emplace_back(i, n), *this; }
    // Bytes 16 and 17 of field i's descriptor, as stored.
    TableBuilder& SetWidthBytes(size_t i, uint8_t nLow, uint8_t nHigh) { return m_widthBytes.emplace_back(i, nLow, nHigh), *this; }
    // Extra bytes of the header area after the terminator (and, for Visual
    // FoxPro, the backlink); the header length grows with them.
    TableBuilder& HeaderPadding(size_t n) { return m_nHeaderPadding = n, *this; }
    // Whether the file ends with the end-of-file byte 0x1A (default yes).
    TableBuilder& EndOfFile(bool bPresent) { return m_bEndOfFile = bPresent, *this; }
    // Bytes after everything else.
    TableBuilder& Trailing(const std::string& bytes) { return m_trailing = bytes, *this; }

    Bytes Build() const;
    // Writes the table to strPath and returns the path.
    std::string Write(const std::string& strPath) const;

private:
    struct FieldSpec {
        std::string strName;
        char cType;
        unsigned nWidth;
        unsigned nDecimals;
        uint8_t nFlags;
    };
    unsigned Offset(size_t nField) const;

    uint8_t m_nVersion;
    uint8_t m_nTableFlags = 0;
    uint8_t m_nCodePageMark = 0;
    std::vector<FieldSpec> m_fields;
    std::vector<std::string> m_records;
    std::optional<int32_t> m_nRecordCount;
    std::optional<uint16_t> m_nHeaderLength;
    std::optional<uint16_t> m_nRecordLength;
    std::vector<std::pair<size_t, uint32_t>> m_displacements;
    std::vector<std::tuple<size_t, uint8_t, uint8_t>> m_widthBytes;
    size_t m_nHeaderPadding = 0;
    bool m_bEndOfFile = true;
    std::string m_trailing;
};

}  // namespace testing_support
