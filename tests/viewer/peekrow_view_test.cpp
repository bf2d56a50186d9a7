// Peekrow's table view as a person uses it: columns and cell texts by type,
// deleted records grey and counted, the code-page choice of a window shared
// by its panes and kept through a new layout, the status panes of an empty
// table and of one without fields, the memo button and its keys, the missing
// memo file, the structure and Columns dialogs, Copy, and a wheel that does
// nothing.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QWheelEvent>

#include "grid/columns/columns_dlg.h"
#include "platform/ui/system_metrics.h"
#include "tests/viewer/viewer_test_support.h"
#include "viewer/find_dlg.h"
#include "viewer/viewer_dialogs.h"

using namespace viewer_test;
using platform::CCmdUI;

namespace {

// NAME C 10, AMOUNT N 8.2, BORN D, OK L; the second record deleted.
std::string PeopleTable(const TempDir& dir, uint8_t nMark = 0x03) {
    return TableBuilder(0x03)
        .CodePageMark(nMark)
        .Field("NAME", 'C', 10)
        .Field("AMOUNT", 'N', 8, 2)
        .Field("BORN", 'D', 8)
        .Field("OK", 'L', 1)
        .Record({"Anna", "12.50", "19991231", "T"})
        .DeletedRecord({"Boris", "-3.00", "20000229", "F"})
        .Record({"Clara", "", "        ", "?"})
        .Write(dir.Path("people.dbf"));
}

// A dBASE III table with a memo field and its .DBT beside it (or not).
std::string MemoTable(const TempDir& dir, bool bWithMemoFile) {
    if (bWithMemoFile) {
        CMemoImage memo = CMemoImage::DBase3(1);
        memo.Add("First line\r\nsecond line");
        memo.Save(dir, "notes.dbt");
    }
    return TableBuilder(0x83)
        .Field("TITLE", 'C', 8)
        .Field("NOTE", 'M', 10)
        .Record({"one", MemoRef10(1)})
        .Record({"two", MemoRef10(0)})
        .Write(dir.Path("notes.dbf"));
}

}  // namespace

using PeekrowView = PeekrowTest;

TEST_F(PeekrowView, ShowsTheRecordsInFileOrderWithDeletedOnesGreyAndCounted) {
    ASSERT_TRUE(Open(PeopleTable(m_dir)));
    CDBFView* pView = View();
    ASSERT_NE(pView, nullptr);
    ASSERT_EQ(pView->GetColumnCount(-1), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pView->GetColumnId(i, 0), kFieldColumnIdBase + i);
    EXPECT_EQ(pView->GetRowCount(), 3) << "deleted records are rows too";
    EXPECT_EQ(Cell(0, 0), "Anna      ");
    EXPECT_EQ(Cell(1, 0), "   12.50");
    EXPECT_EQ(Cell(2, 1), "02/29/2000");
    EXPECT_EQ(Cell(2, 2), "") << "a blank date";
    EXPECT_EQ(pView->GetCellValue(3, 0).nValue, 1) << "T is ticked";
    EXPECT_EQ(pView->GetCellValue(3, 1).nValue, 0);
    EXPECT_EQ(pView->GetCellValue(3, 2).nValue, 0) << "? is not";
    EXPECT_EQ(Cell(3, 0), "") << "a logical cell shows a box, no letter";

    EXPECT_TRUE(pView->IsRecordDeleted(2));
    EXPECT_EQ(pView->GetCellStyle(0, 1).clrText, platform::GetSysColor(platform::COLOR_BTNSHADOW));
    EXPECT_EQ(pView->GetCellStyle(0, 0).clrText, platform::GetSysColor(platform::COLOR_WINDOWTEXT));
    EXPECT_EQ(PaneText(ID_INDICATOR_RECORD), QStringLiteral("Record: 1/3"));
    EXPECT_EQ(PaneText(ID_INDICATOR_FIELD), QStringLiteral("Field: C(10)"));
    pView->GoToCell(1, 1);
    EXPECT_EQ(PaneText(ID_INDICATOR_RECORD), QStringLiteral("Record: 2/3")) << "the deleted record counts";
    EXPECT_EQ(PaneText(ID_INDICATOR_FIELD), QStringLiteral("Field: N(8,2)"));

    // Column widths come from the types; the header widens a narrow one.
    const int nAverage = pView->GetFont().GetMetrics().nAveCharWidth;
    const int nMax = pView->GetFont().GetQFontMetrics().maxWidth();
    EXPECT_GE(pView->GetColumnWidth(0, -1), 10 * (nAverage + nMax) / 2);
    EXPECT_GE(pView->GetColumnWidth(3, -1), std::max(18, 3 * nMax));
    EXPECT_EQ(pView->GetFixedColumnWidth(), pView->GetRowHeight() / 2 + 8);
}

