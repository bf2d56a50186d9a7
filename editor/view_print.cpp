// The table view's print commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddPrintCommands(CDBFView&) {}
