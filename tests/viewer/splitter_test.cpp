// Peekrow's splitter with grid panes over a table of a few thousand rows:
// splitting and unsplitting by command, box and bar, headers only where they
// belong, panes that stay aligned by pixel whatever scrolls them, the pane
// cycle of F6, and a wheel that changes nothing.
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "tests/platform_ui/ui_test_support.h"
#include "viewer/ui/pane_view.h"
#include "viewer/ui/splitter_wnd.h"

namespace {

using ui_test::Key;
using ui_test::Settle;

constexpr int kColumns = 12;
constexpr GridRow kRows = 3000;

// A pane over a made-up table whose cells name their row and column.
class CTestPane : public CKelPaneView {
public:
    explicit CTestPane(QWidget* pParent) : CKelPaneView(pParent) {
        for (int i = 0; i < kColumns; ++i) {
            InsertColumn(90, "Field " + std::to_string(i), platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE,
                         platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE);
            SetColumnEditor(i, GEK_NONE, 0, 0);
        }
        SetRowCount(kRows, false);
    }
    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        return GridCellValue{"r" + std::to_string(nRow) + "c" + std::to_string(nCol), -1};
    }
};

class Splitter : public ::testing::Test {
protected:
    Splitter() {
        window.resize(700, 500);
        pSplitter = new CKelSplitterWnd(&window);
        pSplitter->setGeometry(0, 0, 700, 500);
        EXPECT_TRUE(pSplitter->Create([this](CKelSplitterWnd* pParent, int nRow, int nCol) -> CKelGridView* {
            created.emplace_back(nRow, nCol);
            return new CTestPane(pParent);
        }));
        // The frame runs the first pane's initial update once its document is open.
        Pane(0, 0)->OnInitialUpdate();
        ui_test::ShowActive(window);
    }

    CKelGridView* Pane(int r, int c) const { return pSplitter->GetPane(r, c); }
    int HeaderBand(CKelGridView* p) const { return p->GetFixedRowCount() * p->GetHeaderHeight(); }

    void SplitFour() {
        ASSERT_TRUE(pSplitter->SplitRow(200));
        ASSERT_TRUE(pSplitter->SplitColumn(300));
        Settle();
    }

    // Panes of a row of panes at one vertical position, of a column at one
    // horizontal position.
    void ExpectAligned() const {
        for (int r = 0; r < pSplitter->GetRowCount() && pSplitter->GetColumnCount() == 2; ++r) {
            EXPECT_EQ(Pane(r, 0)->GetVertPos(), Pane(r, 1)->GetVertPos()) << "row of panes " << r;
        }
        for (int c = 0; c < pSplitter->GetColumnCount() && pSplitter->GetRowCount() == 2; ++c) {
            EXPECT_EQ(Pane(0, c)->GetHorzPos(), Pane(1, c)->GetHorzPos()) << "column of panes " << c;
        }
    }

    // The data row at the top of a pane's data area.
    GridRow FirstRow(CKelGridView* p) const { return p->GetVertPos() / p->GetRowHeight(); }
    GridPos LastVertPos(CKelGridView* p) const { return p->GetVertExtent() - p->GetPageHeight() + 1; }

    ui_test::AppGuard app;
    QWidget window;
    CKelSplitterWnd* pSplitter = nullptr;
    std::vector<std::pair<int, int>> created;
};

}  // namespace