TEST_F(PeekrowView, CopyTakesTheCellAsShownAndAnEmptyTableReadsNothing) {
    ASSERT_TRUE(Open(PeopleTable(m_dir)));
    View()->GoToCell(0, 2);
    ASSERT_TRUE(State(platform::ID_EDIT_COPY).IsEnabled());
    ASSERT_TRUE(Command(platform::ID_EDIT_COPY));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Clara     "));
    View()->GoToCell(3, 0);
    EXPECT_FALSE(State(platform::ID_EDIT_COPY).IsEnabled()) << "a check box has no text";

    // No records: no reads, no messages, "Record: 0/0".
    const std::string strEmpty =
        TableBuilder(0x03).Field("NAME", 'C', 10).Field("N", 'N', 5).Write(m_dir.Path("empty.dbf"));
    ASSERT_TRUE(Open(strEmpty));
    EXPECT_FALSE(State(platform::ID_EDIT_COPY).IsEnabled());
    EXPECT_EQ(PaneText(ID_INDICATOR_RECORD), QStringLiteral("Record: 0/0"));
    EXPECT_EQ(PaneText(ID_INDICATOR_FIELD), QStringLiteral("Field: C(10)"));
    for (QMenu* pMenu : Frame()->GetMenus())
        Frame()->UpdateMenu(pMenu);
    EXPECT_TRUE(Boxes().empty()) << "opening the Edit menu reads no record";

    // No fields at all: nothing to find, print or choose, and nothing breaks.
    const std::string strNoFields = TableBuilder(0x03).Write(m_dir.Path("nofields.dbf"));
    ASSERT_TRUE(Open(strNoFields));
    EXPECT_EQ(View()->GetColumnCount(-1), 0);
    EXPECT_EQ(PaneText(ID_INDICATOR_FIELD), QString());
    for (unsigned nId : {unsigned(platform::ID_EDIT_FIND), unsigned(platform::ID_FILE_PRINT),
                         unsigned(platform::ID_FILE_PRINT_PREVIEW), unsigned(ID_VIEW_COLUMNS),
                         unsigned(platform::ID_EDIT_COPY)})
        EXPECT_FALSE(Command(nId)) << nId;
    View()->viewport()->repaint();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PeekrowView, TheCodePageChoiceBelongsToTheWindowAndSurvivesANewLayout) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    // A DOS table (mark 0x65) whose name and text are CP866 bytes: "Жук".
    const std::string strDos = TableBuilder(0x03)
                                   .CodePageMark(0x65)
                                   .Field("\x88\x8C\x9F", 'C', 6)
                                   .Record({"\x86\xE3\xAA"})
                                   .Write(m_dir.Path("dos.dbf"));
    ASSERT_TRUE(Open(strDos));
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_DOS).GetCheck(), 1);
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_WIN).GetCheck(), 0);
    EXPECT_EQ(Cell(0, 0), "\xC6\xF3\xEA   ") << "shown in CP1251";
    EXPECT_EQ(View()->GetColumnHeader(0, 0).strText, "\xC8\xCC\xDF");

    ASSERT_TRUE(Splitter()->SplitRow(120));
    ui_test::Settle();
    EXPECT_EQ(Pane(1, 0)->GetCellText(0, 0), Cell(0, 0)) << "a new pane agrees with its neighbours";
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_WIN).GetCheck(), 1);
    EXPECT_EQ(Pane(1, 0)->GetCellText(0, 0), "\x86\xE3\xAA   ") << "both panes switched";

    // Columns OK runs every initial update again: the choice stays.
    platform::CScopedDialogHook ok([](platform::CDialog& dialog) {
        dialog.OnOK();
        return dialog.GetModalResult();
    });
    ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    EXPECT_EQ(ok.GetCount(), 1);
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_WIN).GetCheck(), 1);
    EXPECT_EQ(Pane(0, 0)->GetCellText(0, 0), "\x86\xE3\xAA   ");
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_WIN).GetCheck(), 1) << "DOS twice is Windows again";

    // A second window of the table starts from the table's mark.
    ASSERT_TRUE(Command(platform::ID_WINDOW_NEW));
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_DOS).GetCheck(), 1);

    const std::string strWin = TableBuilder(0x03).CodePageMark(0xC9).Field("A", 'C', 2).Write(m_dir.Path("w.dbf"));
    ASSERT_TRUE(Open(strWin));
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_WIN).GetCheck(), 1);
}

