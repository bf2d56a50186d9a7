// The grid control and the grid view: creation styles, the editor kept on its
// cell through resizing, scrolling, the wheel and column drags, the clipboard
// commands and their update rules, focus handling, the end of a pending edit
// when the window goes, and the scroll bars a splitter lends its panes.
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "platform/ui/clipboard.h"
#include "tests/grid_editors/editor_test_support.h"

using namespace editor_test;
using platform::CCmdUI;

namespace {

template <class TGrid>
class GridWindows : public ::testing::Test {};

using GridKinds = ::testing::Types<CTestCtrl, CTestView>;
TYPED_TEST_SUITE(GridWindows, GridKinds);

template <class TGrid>
bool Enabled(TGrid& grid, unsigned nId) {
    CCmdUI cmdUI(nId);
    EXPECT_TRUE(grid.OnUpdateCommand(cmdUI));
    return cmdUI.IsEnabled();
}

// Where the current cell's editor should be: the edit's rule.
template <class TGrid>
QRect EditRect(GridInDialog<TGrid>& f) {
    platform::Rect rc = f.CurrentCellRect();
    return QRect(rc.left + 2, rc.top + 2, rc.Width() - 4, f.grid().GetRowHeight() - 3);
}

}  // namespace

TEST(GridCtrl, CreationStylesGiveTheFrame) {
    EnsureApplication();
    QDialog dialog;
    CKelGridCtrl plain, edged, orphan;
    ASSERT_TRUE(plain.Create(0, WS_VISIBLE | GS_MULTISELECT, platform::Rect{0, 0, 200, 100}, &dialog, 1006));
    EXPECT_EQ(plain.frameShape(), QFrame::StyledPanel);
    EXPECT_EQ(plain.frameShadow(), QFrame::Sunken);
    EXPECT_EQ(plain.GetGridStyle(), uint32_t{GS_MULTISELECT});
    ASSERT_TRUE(edged.Create(WS_EX_STATICEDGE, 0, platform::Rect{0, 0, 200, 100}, &dialog, 1007));
    EXPECT_EQ(edged.frameShape(), QFrame::Panel);
    EXPECT_FALSE(edged.isVisibleTo(&dialog)) << "no WS_VISIBLE, not shown";
    EXPECT_FALSE(orphan.Create(0, 0, platform::Rect{0, 0, 10, 10}, nullptr, 1));
}

TYPED_TEST(GridWindows, ResizingKeepsTheEditorOnItsCell) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 30);
    Type("pending");
    ASSERT_EQ(f.Edit()->geometry(), EditRect(f));
    // Smaller: the current cell scrolls into view and the editor goes with it.
    f.grid().resize(300, 150);
    Settle();
    EXPECT_EQ(f.Row(), 30);
    ASSERT_NE(f.Edit(), nullptr);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(f.Edit()->geometry(), EditRect(f));
    platform::Rect rc = f.CurrentCellRect();
    EXPECT_GE(rc.top, f.grid().GetHeaderHeight() - 1);
    EXPECT_LE(rc.bottom, f.grid().GetClientSize().cy + 1);
    EXPECT_EQ(f.grid().commits.size(), 1u) << "placing the editor again ends the edit";
}

