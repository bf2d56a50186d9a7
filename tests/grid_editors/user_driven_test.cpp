// The grid as a person drives it, with real presses, keys and wheel turns
// while an editor is open: header, row-header and corner clicks select,
// clicks the grid ignores leave the keys with the editor, the key that brings
// a hidden editor back is typed into it, and a refused value is explained
// and kept until the user's Escape.
#include <QLineEdit>
#include <QScrollBar>

#include "platform/core/code_page.h"
#include "tests/grid_editors/editor_test_support.h"

using namespace editor_test;

namespace {

template <class TGrid>
class UserDriven : public ::testing::Test {};

using GridKinds = ::testing::Types<CTestCtrl, CTestView>;
TYPED_TEST_SUITE(UserDriven, GridKinds);

// The middle of a cell in screen pixels; absolute indexes, so a header cell
// is row 0 and a row header column 0.
template <class TGrid>
QPoint Centre(GridInDialog<TGrid>& f, int nAbsCol, GridRow nAbsRow) {
    platform::Rect rc;
    EXPECT_TRUE(f.grid().GetCellRect(nAbsCol, nAbsRow, rc));
    if (nAbsCol == 0)  // row headers lie outside the column division
        rc.right = rc.left + f.grid().GetFixedColumnWidth();
    return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

template <class TGrid>
void Click(GridInDialog<TGrid>& f, QPoint pt, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(f.grid().viewport(), button, modifiers, pt);
    Settle();
}

template <class TGrid>
std::vector<GridRow> Selection(GridInDialog<TGrid>& f) {
    int l, r;
    GridRow t, b;
    f.grid().GetSelection(l, r, t, b);
    return {l, r, t, b};
}

template <class TGrid>
void Wheel(GridInDialog<TGrid>& f, int nDelta) {
    QPoint pt(100, 100);
    QWheelEvent wheel(pt, f.grid().viewport()->mapToGlobal(pt), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.grid().viewport(), &wheel);
    Settle();
}

}  // namespace

TYPED_TEST(UserDriven, HeaderRowHeaderAndCornerClicksSelectWhileAnEditorIsOpen) {
    GridInDialog<TypeParam> f;
    f.grid().SetGridStyle(GS_MULTISELECT);
    f.MoveTo(kText, 2);
    ASSERT_TRUE(f.Edit()->isVisible());
    const GridRow kLast = f.grid().GetRowCount() - 1;

    // The column of an editable cell: selected, and its cell edited.
    Click(f, Centre(f, 1 + kNumber, 0));
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{kNumber, kNumber, 0, kLast}));
    EXPECT_EQ(f.Col(), kNumber);
    EXPECT_EQ(f.Row(), 2);
    ASSERT_NE(f.Edit(), nullptr);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(f.Edit()->text(), "r2c1");
    // Shift extends the columns from there.
    Click(f, Centre(f, 1 + kCentred, 0), Qt::ShiftModifier);
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{kNumber, kCentred, 0, kLast}));

    Click(f, Centre(f, 0, 1 + 5));
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{0, kColumns - 1, 5, 5}));
    EXPECT_EQ(f.Row(), 5);
    EXPECT_EQ(f.Editor()->GetEditorValue().strText, "r5c" + std::to_string(f.Col()));

    Click(f, Centre(f, 0, 0));
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{0, kColumns - 1, 0, kLast}));
}

TYPED_TEST(UserDriven, AClickTheGridIgnoresLeavesTheKeysWithTheOpenEditor) {
    GridInDialog<TypeParam> f;
    f.grid().SetRowCount(5, false);
    f.grid().RecalcLayout();
    f.MoveTo(kText, 4);
    Type("ab");
    int yBelow = f.grid().GetHeaderHeight() + 5 * f.grid().GetRowHeight() + 20;
    Click(f, QPoint(60, yBelow));
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());
    Type("cd");
    Click(f, Centre(f, 1 + kNumber, 1 + 1), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(QApplication::focusWidget(), f.Edit());
    Type("ef");
    Key(Qt::Key_Tab);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.strText, "abcdef");
    EXPECT_EQ(f.Col(), kNumber);
    EXPECT_EQ(f.Row(), 4);
}

