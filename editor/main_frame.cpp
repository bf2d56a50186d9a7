// Tabulon's menus, toolbar, panes and keys.
#include "editor/main_frame.h"

#include "editor/editor_ids.h"
#include "editor/tabulon_app.h"
#include "editor/toolbar_icons.h"
#include "editor/view_commands.h"
#include "platform/ui/command_ids.h"

using platform::MenuCommand;
using platform::MenuPopup;
using platform::MenuRecentFiles;
using platform::MenuSeparator;
using platform::MenuWindowList;
using namespace platform;  // the framework's command ids

namespace {

std::vector<MenuEntry> NoDocumentMenus() {
    return {
        MenuPopup("&File", {MenuCommand(ID_FILE_NEW, "&New\tCtrl+N"), MenuCommand(ID_FILE_OPEN, "&Open...\tCtrl+O"),
                            MenuCommand(ID_FILE_SAVE, "&Save"), MenuCommand(ID_FILE_SAVE_AS, "Save &As..."),
                            MenuSeparator(), MenuCommand(ID_FILE_PRINT_SETUP, "Print Setup..."), MenuSeparator(),
                            MenuRecentFiles(), MenuSeparator(), MenuCommand(ID_APP_EXIT, "E&xit")}),
        MenuPopup("&View", {MenuCommand(ID_VIEW_TOOLBAR, "&Toolbar"), MenuCommand(ID_VIEW_STATUS_BAR, "&Status Bar")}),
        MenuPopup("Setting", {MenuCommand(ID_SETTING_PROGRAM, "Setting...")}),
        MenuPopup("&?", {MenuCommand(ID_APP_ABOUT, "&About ...")}),
    };
}

std::vector<MenuEntry> DocumentMenus() {
    return {
        MenuPopup("&File",
                  {MenuCommand(ID_FILE_NEW, "&New\tCtrl+N"), MenuCommand(ID_FILE_OPEN, "&Open...\tCtrl+O"),
                   MenuCommand(ID_FILE_SAVE, "&Save\tCtrl+S"), MenuCommand(ID_FILE_SAVE_AS, "Save &As..."),
                   MenuSeparator(), MenuCommand(ID_FILE_SHOW_STRUCTURE, "Table structure"),
                   MenuCommand(ID_FILE_MODIFY_STRUCTURE, "Modify structure...  "),
                   MenuPopup("Change code page  ", {MenuCommand(ID_FILE_DOS_TO_WIN, "DOS->Win"),
                                                    MenuCommand(ID_FILE_WIN_TO_DOS, "Win->DOS")}),
                   MenuCommand(ID_FILE_PACK, "Pack"), MenuSeparator(),
                   MenuCommand(ID_FILE_PRINT_SETUP, "P&rint Setup..."),
                   MenuCommand(ID_FILE_PRINT_PREVIEW, "Print Pre&view"),
                   MenuCommand(ID_FILE_PRINT, "&Print...\tCtrl+P"), MenuSeparator(), MenuRecentFiles(),
                   MenuSeparator(), MenuCommand(ID_APP_EXIT, "&Exit")}),
        MenuPopup("&Edit", {MenuCommand(ID_EDIT_CUT, "Cu&t\tCtrl+X"), MenuCommand(ID_EDIT_COPY, "&Copy\tCtrl+C"),
                            MenuCommand(ID_EDIT_PASTE, "&Paste\tCtrl+V"), MenuCommand(ID_EDIT_CLEAR, "Clear\tDel"),
                            MenuSeparator(), MenuCommand(ID_EDIT_FORMULAS, "&Formuls"),
                            MenuCommand(ID_EDIT_SELECT_ALL, "Select A&ll\tCtrl+A"), MenuSeparator(),
                            MenuCommand(ID_RECORD_ADD, "Add record\tF2"),
                            MenuCommand(ID_RECORD_DELETE, "Delete record\tF8"),
                            MenuCommand(ID_RECORD_UNDELETE, "Undelete record\tF9"), MenuSeparator(),
                            MenuCommand(ID_EDIT_FIND, "&Find...\tCtrl+F"),
                            MenuCommand(ID_EDIT_REPLACE, "R&eplace\tCtrl+H")}),
        MenuPopup("Navigation", {MenuCommand(ID_NAV_GOTO, "Go to..."), MenuCommand(ID_NAV_MOVE, "Move to ..."),
                                 MenuSeparator(), MenuCommand(ID_NAV_FIRST, "Firsrt record\tCtrl+PgUp"),
                                 MenuCommand(ID_NAV_LAST, "Last record\tCtrl+PgDown")}),
        MenuPopup("&View",
                  {MenuPopup("Code pages", {MenuCommand(ID_VIEW_CODEPAGE_DOS, "DOS"),
                                            MenuCommand(ID_VIEW_CODEPAGE_WIN, "Windows")}),
                   MenuPopup("Deleted record", {MenuCommand(ID_VIEW_HIDE_DELETED, "Hide"),
                                                MenuCommand(ID_VIEW_SHOW_DELETED, "Show")}),
                   MenuCommand(ID_VIEW_FILTER, "Filter"), MenuCommand(ID_VIEW_COLUMNS, "Columns..."),
                   MenuPopup("&Font", {MenuCommand(ID_VIEW_FONT_SMALL, "Small"),
                                       MenuCommand(ID_VIEW_FONT_MEDIUM, "Medium"),
                                       MenuCommand(ID_VIEW_FONT_LARGE, "Large")}),
                   MenuSeparator(), MenuCommand(ID_VIEW_TOOLBAR, "&Toolbar"),
                   MenuCommand(ID_VIEW_STATUS_BAR, "&Status Bar"), MenuSeparator(),
                   MenuCommand(ID_VIEW_REFRESH, "Refresh\tF5")}),
        MenuPopup("Setting", {MenuCommand(ID_SETTING_PROGRAM, "Setting..."),
                              MenuCommand(ID_SETTING_FILE, "File setting...")}),
        MenuPopup("&Window", {MenuCommand(ID_WINDOW_CASCADE, "&Cascade"), MenuCommand(ID_WINDOW_TILE_HORZ, "&Tile"),
                              MenuCommand(ID_WINDOW_ARRANGE, "&Arrange Icons"), MenuWindowList()}),
        MenuPopup("&?", {MenuCommand(ID_APP_ABOUT, "&About ...")}),
    };
}

std::vector<AcceleratorEntry> Accelerators() {
    auto key = [](Qt::KeyboardModifiers mods, Qt::Key k) { return QKeyCombination(mods, k); };
    const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers kNone = Qt::NoModifier;
    return {
        {key(kCtrl, Qt::Key_A), ID_EDIT_SELECT_ALL},   {key(kCtrl, Qt::Key_C), ID_EDIT_COPY},
        {key(kCtrl, Qt::Key_F), ID_EDIT_FIND},         {key(kCtrl, Qt::Key_H), ID_EDIT_REPLACE},
        {key(kCtrl, Qt::Key_N), ID_FILE_NEW},          {key(kCtrl, Qt::Key_O), ID_FILE_OPEN},
        {key(kCtrl, Qt::Key_P), ID_FILE_PRINT},        {key(kCtrl, Qt::Key_S), ID_FILE_SAVE},
        {key(kCtrl, Qt::Key_V), ID_EDIT_PASTE},        {key(kCtrl, Qt::Key_X), ID_EDIT_CUT},
        {key(kCtrl, Qt::Key_Insert), ID_EDIT_COPY},    {key(kShift, Qt::Key_Insert), ID_EDIT_PASTE},
        {key(kShift, Qt::Key_Delete), ID_EDIT_CUT},    {key(kNone, Qt::Key_Delete), ID_EDIT_CLEAR},
        {key(Qt::AltModifier, Qt::Key_Backspace), ID_EDIT_UNDO}, {key(kCtrl, Qt::Key_Z), ID_EDIT_UNDO},
        {key(kNone, Qt::Key_F2), ID_RECORD_ADD},       {key(kNone, Qt::Key_F5), ID_VIEW_REFRESH},
        {key(kNone, Qt::Key_F6), ID_NEXT_PANE},        {key(kShift, Qt::Key_F6), ID_PREV_PANE},
        {key(kNone, Qt::Key_F8), ID_RECORD_DELETE},    {key(kNone, Qt::Key_F9), ID_RECORD_UNDELETE},
    };
}

}  // namespace

::CMainFrame::CMainFrame(QWidget* pParent) : platform::CMainFrame(pParent) {
    setObjectName(QStringLiteral("TabulonMainFrame"));
    setWindowIcon(TabulonIcon());
    SetMenus(NoDocumentMenus(), DocumentMenus());
    SetToolBar({ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT, 0,
                ID_VIEW_CODEPAGE_DOS, 0, ID_EDIT_FIND, ID_VIEW_FILTER, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE},
               &ToolbarIcon);
    SetStatusPanes({{ID_INDICATOR_FIELD, QString()}, {ID_INDICATOR_RECORD, QString()}});
    SetAccelerators(Accelerators());
    SetAcceptFiles(true);
    m_commands.Add(ID_SETTING_PROGRAM, [] { RunProgramSettingsSheet(); });
    if (CTabulonApp* pApp = CTabulonApp::GetTabulonApp())
        pApp->m_nFontSize = pApp->GetProgramSettings().GetFontSize();
    resize(1100, 720);
}

void ::CMainFrame::OnFrameClosing() {
    // The font size is written even when nothing else ever changed.
    if (CTabulonApp* pApp = CTabulonApp::GetTabulonApp())
        pApp->GetProgramSettings().SetFontSize(pApp->m_nFontSize);
}