TYPED_TEST(GridWindows, ScrollingHidesTheEditorAndTheCellShowsThePendingText) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kText, 1);
    Type("pending");
    QScrollBar* pBar = f.grid().verticalScrollBar();
    ASSERT_TRUE(pBar->isVisible());
    pBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    Settle();
    EXPECT_FALSE(f.Edit()->isVisible());
    EXPECT_TRUE(f.Editor()->IsModified()) << "hiding is not ending";
    EXPECT_EQ(f.Editor()->GetEditorValue().strText, "pending");
    // The control takes the focus back so that keys keep working; the view
    // leaves it where it was.
    if constexpr (std::is_same_v<TypeParam, CTestCtrl>) {
        EXPECT_EQ(QApplication::focusWidget(), &f.grid());
    }

    // The current cell is painted from the editor while it is hidden: as if
    // the cell already held the pending text.
    auto paint = [&] {
        QImage image(f.grid().viewport()->size(), QImage::Format_RGB32);
        platform::CDrawContext dc(image);
        f.grid().DrawGrid(dc);
        return image.copy();
    };
    QImage withEditor = paint();
    f.grid().cells[{kText, 1}] = GridCellValue{"pending", -1};
    f.Editor()->SetEditorValue("pending", -1);
    EXPECT_TRUE(withEditor == paint());
    f.Editor()->SetModified(true);

    // Making the cell current again shows the editor in its new place.
    f.grid().SetCurrentCell(f.grid().GetCurrentColumn(), f.grid().GetCurrentRow());
    Settle();
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(f.Edit()->geometry(), EditRect(f));
}

