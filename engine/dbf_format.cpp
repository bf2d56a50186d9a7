// Field-type display names, the automatic code-page choice and the date of
// last update.
#include "engine/dbf_format.h"

#include <ctime>

namespace dbf {

unsigned FieldTypeNameId(char cType) {
    static const char kLetters[] = "CNFLDTIBYMPG";
    for (unsigned i = 0; kLetters[i]; ++i)
        if (kLetters[i] == cType) return 59400 + i;
    return 59412;
}

namespace {
// Code-page marks below 200 that name Windows code pages: 1252 (0x03, 0x57,
// 0x58, 0x59), the East Asian pages 874/932/936/949/950 (0x4D-0x50,
// 0x78-0x7C), Hebrew 1255 (0x7D) and Arabic 1256 (0x7E).
bool IsLowWindowsMark(uint8_t nMark) {
    return nMark == 0x03 || (nMark >= 0x57 && nMark <= 0x59) || (nMark >= 0x4D && nMark <= 0x50) ||
           (nMark >= 0x78 && nMark <= 0x7E);
}
}  // namespace

bool IsOemTextByDefault(const DBFHeader& header) {
    switch (header.version) {
    case verVisualFoxPro:
    case verVisualFoxProAutoInc:
    case verVisualFoxProVar: return header.codePageMark < 200 && !IsLowWindowsMark(header.codePageMark);
    case 0x3F: case 0x43: case verDBase4Memo: case 0x8C: return false;
    default: return true;
    }
}

void StampLastUpdate(DBFHeader& header, bool bTwoDigitYear) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int nYear = local.tm_year + 1900;
    header.year = uint8_t(bTwoDigitYear ? nYear % 100 : (nYear + 58) % 256);
    header.month = uint8_t(local.tm_mon + 1);
    header.day = uint8_t(local.tm_mday);
}

}  // namespace dbf
