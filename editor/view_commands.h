// The table view's commands by theme, each group in a file of its own that
// adds its handlers and update rules to the view's command table:
//   view_records.cpp   Add, Delete, Undelete, Hide/Show deleted, Refresh,
//                      Go to, Move to, First, Last
//   view_codepage.cpp  the DOS and Windows display, DOS->Win and Win->DOS
//   view_filter.cpp    Filter and Formulas
//   view_find.cpp      Find and Replace
//   view_edit.cpp      Copy, Cut, Paste, Clear, Select all
//   view_table.cpp     Show and Modify structure, Pack, Save As
//   view_settings.cpp  Columns, the table's and the program's settings sheets
//   view_print.cpp     Print, print without the dialog, Print Preview
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CDBFView;
class CTabulonApp;

void AddRecordCommands(CDBFView& view);
void AddCodePageCommands(CDBFView& view);
void AddFilterCommands(CDBFView& view);
void AddFindCommands(CDBFView& view);
void AddEditCommands(CDBFView& view);
void AddTableCommands(CDBFView& view);
void AddSettingsCommands(CDBFView& view);
void AddPrintCommands(CDBFView& view);

// The open Find and Replace dialogs of a view search from the top again
// (the rows were reordered under them).
void RestartFindDialogs(CDBFView& view);

// The program's settings sheet (the main frame's "Setting..."), without a
// parent window.
void RunProgramSettingsSheet();

// The --print start: prints the active table without the dialog and closes
// it. False when nothing was printed.
bool PrintActiveTableAndClose(CTabulonApp& app);

// The clipboard's text of a block of cells (view_edit.cpp): the cells of a
// row separated by tabs, rows by line feeds, every line but the last ending
// in a tab; tabs and line breaks inside a cell become spaces.
std::string JoinCellBlock(const std::vector<std::vector<std::string>>& rows);
// Clipboard text back into lines of cells: lines at line feeds (CR LF
// counts as one, any other CR is a space, a final line feed ends the last
// line), cells at tabs, empty cells kept except the one a line-final tab
// would start. An empty line has no cells.
std::vector<std::vector<std::string>> SplitCellBlock(std::string_view strText);
