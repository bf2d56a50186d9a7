// The texts of the table-structure grid and dialog.
#include "grid/structure/structure_strings.h"

#include "engine/dbf_exception.h"
#include "platform/core/string_table.h"

namespace {

const platform::StringEntry kStructureStrings[] = {
    {IDS_STRUCT_FIELD_NAME, "Field name"},
    {IDS_STRUCT_FIELD_TYPE, "Field type"},
    {IDS_STRUCT_WIDTH, "Width"},
    {IDS_STRUCT_DECIMAL, "Decimal"},
    {IDS_STRUCT_NEW_FIELD, "NEWFIELD"},
    {IDS_STRUCT_NO_FIELDS, "More than one column should be reflect.\n"},
};

}  // namespace

void RegisterStructureStrings() {
    static const bool bDone = (platform::RegisterStrings(kStructureStrings), dbf::RegisterEngineStrings(), true);
    (void)bDone;
}
