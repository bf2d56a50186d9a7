// The table view's table commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddTableCommands(CDBFView&) {}
