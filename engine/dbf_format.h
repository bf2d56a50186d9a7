// The on-disk layouts of a .dbf table: the 32-byte header and the 32-byte
// field descriptor, exactly as stored (little-endian numbers), with accessors
// that decode them. Shared by the engine, Peekrow's reader and the structure
// grid. Nothing here trusts the values: callers check them before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/core/byte_order.h"

namespace dbf {

// Version bytes with a meaning of their own.
enum : uint8_t {
    verDBase3 = 0x03,
    verVisualFoxPro = 0x30,
    verVisualFoxProAutoInc = 0x31,
    verVisualFoxProVar = 0x32,
    verDBase4Table = 0x7B,
    verDBase3Memo = 0x83,
    verDBase4Memo = 0x8B,
    verDBase4SqlMemo = 0xCB,
    verSmtMemo = 0xE5,
    verFoxProMemo = 0xF5,
};

constexpr uint8_t kTableFlagHasMemo = 0x02;  // Visual FoxPro: the table has a memo file
constexpr uint8_t kFieldFlagBinary = 0x04;   // Visual FoxPro: no trimming of C values
constexpr uint8_t kHeaderTerminator = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr size_t kVfpBacklinkSize = 263;

struct DBFHeader {
    uint8_t version;
    uint8_t year;  // year of last update; see the date rule
    uint8_t month;
    uint8_t day;
    uint8_t recordCount[4];
    uint8_t headerLength[2];
    uint8_t recordLength[2];
    uint8_t reserved1[16];
    uint8_t tableFlags;
    uint8_t codePageMark;
    uint8_t reserved2[2];

    int32_t GetRecordCount() const { return int32_t(platform::GetLE32(recordCount)); }
    void SetRecordCount(int32_t n) { platform::PutLE32(recordCount, uint32_t(n)); }
    uint16_t GetHeaderLength() const { return platform::GetLE16(headerLength); }
    void SetHeaderLength(uint16_t n) { platform::PutLE16(headerLength, n); }
    uint16_t GetRecordLength() const { return platform::GetLE16(recordLength); }
    void SetRecordLength(uint16_t n) { platform::PutLE16(recordLength, n); }
};
static_assert(sizeof(DBFHeader) == 32, "DBFHeader is 32 bytes on disk");
static_assert(offsetof(DBFHeader, recordCount) == 4 && offsetof(DBFHeader, headerLength) == 8 &&
              offsetof(DBFHeader, recordLength) == 10 && offsetof(DBFHeader, tableFlags) == 28 &&
              offsetof(DBFHeader, codePageMark) == 29);

struct DBFFieldDesc {
    char name[11];  // NUL-padded; an 11-character name has no NUL
    char type;      // type letter
    uint8_t displacement[4];
    uint8_t width;     // low byte of the width
    uint8_t decimals;  // decimals for B F N Y; the width's high byte for the rest
    uint8_t flags;     // Visual FoxPro field flags
    uint8_t reserved[13];

    std::string GetName() const { return std::string(name, strnlen(name, sizeof name)); }
    void SetName(const std::string& str) {
        std::memset(name, 0, sizeof name);
        std::memcpy(name, str.data(), str.size() < sizeof name ? str.size() : sizeof name);
    }
    uint32_t GetDisplacement() const { return platform::GetLE32(displacement); }
    void SetDisplacement(uint32_t n) { platform::PutLE32(displacement, n); }
    // Whether byte 17 holds decimals rather than the width's high byte, for the
    // information shown to callers. T is not among them there.
    bool HasDecimals() const { return type == 'B' || type == 'F' || type == 'N' || type == 'Y'; }
    // The width that lays out a record when a table is opened: byte 16 alone
    // for B F I N Y, the 16-bit value of bytes 16-17 for every other letter.
    uint16_t GetLayoutWidth() const {
        switch (type) {
        case 'B': case 'F': case 'I': case 'N': case 'Y': return width;
        default: return uint16_t(width | (decimals << 8));
        }
    }
};
static_assert(sizeof(DBFFieldDesc) == 32, "DBFFieldDesc is 32 bytes on disk");
static_assert(offsetof(DBFFieldDesc, type) == 11 && offsetof(DBFFieldDesc, displacement) == 12 &&
              offsetof(DBFFieldDesc, width) == 16 && offsetof(DBFFieldDesc, flags) == 18);

// The string id of a type letter's display name ("Character" ... "Unknow").
unsigned FieldTypeNameId(char cType);

// The automatic choice of a table's text code page when neither the table's
// settings nor the program's name one: true for the DOS (OEM) code page. The
// header's part of platform::DecideTableCodePages (platform/core/
// table_code_page.h), which callers that also know of a ".cpg" file or a
// sample of the text use instead: a code-page mark that names a page says
// DOS or Windows; otherwise the version byte guesses.
bool IsOemTextByDefault(const DBFHeader& header);

// Stamps today's date (local time) as the header's date of last update.
// Visual FoxPro tables keep the two-digit year; every other version stores
// (year + 58) modulo 256, which their programs read back as years since 1900
// in their own way. bTwoDigitYear chooses the Visual FoxPro form whatever the
// version (false: the other form even for Visual FoxPro, as the structure
// editor does).
void StampLastUpdate(DBFHeader& header, bool bTwoDigitYear);
inline void StampLastUpdate(DBFHeader& header) { StampLastUpdate(header, header.version == verVisualFoxPro); }

}  // namespace dbf