TEST_F(Splitter, PanesShowHeadersOnlyAtTheTopAndLeft) {
    EXPECT_EQ(pSplitter->GetPaneCount(), 1);
    EXPECT_EQ(Pane(0, 0)->GetScrollBarCtrl(SB_VERT), pSplitter->GetVerticalBar(0));
    EXPECT_EQ(Pane(0, 0)->GetScrollBarCtrl(SB_HORZ), pSplitter->GetHorizontalBar(0));
    EXPECT_FALSE(Pane(0, 0)->IsScrollBarShown(SB_VERT)) << "the pane shows no bar of its own";
    EXPECT_TRUE(pSplitter->GetVerticalBar(0)->isEnabled());

    EXPECT_FALSE(pSplitter->SplitRow(5)) << "an upper pane below the minimum size";
    EXPECT_FALSE(pSplitter->SplitRow(pSplitter->GetRowSplit() - 10));
    SplitFour();
    EXPECT_EQ(created, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    const struct {
        int r, c, nFixedRows, nFixedCols;
    } panes[] = {{0, 0, 1, 1}, {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 1, 0, 0}};
    for (const auto& p : panes) {
        CKelGridView* pPane = Pane(p.r, p.c);
        EXPECT_EQ(pPane->GetFixedRowCount(), p.nFixedRows) << p.r << p.c;
        EXPECT_EQ(pPane->GetFixedColumnCount(), p.nFixedCols) << p.r << p.c;
        EXPECT_EQ(pPane->GetRowCount(), kRows);
        EXPECT_EQ(pPane->GetScrollBarCtrl(SB_VERT), pSplitter->GetVerticalBar(p.r));
        EXPECT_EQ(pPane->GetScrollBarCtrl(SB_HORZ), pSplitter->GetHorizontalBar(p.c));
    }
    EXPECT_EQ(Pane(0, 0)->geometry().height(), 200);
    EXPECT_EQ(Pane(0, 0)->geometry().width(), 300);
    // The lower pane goes on with the rows where the upper one ends.
    CKelGridView* pUpper = Pane(0, 0);
    EXPECT_EQ(Pane(1, 0)->GetVertPos(), pUpper->GetVertPos() + pUpper->viewport()->height() - HeaderBand(pUpper));
    ExpectAligned();
}

TEST_F(Splitter, ScrollBarsMoveTheirRowOrColumnOfPanesTogether) {
    SplitFour();
    const GridPos nLowerBefore = Pane(1, 0)->GetVertPos();
    for (int i = 0; i < 3; ++i) pSplitter->GetVerticalBar(0)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(Pane(0, 0)->GetVertPos(), 0);
    EXPECT_EQ(Pane(1, 0)->GetVertPos(), nLowerBefore) << "the lower row keeps its place";
    pSplitter->GetHorizontalBar(1)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_GT(Pane(0, 1)->GetHorzPos(), 0);
    EXPECT_EQ(Pane(0, 0)->GetHorzPos(), 0) << "the left column keeps its place";
    ExpectAligned();

    // To the table's end, where the last row is cut unless positions are
    // copied as pixels.
    pSplitter->GetVerticalBar(1)->triggerAction(QAbstractSlider::SliderToMaximum);
    pSplitter->GetHorizontalBar(1)->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Pane(1, 1)->GetVertPos(), LastVertPos(Pane(1, 1)));
    EXPECT_EQ(Pane(0, 1)->GetHorzPos(), Pane(0, 1)->GetHorzExtent() - Pane(0, 1)->GetPageWidth() + 1);
    ExpectAligned();
    // A thumb dragged to a spot in the middle.
    pSplitter->GetVerticalBar(0)->setSliderPosition(pSplitter->GetVerticalBar(0)->maximum() / 3);
    pSplitter->GetVerticalBar(0)->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_GT(Pane(0, 1)->GetVertPos(), 0);
    ExpectAligned();
}

TEST_F(Splitter, KeysInAnyPaneKeepTheOthersAligned) {
    SplitFour();
    pSplitter->SetActivePane(0, 1);
    Settle();
    ASSERT_EQ(QApplication::focusWidget(), Pane(0, 1));
    for (int i = 0; i < 30; ++i) Key(Qt::Key_Down);
    Key(Qt::Key_PageDown);
    EXPECT_GT(Pane(0, 1)->GetVertPos(), 0);
    ExpectAligned();
    for (int i = 0; i < 8; ++i) Key(Qt::Key_Right);
    EXPECT_GT(Pane(0, 1)->GetHorzPos(), 0);
    ExpectAligned();

    pSplitter->SetActivePane(1, 0);
    Settle();
    Key(Qt::Key_PageDown, Qt::ControlModifier);  // the last row
    EXPECT_EQ(Pane(1, 0)->GetVertPos(), LastVertPos(Pane(1, 0)));
    ExpectAligned();
    Key(Qt::Key_End);
    ExpectAligned();
    // Shift moves the selection's end, which scrolls without a new current cell.
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_PageUp);
    Key(Qt::Key_Home);
    ExpectAligned();
}