TEST_F(PeekrowView, TheTablesCodePagesFollowTheSharedRule) {
    platform::CScopedCodePages locale("CP437", "CP1252");
    const struct {
        uint8_t nMark;
        const char* pszCpg;  // the .cpg beside the table, or none
        bool bDos;
        int nOem, nAnsi;     // 0: not asked
    } cases[] = {
        {0x65, nullptr, true, 866, 1251},   // Russian DOS
        {0xC9, nullptr, false, 866, 1251},  // Russian Windows
        {0x00, "1251", false, 0, 1251},     // the .cpg names the page
        {0x00, "OEM 866", true, 866, 0},
        {0x00, nullptr, true, 437, 1252},   // nothing names one: the program's pair, DOS by the version
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string strName = "cp" + std::to_string(n++);
        if (c.pszCpg)
            WriteFileBytes(m_dir.Path(strName + ".cpg"), std::string(c.pszCpg));
        const std::string strTable = TableBuilder(0x03)
                                         .CodePageMark(c.nMark)
                                         .Field("A", 'C', 4)
                                         .Record({"abc"})
                                         .Write(m_dir.Path(strName + ".dbf"));
        CDBFDoc* pDoc = Open(strTable);
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(State(ID_VIEW_CODEPAGE_DOS).GetCheck(), c.bDos ? 1 : 0) << strName;
        if (c.nOem) {
            EXPECT_EQ(pDoc->GetOemPage().GetNumber(), c.nOem) << strName;
        }
        if (c.nAnsi) {
            EXPECT_EQ(pDoc->GetAnsiPage().GetNumber(), c.nAnsi) << strName;
        }
    }

    // UTF-8 text, as a .cpg names it or as its bytes show: shown whole, and
    // neither DOS nor Windows applies.
    WriteFileBytes(m_dir.Path("utf8.cpg"), std::string("UTF-8\n"));
    const std::string strUtf8 = TableBuilder(0x03)
                                    .Field("WORD", 'C', 20)
                                    .Record({"Жук и ёж"})
                                    .Write(m_dir.Path("utf8.dbf"));
    ASSERT_TRUE(Open(strUtf8));
    EXPECT_EQ(View()->GetTextCodec().ToUnicode(Cell(0, 0)).trimmed(), QString::fromUtf8("Жук и ёж"));
    EXPECT_EQ(View()->GetTextCodec().ToUnicode(View()->GetColumnHeader(0, 0).strText), QStringLiteral("WORD"));
    EXPECT_FALSE(State(ID_VIEW_CODEPAGE_DOS).IsEnabled());
    EXPECT_EQ(State(ID_VIEW_CODEPAGE_DOS).GetCheck(), 0);
    ASSERT_TRUE(Command(platform::ID_EDIT_FIND));
    CFindDlg* pFind = Window()->GetFindDialog();
    pFind->GetDlgItem<QComboBox>(IDC_FIND_TEXT)->setEditText(QString::fromUtf8("ёж"));
    EXPECT_TRUE(pFind->Search());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PeekrowView, ColumnsHidesInEveryPaneWithoutDuplicatesAndKeepsTheCellInside) {
    ASSERT_TRUE(Open(PeopleTable(m_dir)));
    ASSERT_TRUE(Splitter()->SplitRow(120));
    ASSERT_TRUE(Splitter()->SplitColumn(300));
    ui_test::Settle();
    Pane(0, 0)->GoToCell(3, 2);
    auto hideEntries = [](std::vector<int> entries) {
        return [entries](platform::CDialog& dialog) {
            auto& columns = dynamic_cast<CColumnsDlg&>(dialog);
            EXPECT_EQ(columns.GetVariant(), ColumnsDlgVariant::Viewer);
            for (int nEntry : entries) {
                columns.GetList()->MoveToEntry(nEntry);
                columns.OnHide();
            }
            columns.OnOK();
            return columns.GetModalResult();
        };
    };
    {
        platform::CScopedDialogHook hide(hideEntries({2, 3}));
        ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    }
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            CDBFView* pPane = Pane(r, c);
            ASSERT_EQ(pPane->GetColumnCount(-1), 2) << r << c;
            EXPECT_EQ(pPane->GetColumnId(0, 0), kFieldColumnIdBase + 0);
            EXPECT_EQ(pPane->GetColumnId(1, 0), kFieldColumnIdBase + 1);
            EXPECT_LT(pPane->GetCurrentColumn() - pPane->GetFixedColumnCount(), 2) << "the cell stays in the grid";
        }
    EXPECT_EQ(Pane(0, 0)->GetCurrentRow() - Pane(0, 0)->GetFixedRowCount(), 2) << "and on its row";
    EXPECT_EQ(Pane(1, 0)->GetFixedRowCount(), 0) << "a lower pane still has no header";
    EXPECT_EQ(Pane(0, 1)->GetFixedColumnCount(), 0);
    {
        // OK again with nothing changed: the same two columns, not four.
        platform::CScopedDialogHook same(hideEntries({}));
        ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    }
    EXPECT_EQ(Pane(1, 1)->GetColumnCount(-1), 2);
}

