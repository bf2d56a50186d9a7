// The table view's filter commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddFilterCommands(CDBFView&) {}