TEST_F(Splitter, F6AndShiftF6CycleThroughThePanes) {
    platform::CCmdUI ui(CKelSplitterWnd::ID_NEXT_PANE);
    EXPECT_TRUE(pSplitter->OnUpdateCommand(ui));
    EXPECT_FALSE(ui.IsEnabled()) << "one pane: nowhere to go";
    SplitFour();
    platform::CCmdUI ui2(CKelSplitterWnd::ID_PREV_PANE);
    pSplitter->OnUpdateCommand(ui2);
    EXPECT_TRUE(ui2.IsEnabled());

    std::vector<CKelGridView*> seen;
    QObject listener;
    QObject::connect(pSplitter, &CKelSplitterWnd::activePaneChanged, &listener,
                     [&](CKelGridView* p) { seen.push_back(p); });
    pSplitter->SetActivePane(0, 0);
    Settle();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(pSplitter->OnCommand(CKelSplitterWnd::ID_NEXT_PANE));
        Settle();
    }
    EXPECT_EQ(seen, (std::vector<CKelGridView*>{Pane(0, 1), Pane(1, 0), Pane(1, 1), Pane(0, 0)}));
    pSplitter->OnCommand(CKelSplitterWnd::ID_PREV_PANE);
    Settle();
    EXPECT_EQ(pSplitter->GetActivePane(), Pane(1, 1));
    EXPECT_EQ(QApplication::focusWidget(), Pane(1, 1));
    // A click gives a pane the focus, and that makes it the active one.
    QTest::mouseClick(Pane(0, 1)->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    Settle();
    EXPECT_EQ(pSplitter->GetActivePane(), Pane(0, 1));
    ExpectAligned();
}

TEST_F(Splitter, UnsplittingKeepsTheScrollPositionAndGivesHeadersBack) {
    SplitFour();
    pSplitter->SetActivePane(1, 1);
    Settle();
    pSplitter->GetVerticalBar(1)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    pSplitter->GetHorizontalBar(1)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    CKelGridView* pKept = Pane(1, 1);
    const GridRow nFirstRow = FirstRow(pKept);
    const GridPos nHorz = pKept->GetHorzPos();
    ASSERT_GT(nFirstRow, 0);

    std::vector<CKelGridView*> deleted;
    QObject listener;
    QObject::connect(pSplitter, &CKelSplitterWnd::paneDeleting, &listener,
                     [&](CKelGridView* p) { deleted.push_back(p); });
    pSplitter->DeleteRow(0);
    EXPECT_EQ(deleted.size(), 2u);
    EXPECT_EQ(pSplitter->GetRowCount(), 1);
    EXPECT_EQ(Pane(0, 1), pKept);
    EXPECT_EQ(pKept->GetFixedRowCount(), 1) << "the top pane gets the header row back";
    EXPECT_EQ(FirstRow(pKept), nFirstRow) << "with the same row under it";
    EXPECT_EQ(pKept->GetHorzPos(), nHorz);
    EXPECT_EQ(pSplitter->GetActivePane(), pKept);

    pSplitter->DeleteColumn(0);
    EXPECT_EQ(pSplitter->GetPaneCount(), 1);
    EXPECT_EQ(Pane(0, 0), pKept);
    EXPECT_EQ(pKept->GetFixedColumnCount(), 1) << "and the row-header column";
    EXPECT_EQ(FirstRow(pKept), nFirstRow);
    EXPECT_EQ(pKept->geometry().size(), QSize(700 - pSplitter->GetVerticalBar(0)->width(),
                                              500 - pSplitter->GetHorizontalBar(0)->height()));
}