TYPED_TEST(GridWindows, TheWheelHidesTheEditorAndAColumnDragMovesIt) {
    GridInDialog<TypeParam> f;
    f.MoveTo(kNumber, 0);
    QPoint pt(100, 100);
    QWheelEvent wheel(pt, f.grid().viewport()->mapToGlobal(pt), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.grid().viewport(), &wheel);
    Settle();
    EXPECT_GT(f.grid().GetVertPos(), 0);
    EXPECT_FALSE(f.Edit()->isVisible());

    f.MoveTo(kNumber, 0);
    ASSERT_TRUE(f.Edit()->isVisible());
    // Widen the column to the left of the editor by dragging its border.
    int H = f.grid().GetHeaderHeight();
    int xBorder = f.grid().GetFixedColumnWidth() + 90 - 1;
    QWidget* pViewport = f.grid().viewport();
    QTest::mouseMove(pViewport, QPoint(xBorder, H / 2));
    QTest::mousePress(pViewport, Qt::LeftButton, Qt::NoModifier, QPoint(xBorder, H / 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(xBorder + 40, H / 2),
                     pViewport->mapToGlobal(QPointF(xBorder + 40, H / 2)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(pViewport, &move);
    QTest::mouseRelease(pViewport, Qt::LeftButton, Qt::NoModifier, QPoint(xBorder + 40, H / 2));
    Settle();
    EXPECT_EQ(f.grid().GetColumnWidth(kText, 0), 130);
    EXPECT_TRUE(f.Edit()->isVisible());
    EXPECT_EQ(f.Edit()->geometry(), EditRect(f));
}

TYPED_TEST(GridWindows, ClipboardCommandsFollowTheCurrentEditor) {
    GridInDialog<TypeParam> f;
    QGuiApplication::clipboard()->clear();
    f.MoveTo(kText, 2);
    // The whole text is selected when the editor opens.
    EXPECT_TRUE(Enabled(f.grid(), platform::ID_EDIT_COPY));
    EXPECT_TRUE(Enabled(f.grid(), platform::ID_EDIT_CUT));
    EXPECT_FALSE(Enabled(f.grid(), platform::ID_EDIT_PASTE)) << "nothing on the clipboard";
    EXPECT_FALSE(Enabled(f.grid(), platform::ID_EDIT_UNDO));

    EXPECT_TRUE(f.grid().OnCommand(platform::ID_EDIT_COPY));
    std::string strClip;
    ASSERT_TRUE(platform::GetClipboardText(strClip));
    EXPECT_EQ(strClip, "r2c0");
    EXPECT_TRUE(Enabled(f.grid(), platform::ID_EDIT_PASTE));

    // Paste takes the first line only: a cell holds one.
    QGuiApplication::clipboard()->setText("first\nsecond");
    f.grid().OnCommand(platform::ID_EDIT_PASTE);
    EXPECT_EQ(f.Edit()->text(), "first");
    EXPECT_TRUE(Enabled(f.grid(), platform::ID_EDIT_UNDO));
    f.grid().OnCommand(platform::ID_EDIT_UNDO);
    EXPECT_EQ(f.Edit()->text(), "r2c0");

    // A check box takes nothing from the clipboard; a cell without an editor
    // has no commands at all.
    f.MoveTo(kFlag, 2);
    EXPECT_FALSE(Enabled(f.grid(), platform::ID_EDIT_PASTE));
    EXPECT_FALSE(Enabled(f.grid(), platform::ID_EDIT_COPY));
    f.MoveTo(kFixed, 2);
    EXPECT_EQ(f.Editor(), nullptr);
    for (unsigned nId : {platform::ID_EDIT_COPY, platform::ID_EDIT_CUT, platform::ID_EDIT_PASTE, platform::ID_EDIT_UNDO})
        EXPECT_FALSE(Enabled(f.grid(), nId));
    EXPECT_TRUE(f.grid().OnCommand(platform::ID_EDIT_PASTE));  // handled: nothing happens
    CCmdUI other(32784);
    EXPECT_FALSE(f.grid().OnUpdateCommand(other));

    // A drop-down list copies its chosen item's text.
    f.MoveTo(kColour, 2);
    EXPECT_TRUE(Enabled(f.grid(), platform::ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(f.grid(), platform::ID_EDIT_CUT));
    f.grid().OnCommand(platform::ID_EDIT_COPY);
    ASSERT_TRUE(platform::GetClipboardText(strClip));
    EXPECT_EQ(strClip, "Oslo");
}

TEST(Clipboard, TextCrossesAsUnicodeAndComesBackAsTheSameBytes) {
    EnsureApplication();
    EXPECT_FALSE(platform::SetClipboardText(""));
    QGuiApplication::clipboard()->clear();
    std::string strText;
    EXPECT_FALSE(platform::GetClipboardText(strText));
    EXPECT_FALSE(platform::IsClipboardTextAvailable());

    platform::CTextCodec codec866(platform::CCodePage::Find("866"));
    ASSERT_TRUE(platform::SetClipboardText("\x8F\xE0\xA8\xA2\xA5\xE2", codec866));  // "Привет" in DOS Cyrillic
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Привет"));
    ASSERT_TRUE(platform::GetClipboardText(strText, platform::CTextCodec(platform::CCodePage::Find("1251"))));
    EXPECT_EQ(strText, "\xCF\xF0\xE8\xE2\xE5\xF2");
}

TEST(GridFocus, TheControlActsOnTheFocusAtOnceAndTheViewAfterwards) {
    GridInDialog<CTestCtrl> ctrl;
    auto* pOther = new QLineEdit(&ctrl.dialog);
    pOther->setGeometry(0, 330, 100, 20);
    pOther->show();
    ctrl.MoveTo(kText, 2);
    pOther->setFocus();
    Settle();
    ctrl.grid().setFocus();
    // The editor of the current cell takes the focus back within the event.
    EXPECT_EQ(QApplication::focusWidget(), ctrl.Edit());

    GridInDialog<CTestView> view;
    auto* pOtherToo = new QLineEdit(&view.dialog);
    pOtherToo->setGeometry(0, 330, 100, 20);
    pOtherToo->show();
    view.MoveTo(kText, 2);
    pOtherToo->setFocus();
    Settle();
    QSignalSpy spy(&view.grid(), &CKelGridWindow::gridNotify);
    view.grid().setFocus();
    EXPECT_EQ(QApplication::focusWidget(), &view.grid()) << "the frame finishes activating the view first";
    EXPECT_EQ(spy.count(), 0);
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), view.Edit());

    // Focus that comes back from the cell's own editor does not start over.
    int nChanges = 0;
    QObject::connect(&view.grid(), &CKelGridWindow::gridNotify, [&](unsigned nMessage, quintptr, qintptr) {
        nChanges += nMessage == WM_GRID_CURCELLCHANGED;
    });
    Key(Qt::Key_Down);
    EXPECT_EQ(nChanges, 1);
}

TYPED_TEST(GridWindows, DestroyingTheWindowEndsThePendingEdit) {
    // Through the view's destroy step, or a dialog closing: the whole grid
    // still exists and takes the edit.
    {
        GridInDialog<TypeParam> f;
        f.MoveTo(kText, 3);
        Type("kept");
        if constexpr (std::is_same_v<TypeParam, CTestView>)
            f.grid().OnDestroy();
        else
            f.dialog.reject();
        ASSERT_EQ(f.grid().commits.size(), 1u);
        EXPECT_EQ(f.grid().commits[0].value.strText, "kept");
    }
    // Deleted outright, the grid still hands the edit to its parent.
    {
        GridInDialog<TypeParam> f;
        f.MoveTo(kNumber, 4);
        Type("42");
        std::vector<std::pair<unsigned, qintptr>> notes;
        QObject::connect(&f.grid(), &CKelGridWindow::gridNotify,
                         [&](unsigned nMessage, quintptr, qintptr lParam) { notes.emplace_back(nMessage, lParam); });
        delete f.pGrid;
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(notes.back().first, unsigned{WM_GRID_CELLCOMMITTED});
        EXPECT_EQ(notes.back().second, 4);
    }
    // A refused edit is thrown away.
    {
        GridInDialog<TypeParam> f;
        f.MoveTo(kText, 5);
        Type("refused");
        f.grid().bRefuse = true;
        f.dialog.hide();
        EXPECT_EQ(f.grid().nRefused, 1);
        EXPECT_FALSE(f.Editor()->IsModified());
        EXPECT_FALSE(f.Edit()->isVisibleTo(&f.grid()));
        EXPECT_EQ(f.Edit()->text(), "r5c0") << "the cell paints what it holds, not the text thrown away";
        EXPECT_TRUE(f.Messages().empty()) << "a window going away asks nothing";
    }
}

namespace {

// A window that lends the panes inside it one shared vertical bar.
class CPaneHost : public QWidget, public platform::CScrollBarHost {
public:
    CPaneHost() : m_bar(Qt::Vertical, this) { m_bar.setGeometry(600, 0, 16, 300); }
    QScrollBar* GetPaneScrollBar(const QWidget*, int nBar) const override {
        return nBar == SB_VERT ? const_cast<QScrollBar*>(&m_bar) : nullptr;
    }
    QScrollBar m_bar;
};

}  // namespace

TEST(GridView, APaneDrivesItsHostsSharedScrollBar) {
    EnsureApplication();
    CPaneHost host;
    host.resize(620, 300);
    auto* pView = new CTestView();
    pView->setParent(&host);
    pView->setGeometry(0, 0, 600, 300);
    host.show();
    pView->OnInitialUpdate();
    Settle();
    EXPECT_EQ(pView->GetScrollBarCtrl(SB_VERT), &host.m_bar);
    EXPECT_EQ(pView->GetScrollBarCtrl(SB_HORZ), nullptr);
    EXPECT_FALSE(pView->IsScrollBarShown(SB_VERT)) << "the pane shows no bar of its own";
    EXPECT_TRUE(host.m_bar.isEnabled());
    EXPECT_GT(host.m_bar.maximum(), 0);

    pView->OnSharedScrollBarAction(SB_VERT, QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pView->GetVertPos(), pView->GetPageHeight() - pView->GetHeaderHeight());
    EXPECT_EQ(host.m_bar.value(), pView->GetVertPos());
    // The wheel scrolls through the shared bar too.
    pView->OnMouseWheel(0, 120);
    EXPECT_LT(pView->GetVertPos(), pView->GetPageHeight() - pView->GetHeaderHeight());

    // Nothing to scroll: the shared bar is disabled and the wheel stops.
    pView->SetRowCount(2, false);
    pView->RecalcLayout();
    EXPECT_FALSE(host.m_bar.isEnabled());
    EXPECT_FALSE(pView->HasScrollBarControl(SB_VERT));

    // A view that is no pane has no scroll-bar control.
    CTestView alone;
    EXPECT_EQ(alone.GetScrollBarCtrl(SB_VERT), nullptr);
}