TYPED_TEST(UserDriven, TheKeyThatBringsTheEditorBackIsItsFirstInput) {
    GridInDialog<TypeParam> f;
    f.grid().SetGridStyle(GS_MULTISELECT);
    f.grid().SetTextCodec(platform::CTextCodec(platform::CCodePage::Find("1252")));
    const struct {
        const char* pszWhat;
        std::function<void()> hide;
    } cases[] = {
        {"wheel", [&] { Wheel(f, -120); }},
        {"scroll bar",
         [&] {
             QScrollBar* pBar = f.grid().verticalScrollBar();
             QTest::mouseClick(pBar, Qt::LeftButton, Qt::NoModifier, QPoint(pBar->width() / 2, pBar->height() - 40));
             Settle();
         }},
        {"block", [&] { Key(Qt::Key_Down, Qt::ShiftModifier); }},
    };
    GridRow nRow = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        f.MoveTo(kText, nRow);
        c.hide();
        ASSERT_FALSE(f.Edit()->isVisible());
        Type(QString::fromUtf8("é-x"));  // a letter without a key code and a sign come first too
        Key(Qt::Key_Tab);
        ASSERT_FALSE(f.grid().commits.empty());
        EXPECT_EQ(f.grid().commits.back().nRow, nRow);
        EXPECT_EQ(f.grid().commits.back().value.strText, "\xE9-x");
        ++nRow;
    }
    EXPECT_EQ(f.grid().commits.size(), 3u);
}

TYPED_TEST(UserDriven, ARefusalSaysWhyAndKeepsTheTextUntilEscape) {
    GridInDialog<TypeParam> f;
    f.grid().SetGridStyle(GS_MULTISELECT);
    f.MoveTo(kNumber, 2);
    f.grid().bRefuse = true;
    f.grid().strRefusal = "An amount is a number.";
    Type("abc");
    auto expectKept = [&](size_t nMessages) {
        ASSERT_EQ(f.Messages().size(), nMessages) << "once for each refusal";
        EXPECT_EQ(f.Messages().back(), "An amount is a number.");
        EXPECT_EQ(f.Col(), kNumber);
        EXPECT_EQ(f.Row(), 2);
        ASSERT_NE(f.Edit(), nullptr);
        EXPECT_TRUE(f.Edit()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), f.Edit());
        EXPECT_EQ(f.Edit()->text(), "abc");
        EXPECT_TRUE(f.Editor()->IsModified());
    };
    Key(Qt::Key_Return);
    expectKept(1);
    Key(Qt::Key_Return);
    expectKept(2);
    // A window that changes size neither commits the text nor says it again.
    f.grid().resize(560, 300);
    ui_test::Settle();
    expectKept(2);
    // A header click is refused too and selects nothing.
    Click(f, Centre(f, 1 + kText, 0));
    expectKept(3);
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{kNumber, kNumber, 2, 2}));
    EXPECT_TRUE(f.grid().commits.empty());

    // Without a reason of the owner's the grid still says something.
    f.grid().strRefusal.clear();
    Key(Qt::Key_Tab);
    ASSERT_EQ(f.Messages().size(), 4u);
    EXPECT_FALSE(f.Messages().back().isEmpty());

    // Escape gives the cell back; then the header click selects.
    Key(Qt::Key_Escape);
    EXPECT_EQ(f.Edit()->text(), "r2c1");
    Click(f, Centre(f, 1 + kText, 0));
    EXPECT_EQ(Selection(f), (std::vector<GridRow>{kText, kText, 0, f.grid().GetRowCount() - 1}));
    EXPECT_EQ(f.Messages().size(), 4u);
    EXPECT_EQ(f.grid().nRefused, 4);
}