TEST_F(PeekrowView, AWideFieldsStoredWidthRaisesNoMessageInTheColumnsDialog) {
    const std::string strWide = TableBuilder(0x03).Field("LONG", 'C', 254).Field("B", 'C', 300).Write(m_dir.Path("wide.dbf"));
    ASSERT_TRUE(Open(strWide));
    ASSERT_GT(View()->GetColumnWidth(1, -1), kMaxColumnWidth);
    platform::CScopedDialogHook walk([](platform::CDialog& dialog) {
        auto& columns = dynamic_cast<CColumnsDlg&>(dialog);
        columns.GetList()->MoveToEntry(1);
        columns.GetList()->MoveToEntry(0);
        columns.OnOK();
        return columns.GetModalResult();
    });
    ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_GT(View()->GetColumnWidth(1, -1), kMaxColumnWidth) << "the width nobody typed is kept";
}

TEST_F(PeekrowView, TheMemoButtonOpensOnlyOnKeysThatMeanOpen) {
    ASSERT_TRUE(Open(MemoTable(m_dir, true)));
    ui_test::ShowActive(*Frame());
    CDBFView* pView = View();
    pView->setFocus();
    pView->GoToCell(1, 0);
    ui_test::Settle();
    EXPECT_EQ(Cell(1, 0), "First line\r\nsecond line");
    ASSERT_NE(pView->GetMemoButton(), nullptr);
    QWidget* pButton = pView->GetMemoButton()->GetWidget();
    ASSERT_TRUE(pButton->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), pButton);

    QStringList shown;
    platform::CScopedDialogHook memo([&shown](platform::CDialog& dialog) {
        if (auto* pMemo = dynamic_cast<CMemoDlg*>(&dialog))
            shown << pMemo->GetEdit()->toPlainText() + QStringLiteral("|") + dialog.windowTitle();
        return platform::IDOK;
    });
    const struct {
        int nKey;
        Qt::KeyboardModifiers modifiers;
        int nOpened;
    } keys[] = {
        {Qt::Key_Shift, Qt::ShiftModifier, 0}, {Qt::Key_Control, Qt::ControlModifier, 0},
        {Qt::Key_Alt, Qt::AltModifier, 0},     {Qt::Key_C, Qt::ControlModifier, 0},
        {Qt::Key_Space, Qt::NoModifier, 1},    {Qt::Key_F2, Qt::NoModifier, 2},
    };
    for (const auto& key : keys) {
        QTest::keyClick(pButton, Qt::Key(key.nKey), key.modifiers);
        ui_test::Settle();
        EXPECT_EQ(memo.GetCount(), key.nOpened) << key.nKey;
    }
    QTest::mouseClick(pButton, Qt::LeftButton);
    ui_test::Settle();
    EXPECT_EQ(memo.GetCount(), 3);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.front(), QStringLiteral("First line\nsecond line|Memo Info"));
    // Navigation keys are the grid's.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    ui_test::Settle();
    EXPECT_EQ(pView->GetCurrentDataRow(), 1);
    EXPECT_EQ(memo.GetCount(), 3);
    // A field without a memo shows its word and an empty box.
    EXPECT_EQ(Cell(1, 1), "memo");
    shown.clear();
    ASSERT_TRUE(Command(ID_MEMO_BUTTON));
    EXPECT_EQ(shown.value(0), QStringLiteral("|Memo Info"));

    // Every pane standing on a memo cell shows its button; only the active
    // one takes the keyboard, also when a new layout places them all again.
    ASSERT_TRUE(Splitter()->SplitRow(60));
    ui_test::Settle();
    Pane(1, 0)->GoToCell(1, 1);
    Splitter()->SetActivePane(0, 0);
    pView->GoToCell(1, 0);
    ui_test::Settle();
    ASSERT_EQ(QApplication::focusWidget(), pButton);
    platform::CScopedDialogHook ok([](platform::CDialog& dialog) {
        dialog.OnOK();
        return dialog.GetModalResult();
    });
    ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    EXPECT_EQ(View(), Pane(0, 0)) << "the pane the user works in stays the active one";
    EXPECT_EQ(QApplication::focusWidget(), pButton);
}

