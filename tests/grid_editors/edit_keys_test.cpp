// The cell edit under real keys: Escape, the caret rule of Left and Right,
// Tab and Enter in the grid control (taken at once) and in the view (posted
// back by the edit), the last row, refused commits, and text through a codec.
#include <QLineEdit>

#include "grid/grid_combo.h"
#include "platform/core/code_page.h"
#include "tests/grid_editors/editor_test_support.h"

using namespace editor_test;

namespace {

template <class TGrid>
class EditKeys : public ::testing::Test {};

using GridKinds = ::testing::Types<CTestCtrl, CTestView>;
TYPED_TEST_SUITE(EditKeys, GridKinds);

}  // namespace

TYPED_TEST(EditKeys, EscapeUndoesTypingAndKeepsTheCellCurrent) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 3);
    ASSERT_NE(f.Edit(), nullptr);
    ASSERT_EQ(QApplication::focusWidget(), f.Edit());
    Type("xyz");
    EXPECT_EQ(f.Edit()->text(), "xyz");
    EXPECT_TRUE(f.Editor()->IsModified());

    Key(Qt::Key_Escape);
    EXPECT_EQ(f.Edit()->text(), "r3c0");
    EXPECT_FALSE(f.Editor()->IsModified());
    EXPECT_EQ(f.Col(), kText);
    EXPECT_EQ(f.Row(), 3);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_TRUE(f.dialog.isVisible());

    // Without changes Escape does nothing at all; in particular the dialog
    // around the grid does not take it as Cancel.
    Key(Qt::Key_Escape);
    EXPECT_EQ(f.Edit()->text(), "r3c0");
    EXPECT_TRUE(f.dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());
    EXPECT_TRUE(f.grid().commits.empty());
}

TYPED_TEST(EditKeys, LeftAndRightMoveTheCaretUntilAnEndThenTheColumn) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kNumber, 2);
    ASSERT_NE(f.Edit(), nullptr);
    ASSERT_EQ(f.Edit()->text(), "r2c1");
    int nPresses = 0;
    while (f.Col() == kNumber && nPresses < 10) {
        int nCaret = f.Edit()->cursorPosition();
        Key(Qt::Key_Left);
        ++nPresses;
        if (f.Col() == kNumber)
            EXPECT_LT(f.Edit()->cursorPosition(), nCaret);
        else
            EXPECT_EQ(nCaret, 0) << "the column changed before the caret reached the start";
    }
    EXPECT_EQ(f.Col(), kText);
    EXPECT_EQ(f.Row(), 2);
    EXPECT_GT(nPresses, 1);
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());
    EXPECT_EQ(f.Edit()->text(), "r2c0");

    // Right likewise, from inside the text to its end and on.
    Key(Qt::Key_Left);
    int nCaret = f.Edit()->cursorPosition();
    ASSERT_LT(nCaret, f.Edit()->text().size());
    Key(Qt::Key_Right);
    EXPECT_EQ(f.Col(), kText);
    EXPECT_EQ(f.Edit()->cursorPosition(), nCaret + 1);
    while (f.Edit()->cursorPosition() < f.Edit()->text().size())
        Key(Qt::Key_Right);
    EXPECT_EQ(f.Col(), kText);
    Key(Qt::Key_Right);
    EXPECT_EQ(f.Col(), kNumber);
}

TYPED_TEST(EditKeys, TabCommitsTheTextAndShiftTabGoesBack) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 4);
    Type("Zo\u00EB");
    Key(Qt::Key_Tab);
    EXPECT_EQ(f.Col(), kNumber);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].nCol, kText);
    EXPECT_EQ(f.grid().commits[0].nRow, 4);
    // Table text is single-byte: ë is byte 0xEB in the Windows Western page.
    EXPECT_EQ(f.grid().commits[0].value.strText, "Zo\xEB");

    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.Col(), kText);
    EXPECT_EQ(f.Edit()->text(), QString("Zo\u00EB"));
    EXPECT_EQ(f.grid().commits.size(), 1u) << "leaving an unchanged cell commits nothing";
}

