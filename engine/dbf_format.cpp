// Field-type display names, the automatic code-page choice and the date of
// last update.
#include "engine/dbf_format.h"

#include <ctime>

#include "platform/core/table_code_page.h"

namespace dbf {

unsigned FieldTypeNameId(char cType) {
    static const char kLetters[] = "CNFLDTIBYMPG";
    for (unsigned i = 0; kLetters[i]; ++i)
        if (kLetters[i] == cType) return 59400 + i;
    return 59412;
}

bool IsOemTextByDefault(const DBFHeader& header) {
    platform::TableCodePageFacts facts;
    facts.nVersion = header.version;
    facts.nMark = header.codePageMark;
    return platform::DecideTableCodePages(facts).bOemText;
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
