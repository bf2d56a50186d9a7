// The check-box and combo-box editors: loading and reading values, the
// modified flag, clicks and keys, the combo box's own painting parts.
#include <QAbstractItemView>
#include <QLineEdit>

#include "tests/grid_editors/editor_test_support.h"

using namespace editor_test;

TEST(CellEditors, LoadedValuesReadBackUnmodifiedAndSetModifiedForcesAChange) {
    GridInDialog<CTestCtrl> f;
    // Check boxes in each state (2, indeterminate, is none of a two-state
    // button's); combo boxes with an item and with an empty text, which cannot
    // be made to differ by emptying.
    struct Case {
        int nCol;
        GridCellValue loaded;
        int nReadBack;
    } cases[] = {
        {kFlag, {"", 0}, 0},     {kFlag, {"", 1}, 1},      {kFlag, {"", 2}, 0},    {kFlag, {"", 7}, 0},
        {kState, {"", 0}, 0},    {kState, {"", 1}, 1},     {kState, {"", 2}, 2},   {kCity, {"Oslo", 10}, 10},
        {kCity, {"", -1}, -1},   {kColour, {"Oslo", 10}, 10}, {kColour, {"", -1}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.nCol) + " value " + std::to_string(c.loaded.nValue));
        f.MoveTo(c.nCol, 1);
        CKelCellEditor* p = f.Editor();
        p->SetEditorValue(c.loaded.strText, c.loaded.nValue);
        EXPECT_EQ(p->GetEditorValue().nValue, c.nReadBack);
        EXPECT_FALSE(p->IsModified());
        p->SetModified(true);
        EXPECT_TRUE(p->IsModified());
        p->SetModified(true);
        EXPECT_TRUE(p->IsModified()) << "asking twice keeps it modified";
        p->SetModified(false);
        EXPECT_FALSE(p->IsModified());
    }
    // A forced edit is committed when the cell is left.
    f.MoveTo(kFlag, 1);
    f.Editor()->SetModified(true);
    Key(Qt::Key_Down);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].nCol, kFlag);
}

TEST(CheckEditor, AClickOnTheBoxTogglesItAndSpaceDoesToo) {
    GridInDialog<CTestView> f;
    f.MoveTo(kText, 3);
    // The box is centred in its cell; clicking there makes the cell current
    // and checks the box in one go.
    f.grid().MoveTo(kFlag, 3);
    platform::Rect rc = f.CurrentCellRect();
    f.MoveTo(kText, 3);
    QTest::mouseClick(f.grid().viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    Settle();
    EXPECT_EQ(f.Col(), kFlag);
    EXPECT_EQ(f.Editor()->GetEditorValue().nValue, 1);
    EXPECT_TRUE(f.Editor()->IsModified());

    // A click in the cell beside the box only makes it current.
    f.MoveTo(kText, 3);
    QTest::mouseClick(f.grid().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rc.left + 3, rc.top + 3));
    Settle();
    EXPECT_EQ(f.Col(), kFlag);
    EXPECT_EQ(f.Editor()->GetEditorValue().nValue, 1) << "the committed 1, unchanged";
    ASSERT_EQ(f.grid().commits.size(), 1u);

    Key(Qt::Key_Space);
    EXPECT_EQ(f.Editor()->GetEditorValue().nValue, 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(f.Col(), kState);
    EXPECT_EQ(f.grid().commits.size(), 2u);
    // A three-state box cycles unchecked, checked, indeterminate.
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Space);
        seen.push_back(f.Editor()->GetEditorValue().nValue);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0}));
}

TEST(CheckEditor, StartingAnEditChangesNothingOnScreen) {
    GridInDialog<CTestCtrl> f;
    f.grid().cells[{kFlag, 2}] = GridCellValue{"", 1};
    f.MoveTo(kFlag, 2);
    auto* pCheck = dynamic_cast<CKelGridCheck*>(f.Editor());
    ASSERT_NE(pCheck, nullptr);
    ASSERT_TRUE(pCheck->GetButton()->isVisible());
    QImage shown = f.grid().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // What the grid paints beneath the editor, from the same value.
    QImage painted(shown.size(), QImage::Format_RGB32);
    {
        platform::CDrawContext dc(painted);
        f.grid().DrawGrid(dc);
    }
    QRect rcButton = pCheck->GetButton()->geometry();
    ASSERT_FALSE(rcButton.isEmpty());
    EXPECT_TRUE(shown.copy(rcButton) == painted.copy(rcButton));
}

