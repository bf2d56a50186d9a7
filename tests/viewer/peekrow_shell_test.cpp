// Peekrow's shell: menus and keys by command id, commands without a handler
// disabled, split panes that stay aligned and the pane cycle of F6, window
// placements stored in QSettings and read back (planted bad ones ignored),
// the recent files, the command line, printing from a lower pane, and a
// table and memo file that no command of the program ever touches while
// dbftool writes the same table.
#include <filesystem>
#include <fstream>

#include <QComboBox>
#include <QCryptographicHash>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

#include "grid/columns/columns_dlg.h"
#include "platform/core/page_layout.h"
#include "platform/ui/link_static.h"
#include "platform/ui/print_job.h"
#include "tests/platform_ui/pdf_test_support.h"
#include "tests/viewer/viewer_test_support.h"
#include "viewer/find_dlg.h"
#include "viewer/placement_store.h"
#include "viewer/viewer_dialogs.h"

using namespace viewer_test;
using namespace platform;

namespace {

// NAME C 10 ("rec000", ...), N N 6 of nRecords records.
std::string RecordsTable(const TempDir& dir, int nRecords, const std::string& strName = "records.dbf") {
    TableBuilder table(0x03);
    table.Field("NAME", 'C', 10).Field("N", 'N', 6);
    for (int i = 0; i < nRecords; ++i) {
        char sz[16];
        std::snprintf(sz, sizeof sz, "rec%03d", i);
        table.Record({sz, std::to_string(i)});
    }
    return table.Write(dir.Path(strName));
}

QStringList MenuTitles(CMainFrame& frame) {
    QStringList titles;
    for (QMenu* pMenu : frame.GetMenus())
        titles << pMenu->title();
    return titles;
}

QByteArray StoredPlacement(const char* pszSection) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                       QStringLiteral("Peekrow"));
    return settings.value(QString::fromLatin1(pszSection) + QStringLiteral("/Placement")).toByteArray();
}

void PlantPlacement(const char* pszSection, const QByteArray& bytes) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                       QStringLiteral("Peekrow"));
    settings.setValue(QString::fromLatin1(pszSection) + QStringLiteral("/Placement"), bytes);
}

QByteArray PlacementBytes(uint32_t nShowCmd, QRect rc, uint32_t nLength = 44) {
    viewer::WindowPlacement placement = viewer::MakePlacement(ToPlacementRect(rc), false);
    placement.nShowCmd = nShowCmd;
    auto bytes = viewer::BuildPlacement(placement);
    QByteArray out(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    out[0] = char(nLength);
    return out;
}

// What a file is now: its bytes' hash and its modification time.
struct FileState {
    QByteArray hash;
    std::filesystem::file_time_type time;
    bool operator==(const FileState& other) const { return hash == other.hash && time == other.time; }
};
FileState StateOf(const std::string& strPath) {
    Bytes bytes = ReadFileBytes(strPath);
    return FileState{QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                              QCryptographicHash::Sha256),
                     std::filesystem::last_write_time(strPath)};
}

}  // namespace

using PeekrowShell = PeekrowTest;