TEST_F(PeekrowView, AMissingMemoFileIsNamedOnceAndItsCellsShowTheirWord) {
    ASSERT_TRUE(Open(MemoTable(m_dir, false)));
    ASSERT_EQ(Boxes().size(), 1u);
    const platform::MessageBoxRequest& box = Boxes()[0];
    EXPECT_EQ(box.strText, QString::fromStdString("Can't find file:\n" + m_dir.Path("notes.DBT")));
    EXPECT_EQ(box.strCaption, QStringLiteral("Error"));
    EXPECT_EQ(box.nType & platform::MB_ICONMASK, unsigned(platform::MB_ICONERROR));
    EXPECT_EQ(Cell(1, 0), "Memo");
    QString strShown = QStringLiteral("not asked");
    platform::CScopedDialogHook memo([&strShown](platform::CDialog& dialog) {
        strShown = dynamic_cast<CMemoDlg&>(dialog).GetEdit()->toPlainText();
        return platform::IDOK;
    });
    View()->GoToCell(1, 0);
    ASSERT_TRUE(Command(ID_MEMO_BUTTON));
    EXPECT_EQ(strShown, QString());
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(PeekrowView, AMemoThatCannotBeReadIsSaidOnceAfterThePaint) {
    CMemoImage memo = CMemoImage::Fpt(8, 64);
    memo.Add("fine");
    memo.Save(m_dir, "bad.FPT");
    const std::string strTable = TableBuilder(0xF5)
                                     .Field("NOTE", 'M', 10)
                                     .Record({MemoRef10(8)})
                                     .Record({MemoRef10(4000)})  // far past the memo file's end
                                     .Record({MemoRef10(4001)})
                                     .Write(m_dir.Path("bad.dbf"));
    ASSERT_TRUE(Open(strTable));
    View()->viewport()->repaint();
    View()->GoToCell(0, 2);
    View()->viewport()->repaint();
    ui_test::Settle();
    ASSERT_EQ(Boxes().size(), 1u) << "one box for the table, not one per cell";
    EXPECT_EQ(Boxes()[0].strText, QStringLiteral("Memo read error !"));
    // The reader meets it while a cell is painted: the box comes after the
    // paint, never inside it.
    ForgetBoxes();
    CMessageBoxErrorSink sink;
    sink.ShowError(idsMemoReadError, "Memo read error !");
    EXPECT_TRUE(Boxes().empty());
    ui_test::Settle();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Cell(0, 0), "fine");
    EXPECT_EQ(Cell(0, 1), "Memo");
}