TEST_F(Splitter, SplittingWithTheMouseAndTheSplitCommand) {
    // Drag the box above the vertical bar down, then the bar it became up to the edge.
    QRect rcBox = pSplitter->GetRowSplitBoxRect();
    ASSERT_FALSE(rcBox.isEmpty());
    QTest::mousePress(pSplitter, Qt::LeftButton, {}, rcBox.center());
    QTest::mouseMove(pSplitter, QPoint(rcBox.center().x(), 243));
    QTest::mouseRelease(pSplitter, Qt::LeftButton, {}, QPoint(rcBox.center().x(), 243));
    EXPECT_EQ(pSplitter->GetRowCount(), 2);
    EXPECT_EQ(pSplitter->GetRowSplit(), 240);
    EXPECT_TRUE(pSplitter->GetRowSplitBoxRect().isEmpty());
    QRect rcBar = pSplitter->GetRowSplitBarRect();
    QTest::mousePress(pSplitter, Qt::LeftButton, {}, rcBar.center());
    QTest::mouseRelease(pSplitter, Qt::LeftButton, {}, QPoint(rcBar.center().x(), 4));
    EXPECT_EQ(pSplitter->GetRowCount(), 1);
    EXPECT_EQ(Pane(0, 0)->GetFixedRowCount(), 1);

    // The Split command: Enter applies the lines, which start in the middle.
    const int cyAll = Pane(0, 0)->geometry().height();
    platform::CCmdUI ui(CKelSplitterWnd::ID_WINDOW_SPLIT);
    pSplitter->OnUpdateCommand(ui);
    EXPECT_TRUE(ui.IsEnabled());
    EXPECT_TRUE(pSplitter->OnCommand(CKelSplitterWnd::ID_WINDOW_SPLIT));
    EXPECT_TRUE(pSplitter->IsTracking());
    QTest::keyClick(pSplitter, Qt::Key_Escape);
    EXPECT_FALSE(pSplitter->IsTracking());
    EXPECT_EQ(pSplitter->GetPaneCount(), 1) << "Escape splits nothing";
    pSplitter->OnCommand(CKelSplitterWnd::ID_WINDOW_SPLIT);
    QTest::keyClick(pSplitter, Qt::Key_Down);
    QTest::keyClick(pSplitter, Qt::Key_Return);
    EXPECT_EQ(pSplitter->GetPaneCount(), 4);
    EXPECT_EQ(pSplitter->GetRowSplit(), cyAll / 2 + 8) << "Down moved the line";
    ExpectAligned();
}

TEST_F(Splitter, ColumnWidthsAndRowCountsAreShared) {
    SplitFour();
    CKelGridView* pFrom = Pane(1, 1);
    pFrom->SetColumnWidth(2, -1, 210);
    pFrom->RecalcLayout();
    pFrom->SendNotify(WM_GRID_COLRESIZED, pFrom->GetWindowId(), 0);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_EQ(Pane(r, c)->GetColumnWidth(2, -1), 210) << r << c;
    EXPECT_EQ(Pane(0, 0)->GetTotalWidth(), Pane(1, 0)->GetTotalWidth());

    static_cast<CKelColumnGrid*>(Pane(0, 0))->SetRowCount(40, true);  // posts the new count
    Settle();
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_EQ(Pane(r, c)->GetRowCount(), 40) << r << c;
    ExpectAligned();
}

TEST_F(Splitter, TheWheelChangesNothing) {
    SplitFour();
    auto wheel = [](QWidget* pTarget) {
        QPoint pt(pTarget->width() / 2, pTarget->height() / 2);
        QWheelEvent event(pt, pTarget->mapToGlobal(pt), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(pTarget, &event);
    };
    pSplitter->GetVerticalBar(1)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    auto positions = [this] {
        std::vector<GridPos> v;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) v.insert(v.end(), {Pane(r, c)->GetHorzPos(), Pane(r, c)->GetVertPos()});
        return v;
    };
    const std::vector<GridPos> before = positions();
    for (QWidget* pTarget : std::initializer_list<QWidget*>{Pane(0, 0)->viewport(), Pane(1, 1)->viewport(),
                                                            pSplitter->GetVerticalBar(0), pSplitter->GetVerticalBar(1),
                                                            pSplitter->GetHorizontalBar(1)})
        wheel(pTarget);
    Settle();
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(pSplitter->GetVerticalBar(0)->value(), 0);
    // A pane that wants the wheel has it, and its neighbour follows.
    auto* pPane = static_cast<CKelPaneView*>(Pane(0, 0));
    pPane->SetWheelEnabled(true);
    wheel(pPane->viewport());
    EXPECT_GT(pPane->GetVertPos(), 0);
    ExpectAligned();
}
