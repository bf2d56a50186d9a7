// The Edit menu on blocks of cells: the clipboard's layout of a block, Copy,
// Cut, Paste, Clear and Select all, text from other programs, blocks that
// reach past the table, cells that refuse their text, and an open in-place
// editor taking the commands itself.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "editor/view_commands.h"
#include "grid/widget_editor.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/table_builder.h"

namespace {

using editor_test::TabulonTest;
using testing_support::TableBuilder;
using Lines = std::vector<std::vector<std::string>>;

TEST(CellBlockText, CopyLayoutAndPasteSplitting) {
    EXPECT_EQ(JoinCellBlock({{"a", "b"}, {"c", "d"}}), "a\tb\t\nc\td");
    EXPECT_EQ(JoinCellBlock({{"one\ttwo", "x\r\ny"}}), "one two\tx  y");
    EXPECT_EQ(JoinCellBlock({{"a", ""}, {"", ""}}), "a\t\t\n\t");

    const struct {
        const char* pszText;
        Lines lines;
    } cases[] = {
        {"a\tb\t\nc\td", {{"a", "b"}, {"c", "d"}}},                // Copy's own layout
        {"a\t\t\n\t", {{"a", ""}, {""}}},                          // empty cells copied
        {"\tx\n\ty", {{"", "x"}, {"", "y"}}},                      // lines that begin with a tab
        {"a\t\tc", {{"a", "", "c"}}},                              // an empty cell inside a line
        {"p\tq\r\nr\ts\r\n", {{"p", "q"}, {"r", "s"}}},            // a spreadsheet's lines
        {"a\rb", {{"a b"}}},                                       // a lone carriage return
        {"a\n\nb", {{"a"}, {}, {"b"}}},                            // an empty line
        {"hello", {{"hello"}}},                                    // one cell
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCellBlock(c.pszText), c.lines) << c.pszText;
}

class EditCommands : public TabulonTest {
protected:
    // Four records of a name, a city and a quantity; the third deleted.
    CDBFDoc* OpenPlaces(unsigned nMode = 66) {
        m_pApp->GetProgramSettings().SetOpenMode(nMode);
        std::string strPath = TableBuilder(0x03)
                                  .Field("NAME", 'C', 10)
                                  .Field("CITY", 'C', 10)
                                  .Field("QTY", 'N', 5)
                                  .Record({"a", "b", "1"})
                                  .Record({"c", "d", "2"})
                                  .DeletedRecord({"e", "f", "3"})
                                  .Record({"g", "h", "4"})
                                  .Write(m_dir.Path("places.dbf"));
        return Open(strPath);
    }
    // The cells of a row, as shown.
    std::vector<std::string> Row(int nRow) const { return {Cell(0, nRow), Cell(1, nRow), Cell(2, nRow)}; }
    void SetClipboard(const QString& strText) { QGuiApplication::clipboard()->setText(strText); }
    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }
    void Select(int nLeft, int nRight, int nTop, int nBottom) {
        View()->GoToCell(nLeft, nTop);
        View()->SelectRange(nLeft, nRight, nTop, nBottom);
    }
    // The selection: left, right, top, bottom.
    std::vector<long long> Selection() const {
        int l = 0, r = 0;
        GridRow t = 0, b = 0;
        View()->GetSelection(l, r, t, b);
        return {l, r, t, b};
    }
    using Strings = std::vector<std::string>;
    // Answers any message box a test does not expect (its own hook comes first).
    platform::CScopedMessageBoxHook m_unexpectedBoxes;
};

TEST_F(EditCommands, ACopiedBlockPastesBackWithoutTouchingTheNeighbouringColumn) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    Select(0, 1, 0, 1);
    ASSERT_TRUE(Command(platform::ID_EDIT_COPY));
    EXPECT_EQ(Clipboard(), QStringLiteral("a\tb\t\nc\td"));
    EXPECT_FALSE(pDoc->IsModified());

    Select(0, 0, 3, 3);
    ASSERT_TRUE(Command(platform::ID_EDIT_PASTE));
    EXPECT_EQ(Row(3), (Strings{"a", "b", "4"}));  // the line's third piece does not exist
    EXPECT_EQ(Selection(), (std::vector<long long>{0, 1, 3, 3}));  // one row left: the second line is dropped
    EXPECT_TRUE(pDoc->IsModified());

    SetClipboard(QStringLiteral("a\tb\t\nc\td"));
    Select(0, 0, 1, 1);
    ASSERT_TRUE(Command(platform::ID_EDIT_PASTE));
    EXPECT_EQ(Row(1), (Strings{"a", "b", "2"}));
    EXPECT_EQ(Row(2), (Strings{"e", "f", "3"})) << "the deleted record is not pasted into";
    EXPECT_EQ(Selection(), (std::vector<long long>{0, 1, 1, 2}));
}