TEST_F(PeekrowShell, MenusAndKeysFollowTheWindowsAndUnhandledCommandsStayDisabled) {
    EXPECT_EQ(MenuTitles(*Frame()), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(Frame()->GetMdiArea()->subWindowList().size(), 0) << "a plain start opens nothing";
    EXPECT_EQ(PaneText(ID_INDICATOR_RECORD), QString());
    ASSERT_TRUE(Open(RecordsTable(m_dir, 5)));
    EXPECT_EQ(MenuTitles(*Frame()), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
    QStringList buttons;
    for (QAction* pAction : Frame()->GetToolBar()->actions())
        buttons << (pAction->isSeparator() ? QStringLiteral("|") : pAction->objectName());
    EXPECT_EQ(buttons.join(QLatin1Char(' ')), QStringLiteral("57601 | 57634 | 57636 | 32772 | 57609 57607 | 57664"));
    for (unsigned nId : {unsigned(ID_FILE_NEW), unsigned(ID_FILE_SAVE), unsigned(ID_FILE_SAVE_AS),
                         unsigned(ID_EDIT_PASTE), unsigned(ID_EDIT_CUT), unsigned(ID_EDIT_UNDO)})
        EXPECT_FALSE(State(nId).IsEnabled()) << nId;
    for (unsigned nId : {unsigned(ID_FILE_OPEN), unsigned(ID_FILE_CLOSE), unsigned(ID_EDIT_COPY),
                         unsigned(ID_EDIT_FIND), unsigned(ID_FILE_PRINT), unsigned(ID_WINDOW_NEW),
                         unsigned(ID_WINDOW_SPLIT), unsigned(ID_VIEW_STRUCTURE), unsigned(ID_APP_ABOUT)})
        EXPECT_TRUE(State(nId).IsEnabled()) << nId;
    EXPECT_FALSE(State(ID_NEXT_PANE).IsEnabled()) << "one pane";
    // The status panes are as wide as their strings say.
    QLabel* pRecord = Frame()->GetPane(ID_INDICATOR_RECORD);
    EXPECT_GE(pRecord->minimumWidth(), pRecord->fontMetrics().horizontalAdvance(QStringLiteral("Record:  0/0                      ")));

    QString strMail, strWeb;
    CScopedDialogHook about([&](CDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Peekrow"));
        strMail = dialog.GetDlgItem<CLinkStatic>(IDC_ABOUT_MAIL)->GetURL();
        strWeb = dialog.GetDlgItem<CLinkStatic>(IDC_ABOUT_WEB)->GetURL();
        return IDOK;
    });
    ASSERT_TRUE(Command(ID_APP_ABOUT));
    EXPECT_TRUE(strMail.startsWith(QStringLiteral("mailto:")));
    EXPECT_TRUE(strWeb.startsWith(QStringLiteral("https://")));
}

TEST_F(PeekrowShell, SplitPanesStayAlignedWhileScrollingAndF6CyclesThem) {
    ASSERT_TRUE(Open(RecordsTable(m_dir, 3000)));
    ui_test::ShowActive(*Frame());
    ASSERT_TRUE(Splitter()->SplitRow(150));
    ASSERT_TRUE(Splitter()->SplitColumn(250));
    ui_test::Settle();
    EXPECT_EQ(Window()->GetViews().size(), 4u);
    EXPECT_EQ(Pane(1, 0)->GetFixedRowCount(), 0) << "lower panes show no header";
    EXPECT_EQ(Pane(1, 1)->GetFixedRowCount(), 0);
    EXPECT_EQ(Pane(0, 1)->GetFixedColumnCount(), 0) << "right panes no row header";
    EXPECT_EQ(Pane(1, 0)->GetCellText(0, 0), "rec000    ") << "every pane reads the table";

    Splitter()->SetActivePane(0, 0);
    ui_test::Settle();
    for (int i = 0; i < 40; ++i)
        ui_test::Key(Qt::Key_Down);
    ui_test::Key(Qt::Key_PageDown);
    EXPECT_GT(Pane(0, 0)->GetVertPos(), 0);
    EXPECT_EQ(Pane(0, 1)->GetVertPos(), Pane(0, 0)->GetVertPos()) << "rows aligned across";
    EXPECT_EQ(Pane(1, 0)->GetHorzPos(), Pane(0, 0)->GetHorzPos()) << "columns aligned down";
    EXPECT_EQ(PaneText(ID_INDICATOR_RECORD),
              QStringLiteral("Record: %1/3000").arg(Pane(0, 0)->GetCurrentDataRow() + 1));

    // Only the active pane highlights its current cell.
    EXPECT_EQ(Pane(0, 0)->GetCellStyle(0, 0).clrCurrentBack, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pane(1, 1)->GetCellStyle(0, 0).clrCurrentBack, GetSysColor(COLOR_WINDOW));

    const std::pair<int, int> order[] = {{0, 1}, {1, 0}, {1, 1}, {0, 0}};
    for (auto [r, c] : order) {
        ASSERT_TRUE(Command(ID_NEXT_PANE));
        EXPECT_EQ(View(), Pane(r, c)) << r << c;
    }
    ASSERT_TRUE(Command(ID_PREV_PANE));
    EXPECT_EQ(View(), Pane(1, 1));
    ui_test::Key(Qt::Key_F6);
    EXPECT_EQ(View(), Pane(0, 0)) << "F6 is the key of the next pane";

    Splitter()->DeleteRow(0);
    ui_test::Settle();
    EXPECT_EQ(Pane(0, 0)->GetFixedRowCount(), 1) << "the pane left on top gets the header back";
    EXPECT_EQ(Window()->GetViews().size(), 2u);
}

TEST_F(PeekrowShell, PlacementsAreStoredAndReadBackAndUnusableOnesAreIgnored) {
    const QRect rcScreen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect rcMain(rcScreen.left() + 40, rcScreen.top() + 30, rcScreen.width() * 3 / 4, rcScreen.height() * 3 / 4);
    Frame()->setGeometry(rcMain);
    ASSERT_TRUE(Open(RecordsTable(m_dir, 5)));
    Window()->setGeometry(20, 10, 300, 200);
    ui_test::Settle();
    StopProgram();
    const QByteArray main = StoredPlacement(kMainFrameSection), mdi = StoredPlacement(kMdiFrameSection);
    ASSERT_EQ(main.size(), 44);
    ASSERT_EQ(mdi.size(), 44);
    EXPECT_EQ(uint8_t(main[0]), 44);
    auto stored = viewer::ParsePlacement(main.constData(), size_t(main.size()));
    ASSERT_TRUE(stored);
    EXPECT_EQ(FromPlacementRect(stored->rcNormalPosition), rcMain);

    StartProgram();
    EXPECT_EQ(Frame()->geometry(), rcMain);
    ASSERT_TRUE(Open(RecordsTable(m_dir, 5)));
    EXPECT_EQ(Window()->geometry(), QRect(20, 10, 300, 200)) << "a table window opens where the last one closed";
    // A maximised table window: the next one opens maximised.
    Window()->showMaximized();
    ui_test::Settle();
    ASSERT_TRUE(Command(ID_FILE_CLOSE));
    ASSERT_TRUE(Open(RecordsTable(m_dir, 5)));
    EXPECT_TRUE(Window()->isMaximized());
    StopProgram();

    const struct {
        const char* pszWhat;
        QByteArray bytes;
        bool bUsed;
    } planted[] = {
        {"minimised on screen", PlacementBytes(viewer::SW_SHOWMINIMIZED, QRect(60, 50, 600, 400)), true},
        {"force-minimised", PlacementBytes(viewer::SW_FORCEMINIMIZE, QRect(60, 50, 600, 400)), true},
        {"hidden", PlacementBytes(viewer::SW_HIDE, QRect(60, 50, 600, 400)), true},
        {"off screen", PlacementBytes(viewer::SW_SHOWNORMAL, QRect(-5000, -4000, 400, 300)), false},
        {"empty", PlacementBytes(viewer::SW_SHOWNORMAL, QRect(60, 50, 0, 0)), false},
        {"minimised and off screen", PlacementBytes(viewer::SW_SHOWMINIMIZED, QRect(rcScreen.right() + 10, 0, 400, 300)),
         false},
        {"a length field of 40", PlacementBytes(viewer::SW_SHOWNORMAL, QRect(60, 50, 600, 400), 40), false},
        {"43 bytes", PlacementBytes(viewer::SW_SHOWNORMAL, QRect(60, 50, 600, 400)).left(43), false},
    };
    for (const auto& plant : planted) {
        PlantPlacement(kMainFrameSection, plant.bytes);
        StartProgram();
        EXPECT_TRUE(Frame()->isVisible()) << plant.pszWhat;
        EXPECT_FALSE(Frame()->isMinimized()) << plant.pszWhat;
        EXPECT_TRUE(rcScreen.intersects(Frame()->geometry())) << plant.pszWhat;
        EXPECT_EQ(Frame()->geometry() == QRect(60, 50, 600, 400), plant.bUsed) << plant.pszWhat;
        StopProgram();
    }
    // A huge stored rectangle is cut to the screen.
    PlantPlacement(kMainFrameSection, PlacementBytes(viewer::SW_SHOWNORMAL, QRect(-100, -100, 30000, 30000)));
    StartProgram();
    EXPECT_LE(Frame()->width(), rcScreen.width());
    EXPECT_LE(Frame()->height(), rcScreen.height());
    EXPECT_TRUE(rcScreen.intersects(Frame()->geometry()));
}

TEST_F(PeekrowShell, TheCommandLineAndTheRecentFilesSurviveARestart) {
    const std::string strTable = RecordsTable(m_dir, 3);
    StopProgram();
    CPeekrowApp::CommandLine line = CPeekrowApp::ParseCommandLine({strTable});
    EXPECT_EQ(line.strFile, strTable);
    EXPECT_TRUE(CPeekrowApp::ParseCommandLine({"--", "--help"}).strFile == "--help");
    EXPECT_FALSE(CPeekrowApp::ParseCommandLine({"--bogus"}).strError.empty());
    EXPECT_FALSE(CPeekrowApp::ParseCommandLine({"a.dbf", "b.dbf"}).strError.empty());
    StartProgram(line);
    ASSERT_NE(Doc(), nullptr);
    EXPECT_EQ(Cell(0, 2), "rec002    ");
    StopProgram();
    StartProgram();
    ASSERT_GE(m_pApp->GetRecentFileList().GetSize(), 1);
    EXPECT_EQ(std::filesystem::path(m_pApp->GetRecentFileList().GetPath(0)), std::filesystem::absolute(strTable));
    ASSERT_TRUE(Command(ID_FILE_MRU_FILE1));
    EXPECT_NE(Doc(), nullptr);

    for (const char* pszOption : {"--help", "--version"}) {
        CommandResult result = RunCommand(PEEKROW_PATH, {pszOption}, "QT_QPA_PLATFORM=nowhere");
        EXPECT_EQ(result.nExit, 0) << pszOption;
        EXPECT_NE(QString::fromStdString(result.strOut).indexOf(QStringLiteral("peekrow"), 0, Qt::CaseInsensitive), -1)
            << result.strOut;
    }
}

TEST_F(PeekrowShell, AHundredRecordsAtThirtyAPagePrintFourPagesWithHeadersFromALowerPane) {
    if (!pdf_test::HavePdfTools())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    ResetAppPrinter();
    ASSERT_TRUE(Open(RecordsTable(m_dir, 100)));
    ASSERT_TRUE(Splitter()->SplitRow(120));
    ui_test::Settle();
    CDBFView* pLower = Pane(1, 0);
    Splitter()->SetActivePane(1, 0);
    ui_test::Settle();
    ASSERT_EQ(View(), pLower);
    ASSERT_EQ(pLower->GetFixedRowCount(), 0);
    // A font whose rows make thirty a portrait page of the application's printer.
    QPrinter& printer = AppPrinter();
    const QRect rcPaint = printer.pageLayout().paintRectPixels(printer.resolution());
    const PrinterMetrics metrics{rcPaint.width(), rcPaint.height(), printer.resolution(), printer.resolution(),
                                 ScreenDpiX(), ScreenDpiY()};
    bool bFitted = false;
    for (int nPixels = 10; nPixels < 80 && !bFitted; ++nPixels) {
        pLower->SetFont(CFont(pLower->GetFont().GetFaceName(), nPixels), true);
        int64_t nWidth = 0;
        for (int i = 0; i < pLower->GetColumnCount(-1); ++i)
            nWidth += pLower->GetColumnWidth(i, -1);
        CGridPageLayout layout(kViewerPageLimits);
        layout.Prepare(nWidth, false);
        layout.CountPages(1, pLower->GetHeaderHeight(), pLower->GetRowHeight(), 100);
        layout.FitToPrinter(metrics);
        bFitted = layout.GetRowsPerPage() == 30;
    }
    ASSERT_TRUE(bFitted);
    const std::string strPdf = m_dir.Path("hundred.pdf");
    {
        pdf_test::PrintToPdf answer(strPdf);
        ASSERT_TRUE(Command(ID_FILE_PRINT));
    }
    EXPECT_EQ(pLower->GetPrinter().GetPageLayout().GetRowsPerPage(), 30);
    ASSERT_EQ(pdf_test::ReadPdfInfo(strPdf).nPages, 4);
    for (int nPage = 1; nPage <= 4; ++nPage) {
        const std::string strText = pdf_test::PageText(strPdf, nPage);
        EXPECT_NE(strText.find("NAME"), std::string::npos) << "the header row on page " << nPage;
        char sz[16];
        std::snprintf(sz, sizeof sz, "rec%03d", (nPage - 1) * 30);
        EXPECT_NE(strText.find(sz), std::string::npos) << nPage;
    }
    CScopedPrintPreviewHook preview;
    ASSERT_TRUE(Command(ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(preview.GetPageCount(), 4);
    ResetAppPrinter();
}

TEST_F(PeekrowShell, NoCommandTouchesTheTableOrItsMemoWhileDbftoolWritesIt) {
    CMemoImage memo = CMemoImage::Fpt(8, 64);
    memo.Add("a memo that nobody may change");
    const std::string strMemo = memo.Save(m_dir, "shared.FPT");
    const std::string strTable = TableBuilder(0xF5)
                                     .Field("NAME", 'C', 10)
                                     .Field("AMOUNT", 'N', 8, 2)
                                     .Field("NOTE", 'M', 10)
                                     .Record({"first", "1.50", MemoRef10(8)})
                                     .DeletedRecord({"second", "2.00", MemoRef10(0)})
                                     .Record({"third", "3.00", MemoRef10(0)})
                                     .Write(m_dir.Path("shared.dbf"));
    ASSERT_TRUE(Open(strTable));
    ui_test::ShowActive(*Frame());
    ASSERT_TRUE(Boxes().empty());
    CScopedDialogHook dialogs([](CDialog& dialog) {
        if (auto* pColumns = dynamic_cast<CColumnsDlg*>(&dialog)) {
            pColumns->OnOK();
            return pColumns->GetModalResult();
        }
        return int(IDOK);
    });
    CScopedPrintPreviewHook preview;
    int nSet = 0;
    auto step = [&](const char* pszWhat, const std::function<void()>& command) {
        // Another program writes the table, as it may while Peekrow shows it.
        CommandResult set = RunCommand(DBFTOOL_PATH, {"set", strTable, "--record", "1", "--field", "NAME", "--value",
                                                      "set" + std::to_string(++nSet)});
        ASSERT_EQ(set.nExit, 0) << set.strErr;
        const FileState table = StateOf(strTable), memoState = StateOf(strMemo);
        command();
        ui_test::Settle();
        EXPECT_TRUE(StateOf(strTable) == table) << pszWhat;
        EXPECT_TRUE(StateOf(strMemo) == memoState) << pszWhat;
    };
    step("copy", [&] { Command(ID_EDIT_COPY); });
    step("DOS", [&] { Command(ID_VIEW_CODEPAGE_DOS); });
    step("Windows", [&] { Command(ID_VIEW_CODEPAGE_WIN); });
    step("find", [&] {
        Command(ID_EDIT_FIND);
        Window()->GetFindDialog()->GetDlgItem<QComboBox>(IDC_FIND_TEXT)->setEditText(QStringLiteral("third"));
        Window()->GetFindDialog()->OnFind();
        Window()->GetFindDialog()->OnCancel();
    });
    step("structure", [&] { Command(ID_VIEW_STRUCTURE); });
    step("columns", [&] { Command(ID_VIEW_COLUMNS); });
    step("memo", [&] {
        View()->GoToCell(2, 0);
        Command(ID_MEMO_BUTTON);
    });
    step("print", [&] {
        pdf_test::PrintToPdf answer(m_dir.Path("shared.pdf"));
        Command(ID_FILE_PRINT);
    });
    step("preview", [&] { Command(ID_FILE_PRINT_PREVIEW); });
    step("split", [&] {
        Splitter()->SplitRow(100);
        Command(ID_NEXT_PANE);
    });
    step("repaint", [&] { View()->viewport()->repaint(); });
    step("new window", [&] { Command(ID_WINDOW_NEW); });
    step("close", [&] { Command(ID_FILE_CLOSE); });
    EXPECT_TRUE(Boxes().empty());
    // Peekrow reads the table as it is now: the last value dbftool wrote.
    ASSERT_TRUE(Open(strTable));
    View()->GetCellText(0, 2);
    std::string strLast = "set" + std::to_string(nSet);
    strLast.resize(10, ' ');
    EXPECT_EQ(Cell(0, 0), strLast);
    EXPECT_EQ(View()->GetRowCount(), 3);
}
