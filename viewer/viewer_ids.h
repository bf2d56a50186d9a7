// Peekrow's numeric ids: commands (menus, toolbar, keys and tests send them),
// status panes, strings, dialog controls and resources. The framework's own
// commands (Open, Close, Copy, Find, the print and window commands) are in
// platform/ui/command_ids.h and platform/ui/view_base.h; the reader's
// messages in viewer/reader/dbf_file_reader.h.
#pragma once

enum ViewerCommandId : unsigned {
    ID_VIEW_CODEPAGE_DOS = 32772,
    ID_VIEW_CODEPAGE_WIN = 32773,
    ID_VIEW_STRUCTURE = 32776,
    ID_VIEW_COLUMNS = 32777,
    // The memo cell's button posts this to its view.
    ID_MEMO_BUTTON = 1000,
};

// The status panes, whose string ids hold the texts their widths come from.
enum ViewerPaneId : unsigned {
    ID_INDICATOR_RECORD = 32780,  // "Record:  0/0                      "
    ID_INDICATOR_FIELD = 32781,   // "Field: n(w,d)          "
};

enum ViewerStringId : unsigned {
    IDR_DBFTYPE = 129,  // the document string
    IDS_FIND_CAPTION = 32810,     // "Find"
    IDS_NOT_FOUND = 32811,        // "Not found"
    IDS_STRUCT_N = 32820,         // "N"
    IDS_STRUCT_NAME = 32821,      // "Name"
    IDS_STRUCT_TYPE = 32822,      // "Type"
    IDS_STRUCT_WIDTH = 32823,     // "Width"
    IDS_STRUCT_DECIMAL = 32824,   // "Decimal"
    IDS_PANE_FIELD = 32830,       // "Field"
    IDS_PANE_RECORD = 32831,      // "Record"
    IDS_ADVANCED = 32832,         // "&Advansed"
};

// The grid columns of a view carry 100 + the field's index.
inline constexpr int kFieldColumnIdBase = 100;

// Peekrow's strings: command prompts, messages, labels.
void RegisterViewerStrings();