TEST(ComboEditor, ValuesChooseItemsByDataOrByText) {
    GridInDialog<CTestCtrl> f;
    f.MoveTo(kColour, 0);
    auto* pList = dynamic_cast<CKelGridCombo*>(f.Editor());
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->GetInnerEdit(), nullptr);
    pList->SetEditorValue("ignored", 20);
    EXPECT_EQ(pList->GetCurSel(), 3) << "the last item with that data";
    EXPECT_EQ(pList->GetEditorValue().strText, "Lyon");
    EXPECT_EQ(pList->GetEditorValue().nValue, 20);
    pList->SetEditorValue("Graz", -1);
    EXPECT_EQ(pList->GetEditorValue().nValue, 30);
    pList->SetEditorValue("Nowhere", 99);
    EXPECT_EQ(pList->GetCurSel(), -1);
    EXPECT_EQ(pList->GetEditorValue().strText, "");
    EXPECT_EQ(pList->GetEditorValue().nValue, -1);

    f.MoveTo(kCity, 0);
    auto* pEditable = dynamic_cast<CKelGridCombo*>(f.Editor());
    ASSERT_NE(pEditable->GetInnerEdit(), nullptr);
    EXPECT_EQ(pEditable->GetInnerEdit()->property("controlId").toInt(), kComboInnerEditId);
    pEditable->SetEditorValue("Nowhere", -1);
    EXPECT_EQ(pEditable->GetEditorValue().strText, "Nowhere");
    EXPECT_EQ(pEditable->GetEditorValue().nValue, -1) << "typed text is no item's";
    pEditable->SetEditorValue("x", 30);
    EXPECT_EQ(pEditable->GetEditorValue().strText, "Graz");
    EXPECT_EQ(pEditable->GetEditorValue().nValue, 30);
}

TEST(ComboEditor, PunctuationTypedIntoAnEditableBoxIsText) {
    GridInDialog<CTestView> f;
    f.MoveTo(kCity, 4);
    auto* pCombo = dynamic_cast<CKelGridCombo*>(f.Editor());
    ASSERT_NE(pCombo, nullptr);
    // '!' and '%' share their codes with Page Up and Left among virtual keys.
    Type("Graz!%");
    EXPECT_EQ(pCombo->GetInnerEdit()->text(), "Graz!%");
    EXPECT_EQ(f.Col(), kCity);
    EXPECT_EQ(f.Row(), 4);
    Key(Qt::Key_Return);
    EXPECT_EQ(f.Row(), 5);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.strText, "Graz!%");
    EXPECT_EQ(f.grid().commits[0].value.nValue, -1);
}

TEST(ComboEditor, ArrowsMoveTheGridAndWithShiftWalkTheList) {
    GridInDialog<CTestCtrl> f;
    f.MoveTo(kColour, 2);
    auto* pCombo = dynamic_cast<CKelGridCombo*>(f.Editor());
    ASSERT_EQ(pCombo->GetCurSel(), 0);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(f.Row(), 2);
    EXPECT_EQ(pCombo->GetCurSel(), 1);
    EXPECT_TRUE(pCombo->IsModified());
    Key(Qt::Key_Down);
    EXPECT_EQ(f.Row(), 3);
    ASSERT_EQ(f.grid().commits.size(), 1u);
    EXPECT_EQ(f.grid().commits[0].value.nValue, 20);
    Key(Qt::Key_Left);
    EXPECT_EQ(f.Col(), kCity);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(f.dialog.isVisible());
}

TEST(ComboEditor, TheBoxCoversTheCellItsEditEndsAtTheButtonAndTheButtonDrops) {
    GridInDialog<CTestCtrl> f;
    f.MoveTo(kCity, 1);
    auto* pCombo = dynamic_cast<CKelGridCombo*>(f.Editor());
    CKelGridComboBox* pBox = pCombo->GetComboBox();
    platform::Rect rc = f.CurrentCellRect();
    EXPECT_EQ(pBox->geometry(), QRect(rc.left + 1, rc.top + 1, rc.Width() - 2, f.grid().GetRowHeight() - 1));
    QRect rcButton = pBox->GetButtonRect();
    EXPECT_EQ(pCombo->GetInnerEdit()->geometry().right() + 1, rcButton.left());
    EXPECT_EQ(rcButton.width(), rcButton.height());
    // A click on the button opens the list and leaves it open; it is drawn
    // pushed meanwhile. The click goes through the window system, which hands
    // the release to the list's window once the list is up.
    QWindow* pWindow = f.dialog.windowHandle();
    QPoint ptButton = pBox->mapTo(&f.dialog, rcButton.center());
    QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, ptButton);
    Settle();
    EXPECT_TRUE(pBox->IsDropped());
    EXPECT_TRUE(pBox->view()->isVisible());
    // A second click on it closes the list, and does not open it again.
    QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, ptButton);
    Settle();
    EXPECT_FALSE(pBox->IsDropped());
    EXPECT_FALSE(pBox->view()->isVisible());
    QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, ptButton);
    Settle();
    EXPECT_TRUE(pBox->IsDropped());
    pBox->hidePopup();
    EXPECT_FALSE(pBox->IsDropped());
}
