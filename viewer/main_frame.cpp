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
    SetAccelerators(StandardAccelerators());
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
