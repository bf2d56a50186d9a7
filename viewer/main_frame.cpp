// Peekrow's menus, toolbar, panes and keys.
#include "viewer/main_frame.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/core/string_table.h"
#include "platform/ui/command_ids.h"
#include "viewer/placement_store.h"
#include "viewer/toolbar_icons.h"
#include "viewer/viewer_ids.h"

using platform::MenuCommand;
using platform::MenuEntry;
using platform::MenuPopup;
using platform::MenuRecentFiles;
using platform::MenuSeparator;
using platform::MenuWindowList;
using namespace platform;  // the framework's command ids

namespace {

std::vector<MenuEntry> NoDocumentMenus() {
    return {
        MenuPopup("&File", {MenuCommand(ID_FILE_OPEN, "&Open...\tCtrl+O"), MenuSeparator(),
                            MenuCommand(ID_FILE_PRINT_SETUP, "P&rint Setup..."), MenuRecentFiles(), MenuSeparator(),
                            MenuCommand(ID_APP_EXIT, "E&xit")}),
        MenuPopup("&View", {MenuCommand(ID_VIEW_TOOLBAR, "&Toolbar"), MenuCommand(ID_VIEW_STATUS_BAR, "&Status Bar")}),
        MenuPopup("&Help", {MenuCommand(ID_APP_ABOUT, "&About Peekrow...")}),
    };
}

std::vector<MenuEntry> DocumentMenus() {
    return {
        MenuPopup("&File", {MenuCommand(ID_FILE_OPEN, "&Open...\tCtrl+O"), MenuCommand(ID_FILE_CLOSE, "&Close"),
                            MenuSeparator(), MenuCommand(ID_FILE_PRINT, "&Print...\tCtrl+P"),
                            MenuCommand(ID_FILE_PRINT_PREVIEW, "Print Pre&view"),
                            MenuCommand(ID_FILE_PRINT_SETUP, "P&rint Setup..."), MenuRecentFiles(), MenuSeparator(),
                            MenuCommand(ID_APP_EXIT, "E&xit")}),
        MenuPopup("&Edit", {MenuCommand(ID_EDIT_COPY, "&Copy\tCtrl+C"), MenuCommand(ID_EDIT_FIND, "&Find\tCtrl+F")}),
        MenuPopup("&View", {MenuCommand(ID_VIEW_TOOLBAR, "&Toolbar"), MenuCommand(ID_VIEW_STATUS_BAR, "&Status Bar"),
                            MenuSeparator(),
                            MenuPopup("Code pages", {MenuCommand(ID_VIEW_CODEPAGE_DOS, "DOS"),
                                                     MenuCommand(ID_VIEW_CODEPAGE_WIN, "Windows")}),
                            MenuCommand(ID_VIEW_STRUCTURE, "&Table structure"),
                            MenuCommand(ID_VIEW_COLUMNS, "Columns...")}),
        MenuPopup("&Window", {MenuCommand(ID_WINDOW_NEW, "&New Window"), MenuCommand(ID_WINDOW_CASCADE, "&Cascade"),
                              MenuCommand(ID_WINDOW_TILE_HORZ, "&Tile"),
                              MenuCommand(ID_WINDOW_ARRANGE, "&Arrange Icons"),
                              MenuCommand(ID_WINDOW_SPLIT, "S&plit"), MenuWindowList()}),
        MenuPopup("&Help", {MenuCommand(ID_APP_ABOUT, "&About Peekrow...")}),
    };
}

std::vector<AcceleratorEntry> Accelerators() {
    auto key = [](Qt::KeyboardModifiers mods, Qt::Key k) { return QKeyCombination(mods, k); };
    const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers kNone = Qt::NoModifier;
    return {
        {key(kCtrl, Qt::Key_C), ID_EDIT_COPY},          {key(kCtrl, Qt::Key_F), ID_EDIT_FIND},
        {key(kCtrl, Qt::Key_N), ID_FILE_NEW},           {key(kCtrl, Qt::Key_O), ID_FILE_OPEN},
        {key(kCtrl, Qt::Key_P), ID_FILE_PRINT},         {key(kCtrl, Qt::Key_S), ID_FILE_SAVE},
        {key(kCtrl, Qt::Key_V), ID_EDIT_PASTE},         {key(kCtrl, Qt::Key_X), ID_EDIT_CUT},
        {key(kCtrl, Qt::Key_Insert), ID_EDIT_COPY},     {key(kShift, Qt::Key_Insert), ID_EDIT_PASTE},
        {key(kShift, Qt::Key_Delete), ID_EDIT_CUT},     {key(Qt::AltModifier, Qt::Key_Backspace), ID_EDIT_UNDO},
        {key(kCtrl, Qt::Key_Z), ID_EDIT_UNDO},          {key(kNone, Qt::Key_F6), ID_NEXT_PANE},
        {key(kShift, Qt::Key_F6), ID_PREV_PANE},
    };
}

}  // namespace

::CMainFrame::CMainFrame(QWidget* pParent) : platform::CMainFrame(pParent) {
    setObjectName(QStringLiteral("PeekrowMainFrame"));
    setWindowIcon(PeekrowIcon());
    SetMenus(NoDocumentMenus(), DocumentMenus());
    SetToolBar({ID_FILE_OPEN, 0, ID_EDIT_COPY, 0, ID_EDIT_FIND, 0, ID_VIEW_CODEPAGE_DOS, 0, ID_FILE_PRINT_PREVIEW,
                ID_FILE_PRINT, 0, ID_APP_ABOUT},
               &ToolbarIcon);
    SetStatusPanes({{ID_INDICATOR_FIELD, QString::fromUtf8(LoadString(ID_INDICATOR_FIELD))},
                    {ID_INDICATOR_RECORD, QString::fromUtf8(LoadString(ID_INDICATOR_RECORD))}});
    SetAccelerators(Accelerators());
    SetAcceptFiles(false);
    // Until a placement is stored: most of the screen, which a table fills.
    QSize size(1100, 760);
    if (QScreen* pScreen = QGuiApplication::primaryScreen())
        size = size.boundedTo(pScreen->availableGeometry().size() * 9 / 10);
    resize(size);
}

void ::CMainFrame::OnFrameClosing() {
    WriteWindowPlacement(kMainFrameSection, normalGeometry().isValid() ? normalGeometry() : geometry(), isMaximized(),
                         isMinimized());
}
