// The table view's records commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddRecordCommands(CDBFView&) {}
