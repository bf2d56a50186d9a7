// The table view's edit commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddEditCommands(CDBFView&) {}