TEST_F(PeekrowView, TheStructureDialogListsTheReadersFields) {
    const std::string strTable = TableBuilder(0x30)
                                     .Field("NAME", 'C', 300)
                                     .Field("PRICE", 'Y', 8, 4)
                                     .Field("AMOUNT", 'N', 10, 2)
                                     .Field("WHEN", 'T', 8)
                                     .Field("ODD", 'Q', 3)
                                     .Write(m_dir.Path("s.dbf"));
    ASSERT_TRUE(Open(strTable));
    std::vector<std::string> rows;
    platform::CScopedDialogHook look([&rows](platform::CDialog& dialog) {
        auto& structure = dynamic_cast<CStructureDlg&>(dialog);
        EXPECT_EQ(structure.windowTitle(), QStringLiteral("Table Structure"));
        CStructureGrid* pGrid = structure.GetGrid();
        EXPECT_EQ(pGrid->GetColumnHeader(1, 0).strText, "Name");
        for (GridRow r = 0; r < pGrid->GetRowCount(); ++r) {
            std::string strRow;
            for (int c = 0; c < 5; ++c)
                strRow += pGrid->GetCellValue(c, r).strText + (c < 4 ? "," : "");
            rows.push_back(strRow);
        }
        return platform::IDOK;
    });
    ASSERT_TRUE(Command(ID_VIEW_STRUCTURE));
    EXPECT_EQ(rows, (std::vector<std::string>{"1,NAME,Character,300,0", "2,PRICE,Currency,8,4", "3,AMOUNT,Numeric,10,2",
                                               "4,WHEN,DateTime,8,0", "5,ODD,Unknow,3,0"}));
}

TEST_F(PeekrowView, TheWheelChangesNothing) {
    std::vector<std::vector<std::string>> records;
    TableBuilder table(0x03);
    table.Field("N", 'N', 6);
    for (int i = 0; i < 500; ++i)
        table.Record({std::to_string(i)});
    ASSERT_TRUE(Open(table.Write(m_dir.Path("many.dbf"))));
    ui_test::ShowActive(*Frame());
    CDBFView* pView = View();
    const GridPos nBefore = pView->GetVertPos();
    QWheelEvent wheel(QPointF(50, 50), pView->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(0, -120), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pView->viewport(), &wheel);
    ui_test::Settle();
    EXPECT_EQ(pView->GetVertPos(), nBefore);
    EXPECT_EQ(pView->GetCurrentDataRow(), 0);
}
