// The table view's settings commands.
#include "editor/dbf_view.h"
#include "editor/view_commands.h"

void AddSettingsCommands(CDBFView&) {}
