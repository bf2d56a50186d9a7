// Field-type display names.
#include "engine/dbf_format.h"

namespace dbf {

unsigned FieldTypeNameId(char cType) {
    static const char kLetters[] = "CNFLDTIBYMPG";
    for (unsigned i = 0; kLetters[i]; ++i)
        if (kLetters[i] == cType) return 59400 + i;
    return 59412;
}

}  // namespace dbf
