// Tabulon's string table: command prompts ("prompt\ntooltip"), messages and
// labels, by their numeric ids.
#include "editor/editor_ids.h"

#include "platform/core/string_table.h"

namespace {

const platform::StringEntry kEditorStrings[] = {
    {IDR_DBFTYPE, "\nUntitled\nDBF\nDatabase Files (*.dbf)\n.dbf\nTabulon.File\nDBF File"},
    {IDS_SAVE_DBASE3, "\ndBASE III\ndBASE III\ndBASE III Files (*.dbf)\n.dbf"},
    {IDS_SAVE_DBASE4, "\ndBASE IV\ndBASE IV\ndBASE IV Files (*.dbf)\n.dbf"},
    {IDS_SAVE_VFP, "\nVisual FoxPro\nVisual FoxPro\nVisual FoxPro Files (*.dbf)\n.dbf"},
    {IDS_CANT_REOPEN, "Can't reopen file"},
    {IDS_OPEN_EXCLUSIVE, "For modify table need open in exclusive mode.\n\tOpen exclusive ?\""},
    {IDS_DIVISION_BY_ZERO, "Not division by zerro."},
    {IDS_CREATE_TITLE, "Create..."},
    {IDS_SAVE_FAILED, "The table was not saved:\n%1"},
    {IDS_CHANGED_ON_DISK,
     "%1\n\nAnother program has changed this table since it was opened here.\n\n"
     "Yes: save this window's table over it (the other program's changes are lost).\n"
     "No: reload the table from the file (this window's changes are lost).\n"
     "Cancel: do nothing."},
    {IDS_SAVE_AS_OPEN_TABLE, "%1 is open in this program. Choose another file name, or close that window first."},
    {IDS_STALE_INDEX,
     "This table has the index file %1, which this program does not update. Programs that use the index "
     "may find wrong records until it is rebuilt.\n\nWrite the table anyway?"},
    {IDS_TITLE_WITH_INDEX, "%1 (index %2)"},
    {IDS_TITLE_READ_ONLY, "%1 (read only)"},
    {IDS_EXPORT_CUTS,
     "The copy keeps at most 255 characters of a memo: %1 memo texts are longer and would be cut.%2\n\n"
     "Write the copy anyway?"},
    {IDS_PAINT_FAILED, "Some records of this table cannot be read and are shown empty:\n%1"},
    {IDS_PACK_FAILED, "The deleted records were not removed:\n%1"},
    {IDS_STRUCTURE_FAILED, "Changing the structure of the table failed:\n%1"},
    {IDS_CELLS_NOT_CHANGED, "%1 of the cells kept their value. The first could not take its text:\n%2"},
    // Record commands, filter and formulas.
    {IDS_REFRESH_DISCARD, "This table has changes that are not saved.\nReload it from the file and lose them?"},
    {IDS_ENTER_NUMBER, "Enter a number."},
    {IDS_FORMULA_REFUSED, "Nothing was changed: the result for %1 cannot be stored.\n%2"},
    {ID_INDICATOR_FIELD, "Field: %s %c(%d,%d)"},
    {ID_INDICATOR_RECORD, "Record: %d/%d"},
    // Command prompts.
    {ID_EDIT_FORMULAS, "Apply a formula to the selected cells\nFormulas"},
    {ID_VIEW_COLUMNS, "Choose the columns shown and their order\nColumns"},
    {ID_VIEW_CODEPAGE_DOS, "Show the text in the DOS code page\nDOS"},
    {ID_VIEW_CODEPAGE_WIN, "Show the text in the Windows code page\nWindows"},
    {ID_FILE_SHOW_STRUCTURE, "Show the structure of the table\nTable structure"},
    {ID_FILE_MODIFY_STRUCTURE, "Change the structure of the table\nModify structure"},
    {ID_FILE_DOS_TO_WIN, "Convert the text of the table from DOS to Windows\nDOS->Win"},
    {ID_FILE_WIN_TO_DOS, "Convert the text of the table from Windows to DOS\nWin->DOS"},
    {ID_FILE_PACK, "Remove deleted record\nPack"},
    {ID_RECORD_ADD, "Add record\nAdd record"},
    {ID_RECORD_DELETE, "Delete record\nDelete record"},
    {ID_VIEW_HIDE_DELETED, "Hide deleted record\nHide deleted"},
    {ID_VIEW_SHOW_DELETED, "Show deleted record\nShow deleted"},
    {ID_VIEW_FILTER, "Show only the records that hold a text\nFilter"},
    {ID_RECORD_UNDELETE, "Undelete record\nUndelete record"},
    {ID_VIEW_REFRESH, "Reload table\nRefresh"},
    {ID_SETTING_FILE, "Change the settings of this table\nFile setting"},
    {ID_SETTING_PROGRAM, "Change the settings of the program\nSetting"},
    {ID_NAV_GOTO, "Go to record ...\nGo to"},
    {ID_NAV_FIRST, "First record\nFirst record"},
    {ID_NAV_MOVE, "Move to record  ...\nMove to"},
    {ID_NAV_LAST, "Last record\nLast record"},
    {ID_VIEW_FONT_SMALL, "Show the table in a small font\nSmall"},
    {ID_VIEW_FONT_MEDIUM, "Show the table in a medium font\nMedium"},
    {ID_VIEW_FONT_LARGE, "Show the table in a large font\nLarge"},
    // Find and Replace.
    {IDS_NOT_FOUND, "Не найдено."},
    {IDS_FIND_CAPTION, "Поиск"},
    {IDS_REPLACE_REFUSED, "The replacement was not stored in %1 of the %2 matching cells:\n%3"},
    // The settings sheets.
    {IDS_SETTING_CAPTION, "Programm setting (for file by default)"},
    {IDS_FILE_SETTING_CAPTION, "File setting"},
    {IDS_SETTINGS_NOT_WRITTEN, "The settings file could not be written:\n%1\n\n%2"},
    {IDS_CODE_PAGE_FROM_LOCALE, "As the system's language (%1)"},
};

}  // namespace

void RegisterEditorStrings() { platform::RegisterStrings(kEditorStrings); }
