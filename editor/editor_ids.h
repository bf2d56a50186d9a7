// Tabulon's numeric ids: commands (menus, toolbar, accelerators and tests
// send them), status panes, strings and resources. The framework's own
// commands (New, Open, Save, Copy, ...) are in platform/ui/command_ids.h and
// platform/ui/view_base.h.
#pragma once

enum EditorCommandId : unsigned {
    ID_EDIT_FORMULAS = 32772,
    ID_VIEW_COLUMNS = 32773,
    ID_VIEW_CODEPAGE_DOS = 32775,
    ID_VIEW_CODEPAGE_WIN = 32776,
    ID_FILE_MODIFY_STRUCTURE = 32777,
    ID_FILE_DOS_TO_WIN = 32779,
    ID_FILE_WIN_TO_DOS = 32780,
    ID_FILE_PACK = 32781,
    ID_RECORD_ADD = 32784,
    ID_RECORD_DELETE = 32785,
    ID_VIEW_HIDE_DELETED = 32788,
    ID_VIEW_SHOW_DELETED = 32789,
    ID_VIEW_FILTER = 32790,
    ID_RECORD_UNDELETE = 32792,
    ID_VIEW_REFRESH = 32793,
    ID_SETTING_FILE = 32794,
    ID_SETTING_PROGRAM = 32795,
    ID_NAV_GOTO = 32798,
    ID_NAV_FIRST = 32799,
    ID_NAV_MOVE = 32800,
    ID_NAV_LAST = 32801,
    ID_VIEW_FONT_SMALL = 32810,
    ID_VIEW_FONT_MEDIUM = 32811,
    ID_VIEW_FONT_LARGE = 32812,
    ID_FILE_SHOW_STRUCTURE = 32774,
};

enum EditorPaneId : unsigned {
    ID_INDICATOR_FIELD = 59145,   // "Field: %s %c(%d,%d)"
    ID_INDICATOR_RECORD = 59146,  // "Record: %d/%d"
};

enum EditorStringId : unsigned {
    IDR_DBFTYPE = 129,      // the document string
    IDS_SAVE_DBASE3 = 59395,
    IDS_SAVE_DBASE4 = 59396,
    IDS_SAVE_VFP = 59397,
    IDS_CANT_REOPEN = 59413,
    IDS_OPEN_EXCLUSIVE = 59414,
    IDS_DIVISION_BY_ZERO = 59415,
    IDS_CREATE_TITLE = 59420,
    // Texts of this program beyond the original list.
    IDS_SAVE_FAILED = 59480,
    IDS_CHANGED_ON_DISK = 59481,
    IDS_SAVE_AS_OPEN_TABLE = 59482,
    IDS_PAINT_FAILED = 59484,
    IDS_STALE_INDEX = 59485,
    IDS_EXPORT_CUTS = 59486,
    IDS_TITLE_WITH_INDEX = 59487,
    IDS_TITLE_READ_ONLY = 59488,
    // The structure, pack and edit commands.
    IDS_PACK_FAILED = 59500,
    IDS_STRUCTURE_FAILED = 59501,
    IDS_CELLS_NOT_CHANGED = 59502,
    // Record commands, filter and formulas.
    IDS_REFRESH_DISCARD = 59520,
    IDS_ENTER_NUMBER = 59521,
    IDS_FORMULA_REFUSED = 59522,
    // Find and Replace.
    IDS_NOT_FOUND = 59530,        // "Не найдено."
    IDS_FIND_CAPTION = 59531,     // "Поиск"
    IDS_REPLACE_REFUSED = 59532,  // Replace all: cells that kept their value
    // The settings sheets.
    IDS_SETTING_CAPTION = 103,       // "Programm setting (for file by default)"
    IDS_FILE_SETTING_CAPTION = 104,  // "File setting"
    IDS_SETTINGS_NOT_WRITTEN = 59560,
    IDS_CODE_PAGE_FROM_LOCALE = 59561,
};

// Controls of the settings sheets' pages.
enum SettingsControlId : int {
    IDC_COLUMNS_SETTINGS = 1000,  // "settings..." (the table sheet's View page)
    IDC_CODEPAGE_AUTO = 1015,
    IDC_AUTO_CREATE_INI = 1017,
    IDC_OPEN_READ_ONLY = 1018,
    IDC_OPEN_READ_WRITE = 1019,
    IDC_OPEN_EXCLUSIVE = 1020,
    IDC_AUTO_SAVE_CHANGE = 1021,
    IDC_CODEPAGE_DOS = 1022,
    IDC_CODEPAGE_WIN = 1023,
    IDC_SHOW_DELETED = 1024,
    IDC_DATE_FORMAT = 1025,
    IDC_OEM_CODE_PAGE = 1030,     // the program sheet's OEM/ANSI pair
    IDC_ANSI_CODE_PAGE = 1031,
};

// Font heights of the grid (negative: character height).
inline constexpr int kFontSmall = -11;
inline constexpr int kFontMedium = -13;
inline constexpr int kFontLarge = -16;

// Tabulon's strings: command prompts, messages, labels.
void RegisterEditorStrings();