TEST_F(EditCommands, TextFromSpreadsheetsAndPeekrowPastes) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    const struct {
        const char* pszCase;
        QString strText;
        int nCol, nRow;
        std::vector<Strings> rows;  // rows 0, 1 and 3 afterwards
    } cases[] = {
        {"a spreadsheet's block, an empty cell inside", QStringLiteral("p\t\t7\r\nq\tr\t8\r\n"), 0, 0,
         {{"p", "", "7"}, {"q", "r", "8"}, {"g", "h", "4"}}},
        {"lines that begin with a tab", QStringLiteral("\tx\n\ty"), 0, 0,
         {{"", "x", "7"}, {"", "y", "8"}, {"g", "h", "4"}}},
        {"one cell, as Peekrow copies it", QStringLiteral("hello"), 1, 3,
         {{"", "x", "7"}, {"", "y", "8"}, {"g", "hello", "4"}}},
        {"three lines into the last row", QStringLiteral("1\t2\t3\n5\t6\n9"), 1, 3,
         {{"", "x", "7"}, {"", "y", "8"}, {"g", "1", "2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        SetClipboard(c.strText);
        Select(c.nCol, c.nCol, c.nRow, c.nRow);
        ASSERT_TRUE(Command(platform::ID_EDIT_PASTE));
        EXPECT_EQ(Row(0), c.rows[0]);
        EXPECT_EQ(Row(1), c.rows[1]);
        EXPECT_EQ(Row(3), c.rows[2]);
    }
}

TEST_F(EditCommands, RefusedCellsAreCountedAndReportedOnceWhileTheRestIsStored) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    SetClipboard(QStringLiteral("x\tmany\ny\t12\nz\tlots"));
    Select(1, 1, 0, 0);
    platform::CScopedMessageBoxHook boxes;
    ASSERT_TRUE(Command(platform::ID_EDIT_PASTE));
    ASSERT_EQ(boxes.GetRequests().size(), 1u);
    EXPECT_TRUE(boxes.GetRequests()[0].strText.startsWith(QStringLiteral("1 of the cells")))
        << boxes.GetRequests()[0].strText.toStdString();
    EXPECT_TRUE(boxes.GetRequests()[0].strText.contains(QStringLiteral("many")));
    EXPECT_EQ(Row(0), (Strings{"a", "x", "1"}));
    EXPECT_EQ(Row(1), (Strings{"c", "y", "12"}));
    EXPECT_EQ(Row(2), (Strings{"e", "f", "3"}));
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(EditCommands, CutAndClearEmptyTheBlockButNotDeletedRecords) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    Select(1, 2, 1, 2);
    ASSERT_TRUE(Command(platform::ID_EDIT_CUT));
    EXPECT_EQ(Clipboard(), QStringLiteral("d\t2\t\nf\t3"));
    EXPECT_EQ(Row(1), (Strings{"c", "", "0"}));
    EXPECT_EQ(Row(2), (Strings{"e", "f", "3"}));
    EXPECT_TRUE(pDoc->IsModified());

    pDoc->SetModifiedFlag(false);
    Select(0, 0, 2, 3);
    ASSERT_TRUE(Command(platform::ID_EDIT_CLEAR));
    EXPECT_EQ(Row(2), (Strings{"e", "f", "3"}));
    EXPECT_EQ(Row(3), (Strings{"", "h", "4"}));
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(EditCommands, SelectAllAndTheUpdateRules) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(Command(platform::ID_EDIT_SELECT_ALL));
    EXPECT_EQ(Selection(), (std::vector<long long>{0, 2, 0, 3}));
    for (unsigned nId : {platform::ID_EDIT_COPY, platform::ID_EDIT_CUT, platform::ID_EDIT_PASTE,
                         platform::ID_EDIT_CLEAR, platform::ID_EDIT_SELECT_ALL})
        EXPECT_TRUE(State(nId).IsEnabled()) << nId;
    EXPECT_FALSE(State(platform::ID_EDIT_UNDO).IsEnabled());
    pDoc->OnCloseDocument();
    ui_test::Settle();

    OpenPlaces(64);
    EXPECT_TRUE(State(platform::ID_EDIT_COPY).IsEnabled());
    for (unsigned nId : {platform::ID_EDIT_CUT, platform::ID_EDIT_PASTE, platform::ID_EDIT_CLEAR})
        EXPECT_FALSE(State(nId).IsEnabled()) << nId;
}

TEST_F(EditCommands, AnOpenEditorCopiesAndPastesItsOwnText) {
    CDBFDoc* pDoc = OpenPlaces();
    ASSERT_NE(pDoc, nullptr);
    ui_test::ShowActive(*Frame());
    View()->GoToCell(1, 0);
    View()->setFocus();
    ui_test::Settle();
    ui_test::Type(QStringLiteral("k"));
    auto* pEditor = dynamic_cast<CKelWidgetEditor*>(View()->GetCurrentEditor());
    ASSERT_NE(pEditor, nullptr);
    auto* pLine = qobject_cast<QLineEdit*>(pEditor->GetInputWidget());
    ASSERT_NE(pLine, nullptr);
    QString strTyped = pLine->text();
    pLine->selectAll();
    ASSERT_TRUE(Command(platform::ID_EDIT_COPY));
    EXPECT_EQ(Clipboard(), strTyped);

    SetClipboard(QStringLiteral("pasted"));
    pLine->selectAll();
    ASSERT_TRUE(Command(platform::ID_EDIT_PASTE));
    EXPECT_EQ(pLine->text(), QStringLiteral("pasted"));
    EXPECT_EQ(Cell(1, 0), "b") << "the cell takes it when the edit ends";
    EXPECT_TRUE(pDoc->EndViewEdits());
    EXPECT_EQ(Cell(1, 0), "pasted");
}

}  // namespace
