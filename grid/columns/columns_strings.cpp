// The texts of the Columns dialog.
#include "grid/columns/columns_strings.h"

#include "platform/core/string_table.h"
#include "platform/ui/dialog_data.h"

namespace {

#define COLUMNS_NONE_TEXT \
    "More than one column should be reflect. Before that to continue, select one of listed columns.\n"

const platform::StringEntry kColumnsStrings[] = {
    {IDS_COLUMNS_FIELD, "Field"},
    {IDS_COLUMNS_HEAD, "Head"},
    {IDS_COLUMNS_VIEWER_NONE, COLUMNS_NONE_TEXT},
    {IDS_COLUMNS_NONE, COLUMNS_NONE_TEXT},
};

}  // namespace

void RegisterColumnsStrings() {
    static const bool bDone = (platform::RegisterStrings(kColumnsStrings), platform::RegisterDialogDataStrings(), true);
    (void)bDone;
}
