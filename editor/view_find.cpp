// The table view's find commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddFindCommands(CDBFView&) {}
