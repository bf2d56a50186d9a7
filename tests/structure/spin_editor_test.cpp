// The spin editor on its own, over a cell of a grid control: where its two
// windows go, how a typed number is put into the range, the arrows, and what
// counts as a change.
#include <QDialog>
#include <QLineEdit>

#include "grid/grid_ctrl.h"
#include "grid/grid_spin.h"
#include "tests/structure/structure_test_support.h"

using namespace structure_test;

namespace {

struct SpinInGrid {
    SpinInGrid() {
        dialog.resize(400, 200);
        grid.Create(0, WS_VISIBLE, platform::Rect{10, 10, 390, 190}, &dialog, 1006);
        ui_test::ShowActive(dialog);
        EXPECT_TRUE(spin.CreateEditor(0x40000026, &grid, 1003));
        Settle();
    }
    QLineEdit* Buddy() { return spin.GetBuddy().GetEdit(); }
    std::string Text() { return Buddy()->text().toStdString(); }
    // Opens the spin over a cell with a range and a loaded value; the buddy
    // has the keyboard.
    void Open(int nLower, int nUpper, const std::string& strValue) {
        spin.SetRange(nLower, nUpper);
        spin.SetEditorValue(strValue, -1);
        spin.ShowEditor(20, 20, 60, 18);
        Settle();
    }
    // A click on the upper (+1) or lower (-1) arrow.
    void Arrow(int nDirection) {
        QWidget* pUpDown = spin.GetUpDown();
        QPoint pt(pUpDown->width() / 2, nDirection > 0 ? 1 : pUpDown->height() - 2);
        QTest::mouseClick(pUpDown, Qt::LeftButton, Qt::NoModifier, pt);
        Settle();
    }

    ui_test::AppGuard app;
    QDialog dialog;
    CKelGridCtrl grid;
    CKelGridSpin spin;
};

}  // namespace

TEST(SpinEditor, LeadingDecimalReadsLikeTheCLibrary) {
    EXPECT_EQ(LeadingDecimal("  42abc"), 42);
    EXPECT_EQ(LeadingDecimal("abc"), 0);
    EXPECT_EQ(LeadingDecimal("99999999999999999999999"), INT_MAX) << "saturated, not wrapped";
}

TEST(SpinEditor, ButtonAndBuddySplitTheCell) {
    SpinInGrid f;
    f.spin.SetEditorValue("12", -1);
    ASSERT_TRUE(f.spin.ShowEditor(20, 30, 60, 18));
    // 18 pixels high: a button 13 wide, both 15 high and 2 below the top.
    EXPECT_EQ(f.spin.GetUpDown()->geometry(), QRect(20 + 60 - 13 - 1, 32, 13, 15));
    EXPECT_EQ(f.Buddy()->geometry(), QRect(22, 32, 66 - 22, 15));
    EXPECT_TRUE(f.Buddy()->hasFocus()) << "the buddy takes the keyboard";
    EXPECT_EQ(f.Buddy()->selectedText(), QStringLiteral("12"));
    // Narrower than its button: the button keeps 2 pixels off the cell's
    // left edge and the buddy gets no width.
    f.spin.ShowEditor(20, 30, 10, 18);
    EXPECT_EQ(f.spin.GetUpDown()->geometry().left(), 22);
    EXPECT_EQ(f.Buddy()->width(), 0);
    f.spin.HideEditor();
    EXPECT_FALSE(f.Buddy()->isVisible() || f.spin.GetUpDown()->isVisible());
}

TEST(SpinEditor, TypedNumbersArePutIntoTheRange) {
    SpinInGrid f;
    struct Case {
        int nLower, nUpper;
        const char* pszLoaded;
        const char* pszTyped;  // over the selected text; "" presses Backspace
        const char* pszShown;
    } cases[] = {
        {1, 255, "20", "300", "255"},  // too big: the upper bound at once
        {1, 255, "20", "", "1"},       // no digits left: the lower bound
        {1, 20, "5", "08", "8"},
        {8, 8, "8", "3", "8"},  // a one-value range allows that value only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pszLoaded) + " -> '" + c.pszTyped + "'");
        f.Open(c.nLower, c.nUpper, c.pszLoaded);
        EXPECT_FALSE(f.spin.IsModified());
        f.Buddy()->selectAll();
        if (*c.pszTyped)
            Type(c.pszTyped);
        else
            Key(Qt::Key_Backspace);
        EXPECT_EQ(f.Text(), c.pszShown);
        EXPECT_EQ(f.spin.GetPos(), std::stoi(c.pszShown));
        EXPECT_EQ(f.spin.GetEditorValue().strText, c.pszShown);
        EXPECT_TRUE(f.spin.IsModified());
    }
}

TEST(SpinEditor, ArrowsStepInsideTheRange) {
    SpinInGrid f;
    f.Open(1, 20, "20");
    f.Arrow(+1);
    EXPECT_EQ(f.Text(), "20");
    EXPECT_EQ(f.spin.GetPos(), 20);
    EXPECT_TRUE(f.spin.IsModified());
    f.Arrow(-1);
    f.Arrow(-1);
    EXPECT_EQ(f.Text(), "18");
    EXPECT_TRUE(f.Buddy()->hasFocus()) << "the arrows leave the keyboard with the buddy";
    // A loaded value outside the range steps back into it.
    f.Open(1, 20, "0");
    f.Arrow(+1);
    EXPECT_EQ(f.Text(), "1");
}

TEST(SpinEditor, LoadingAValueIsNoChange) {
    SpinInGrid f;
    // A field wider than the range allows is shown as it is and stays so
    // unless the user changes it: looking is not editing.
    f.Open(1, 255, "300");
    EXPECT_EQ(f.Text(), "300");
    EXPECT_EQ(f.spin.GetPos(), 300);
    EXPECT_FALSE(f.spin.IsModified());
    // A key typed just before the edit ends counts, even before the range
    // check has run.
    f.Open(1, 20, "5");
    QTest::sendKeyEvent(QTest::Click, f.Buddy(), Qt::Key_7, QStringLiteral("7"), Qt::NoModifier);
    EXPECT_TRUE(f.spin.IsModified());
    Settle();
    f.spin.SetModified(false);
    EXPECT_FALSE(f.spin.IsModified());
}
