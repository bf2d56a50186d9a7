// Peekrow's string table: command prompts ("prompt\ntooltip"), messages and
// labels, by their numeric ids.
#include "platform/core/string_table.h"
#include "viewer/reader/dbf_file_reader.h"
#include "viewer/viewer_ids.h"

namespace {

const platform::StringEntry kViewerStrings[] = {
    {IDR_DBFTYPE, "\nDBF\nDBF\nDBF Files (*.dbf)\n.dbf;\nDBF.Document\nDBF Document"},
    {IDS_FIND_CAPTION, "Find"},
    {IDS_NOT_FOUND, "Not found"},
    {IDS_STRUCT_N, "N"},
    {IDS_STRUCT_NAME, "Name"},
    {IDS_STRUCT_TYPE, "Type"},
    {IDS_STRUCT_WIDTH, "Width"},
    {IDS_STRUCT_DECIMAL, "Decimal"},
    {IDS_PANE_FIELD, "Field"},
    {IDS_PANE_RECORD, "Record"},
    {IDS_ADVANCED, "&Advansed"},
    // The status panes: their widths come from these texts, trailing spaces included.
    {ID_INDICATOR_FIELD, "Field: n(w,d)          "},
    {ID_INDICATOR_RECORD, "Record:  0/0                      "},
    // Command prompts.
    {ID_VIEW_CODEPAGE_DOS, "Show the text of the table in the DOS code page\nDOS code page"},
    {ID_VIEW_CODEPAGE_WIN, "Show the text of the table in the Windows code page\nWindows code page"},
    {ID_VIEW_STRUCTURE, "Show the structure of the table\nTable structure"},
    {ID_VIEW_COLUMNS, "Choose the columns shown and their order\nColumns"},
};

}  // namespace

void RegisterViewerStrings() {
    RegisterReaderStrings();
    platform::RegisterStrings(kViewerStrings);
}