TYPED_TEST(EditKeys, NavigationKeysInTheEditMoveTheGrid) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kNumber, 5);
    const std::tuple<Qt::Key, int, GridRow> steps[] = {{Qt::Key_Down, kNumber, 6}, {Qt::Key_Up, kNumber, 5},
                                                       {Qt::Key_Up, kNumber, 4},   {Qt::Key_Home, kText, 4},
                                                       {Qt::Key_End, kCentred, 4}};
    for (auto [key, nCol, nRow] : steps) {
        Key(key);
        EXPECT_EQ(f.Col(), nCol) << key;
        EXPECT_EQ(f.Row(), nRow) << key;
    }
    Key(Qt::Key_PageDown);
    EXPECT_GT(f.Row(), 4);
}

TYPED_TEST(EditKeys, EnterMovesDownAndOnTheLastRowCommitsAndKeepsTheEditorOnItsCell) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 47);
    Key(Qt::Key_Return);
    EXPECT_EQ(f.Row(), 48);
    Key(Qt::Key_Return);
    ASSERT_EQ(f.Row(), 49);
    Type("last");
    Key(Qt::Key_Return);
    EXPECT_EQ(f.Row(), 49);
    EXPECT_EQ(f.Col(), kText);
    // There is no row to move to, and the edit ends all the same.
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.strText, "last");
    EXPECT_FALSE(f.Editor()->IsModified());
    ASSERT_NE(f.Edit(), nullptr);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());
    EXPECT_EQ(f.Edit()->text(), "last");
    platform::Rect rc = f.CurrentCellRect();
    EXPECT_EQ(f.Edit()->geometry(), QRect(rc.left + 2, rc.top + 2, rc.Width() - 4, f.grid().GetRowHeight() - 3));
}

TYPED_TEST(EditKeys, ARefusedValueKeepsTheCellCurrentWithTheEditorOpen) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 1);
    f.grid().bRefuse = true;
    Type("bad");
    Key(Qt::Key_Tab);
    EXPECT_EQ(f.grid().nRefused, 1);
    EXPECT_EQ(f.Col(), kText);
    EXPECT_EQ(f.Row(), 1);
    ASSERT_NE(f.Edit(), nullptr);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(f.Edit()->text(), "bad") << "the user corrects the value, not types it again";
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());

    // The text is selected again, so typing replaces it.
    EXPECT_EQ(f.Edit()->selectedText(), "bad");
    f.grid().bRefuse = false;
    Type("good");
    Key(Qt::Key_Tab);
    EXPECT_EQ(f.Col(), kNumber);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.strText, "good");
}

TEST(EditKeys, TheControlTakesTabAndEnterBeforeTheEditSeesThem) {
    // In a dialog, Tab and Enter aimed at an editor are the grid's at once;
    // in a view they come back from the edit after the current event.
    GridInDialog<CTestCtrl> ctrl;
    ctrl.MoveTo(kText, 0);
    QTest::keyClick(ctrl.Edit(), Qt::Key_Tab);
    EXPECT_EQ(ctrl.Col(), kNumber);
    // Ctrl+Tab is turned into an arrow for the editor, which a dialog's grid
    // leaves alone: nothing moves and the dialog keeps it.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(ctrl.Col(), kNumber);
    EXPECT_EQ(ctrl.Row(), 0);

    GridInDialog<CTestView> view;
    view.MoveTo(kText, 0);
    QTest::keyClick(view.Edit(), Qt::Key_Tab);
    EXPECT_EQ(view.Col(), kText);
    Settle();
    EXPECT_EQ(view.Col(), kNumber);
}

