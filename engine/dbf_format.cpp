// Field-type display names and the automatic code-page choice.
#include "engine/dbf_format.h"

namespace dbf {

unsigned FieldTypeNameId(char cType) {
    static const char kLetters[] = "CNFLDTIBYMPG";
    for (unsigned i = 0; kLetters[i]; ++i)
        if (kLetters[i] == cType) return 59400 + i;
    return 59412;
}

bool IsOemTextByDefault(const DBFHeader& header) {
    switch (header.version) {
    case verVisualFoxPro: return header.codePageMark < 200;
    case 0x3F: case 0x43: case verDBase4Memo: case 0x8C: return false;
    default: return true;
    }
}

}  // namespace dbf
