// The table view's codepage commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddCodePageCommands(CDBFView&) {}