TEST(EditText, TheCodecDecidesTheBytesOfEditedText) {
    GridInDialog<CTestCtrl> f;
    const platform::CCodePage* p1251 = platform::CCodePage::Find("1251");
    ASSERT_NE(p1251, nullptr);
    f.grid().SetTextCodec(platform::CTextCodec(p1251));
    f.grid().cells[{kText, 2}] = GridCellValue{"\xCF\xF0\xE8", -1};
    f.MoveTo(kText, 2);
    EXPECT_EQ(f.Edit()->text(), QString::fromUtf8("При"));
    Key(Qt::Key_Right);  // the caret was at the end: on to the next column, unchanged
    f.MoveTo(kText, 2);
    Key(Qt::Key_Left);
    Type(QString::fromUtf8("й"));
    Key(Qt::Key_Tab);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.strText, "\xCF\xF0\xE9\xE8");

    // A byte the page leaves undefined survives a visit to the editor.
    f.grid().SetTextCodec(platform::CTextCodec(platform::CCodePage::Find("1252")));
    f.grid().cells[{kText, 3}] = GridCellValue{std::string("a\x81z"), -1};
    f.MoveTo(kText, 3);
    EXPECT_EQ(f.Editor()->GetEditorValue().strText, std::string("a\x81z"));
}

namespace {

// Compares where the current cell's editor shows its text (without caret and
// selection) with where the grid paints the cell once the editor is hidden:
// the text rectangle is the cell less nRight pixels on the right.
void ExpectTextWhereTheCellShowedIt(GridInDialog<CTestCtrl>& f, int nRight) {
    QImage shown = f.grid().viewport()->grab().toImage();
    f.Editor()->HideEditor();
    QImage painted = f.grid().viewport()->grab().toImage();
    platform::Rect rc = f.CurrentCellRect();
    QRect rcText(rc.left + 2, rc.top + 2, rc.Width() - 4 - nRight, f.grid().GetRowHeight() - 3);
    QRect inkShown = ui_test::Ink(shown, rcText, shown.pixel(rcText.topLeft()), 100);
    QRect inkPainted = ui_test::Ink(painted, rcText, painted.pixel(rcText.topLeft()), 100);
    ASSERT_FALSE(inkPainted.isEmpty());
    // Glyph advances are whole pixels in the grid and fractions in the edit,
    // so a long right-aligned text may end a pixel apart.
    EXPECT_NEAR(inkShown.left(), inkPainted.left(), 1);
    if (nRight == 0) {
        EXPECT_NEAR(inkShown.right(), inkPainted.right(), 1);
    }
    EXPECT_EQ(inkShown.top(), inkPainted.top());
    EXPECT_EQ(inkShown.bottom(), inkPainted.bottom());
}

}  // namespace

TEST(EditText, EditorsShowTheirTextWhereTheCellShowedIt) {
    GridInDialog<CTestCtrl> f;
    for (int nCol : {kText, kNumber, kCentred}) {
        for (const char* pszText : {"r2", "Wide text", "iii"}) {
            SCOPED_TRACE("column " + std::to_string(nCol) + " '" + pszText + "'");
            f.grid().cells[{nCol, 2}] = GridCellValue{pszText, -1};
            f.MoveTo(nCol, 2);
            f.Edit()->deselect();  // without selection and caret, only the text is left to compare
            f.Edit()->setReadOnly(true);
            ExpectTextWhereTheCellShowedIt(f, 0);
            f.Edit()->setReadOnly(false);
            f.MoveTo(kFixed, 2);
        }
    }
    for (int nCol : {kCity, kColour}) {
        SCOPED_TRACE("column " + std::to_string(nCol));
        f.MoveTo(nCol, 3);
        auto* pCombo = dynamic_cast<CKelGridCombo*>(f.Editor());
        ASSERT_NE(pCombo, nullptr);
        if (CKelGridLineEdit* pInner = pCombo->GetInnerEdit()) {
            pInner->deselect();
            pInner->setReadOnly(true);
        }
        // Without the focus the box shows its text in the window colours.
        QApplication::focusWidget()->clearFocus();
        ExpectTextWhereTheCellShowedIt(f, f.grid().GetRowHeight());  // left of the drop-down button
        f.MoveTo(kFixed, 3);
    }
}
