// The numeric ids of the commands, panes and strings that the application
// framework itself knows: both programs' menus, toolbars and accelerators
// carry them, and tests send them.
#pragma once

namespace platform {

enum FrameworkCommandId : unsigned {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,  // to ID_FILE_MRU_FILE1 + 15
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_SPLIT = 57653,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_FIRST_MDICHILD = 65280,  // the Window menu's list of open windows
};

enum FrameworkStringId : unsigned {
    IDS_IDLEMESSAGE = 57345,    // "Ready"
    IDS_SAVEFILE = 61441,       // the Save As dialog's title
    IDS_UNTITLED = 61443,
    IDS_ASK_TO_SAVE = 61446,    // "Save changes to %1?"
    IDS_OPENFILE = 61440,       // the Open dialog's title
    IDS_ALL_FILES = 61448,
};

}  // namespace platform
