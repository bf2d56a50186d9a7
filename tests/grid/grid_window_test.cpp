// The Qt window that carries the engine: real key, mouse and wheel events, its
// scroll bars driven by the engine, notifications as signals, and its painting
// on the offscreen platform.
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "grid/grid_window.h"
#include "tests/grid/grid_test_support.h"

using grid_test::CTestGrid;
using platform::Size;

namespace {

struct WindowFixture {
    grid_test::AppGuard app;
    CTestGrid grid{6, 1000};
    CKelGridWindow window;
    WindowFixture(uint32_t nStyle = 0) {
        window.SetGridStyle(nStyle);
        window.SetGrid(&grid);
        window.resize(420, 300);
        window.show();
        QCoreApplication::processEvents();
    }
    std::vector<unsigned> Messages(const QSignalSpy& spy) const {
        std::vector<unsigned> v;
        for (const QList<QVariant>& args : spy)
            v.push_back(args.at(0).toUInt());
        return v;
    }
};

}  // namespace

TEST(GridWindow, KeysMoveTheCurrentCellAndReportItInOrder) {
    WindowFixture f(GS_MULTISELECT);
    QSignalSpy spy(&f.window, &CKelGridWindow::gridNotify);
    QTest::keyClick(&f.window, Qt::Key_Down);
    QTest::keyClick(&f.window, Qt::Key_Tab);
    EXPECT_EQ(f.grid.GetCurrentRow(), 2);
    EXPECT_EQ(f.grid.GetCurrentColumn(), 2);
    QTest::keyClick(&f.window, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.grid.GetCurrentColumn(), 1);
    QTest::keyClick(&f.window, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(f.grid.GetCurrentColumn(), 1);
    EXPECT_EQ(f.Messages(spy), (std::vector<unsigned>{WM_GRID_CURCELLCHANGED, WM_GRID_CURCELLCHANGED,
                                                      WM_GRID_CURCELLCHANGED, WM_GRID_SELCHANGED}));
    EXPECT_EQ(spy.at(0).at(1).value<quintptr>(), f.window.GetWindowId());
}

TEST(GridWindow, ScrollBarsFollowTheEngine) {
    WindowFixture f;
    QScrollBar* pBar = f.window.verticalScrollBar();
    ASSERT_TRUE(f.window.IsScrollBarShown(SB_VERT));
    ASSERT_TRUE(pBar->isVisible());
    pBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    GridPos nPage = f.grid.GetPageHeight() - f.grid.GetHeaderHeight();
    EXPECT_EQ(f.grid.GetVertPos(), nPage);
    EXPECT_EQ(pBar->value(), nPage);
    pBar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(f.grid.GetVertPos(), f.grid.GetVertExtent() - f.grid.GetPageHeight() + 1);
    EXPECT_EQ(pBar->value(), pBar->maximum());

    // The wheel moves the same positions; the bar follows.
    QPoint pt(100, 100);
    QWheelEvent wheel(pt, f.window.viewport()->mapToGlobal(pt), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.window.viewport(), &wheel);
    EXPECT_LT(f.grid.GetVertPos(), f.grid.GetVertExtent() - f.grid.GetPageHeight() + 1);
    EXPECT_EQ(pBar->value(), f.grid.GetVertPos());
}

TEST(GridWindow, ClicksAndDraggedBordersReachTheEngine) {
    WindowFixture f;
    QSignalSpy spy(&f.window, &CKelGridWindow::gridNotify);
    int H = f.grid.GetHeaderHeight(), R = f.grid.GetRowHeight(), W = f.grid.GetFixedColumnWidth();
    QTest::mouseClick(f.window.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(W + 2 * 60 + 10, H + 4 * R + 5));
    EXPECT_EQ(f.grid.GetCurrentColumn(), 3);
    EXPECT_EQ(f.grid.GetCurrentRow(), 5);

    int xBorder = W + 60 - 1;
    QTest::mouseMove(f.window.viewport(), QPoint(xBorder, H / 2));
    EXPECT_EQ(f.window.viewport()->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(f.window.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xBorder, H / 2));
    // The drag may wander below the header band without ending.
    QPointF ptBelow(xBorder + 30, H + 3 * R);
    QMouseEvent move(QEvent::MouseMove, ptBelow, f.window.viewport()->mapToGlobal(ptBelow), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.window.viewport(), &move);
    EXPECT_TRUE(f.grid.IsResizing());
    EXPECT_EQ(f.window.GetTrackingLine(), xBorder + 30);
    QTest::mouseRelease(f.window.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xBorder + 30, H / 2));
    EXPECT_EQ(f.grid.GetColumnWidth(0, 0), 90);
    EXPECT_EQ(f.window.GetTrackingLine(), -1);
    EXPECT_EQ(f.Messages(spy).back(), unsigned{WM_GRID_COLRESIZED});
}

TEST(GridWindow, RowCountChangesArriveAfterTheCurrentEvent) {
    WindowFixture f;
    QSignalSpy spy(&f.window, &CKelGridWindow::gridNotify);
    f.grid.SetRowCount(5, true);
    EXPECT_EQ(spy.count(), 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toUInt(), unsigned{WM_GRID_ROWCOUNT});
    EXPECT_EQ(spy.at(0).at(2).value<qintptr>(), 5);
}

TEST(GridWindow, TheWindowShowsWhatTheEnginePaints) {
    WindowFixture f(GS_MULTISELECT);
    f.grid.MoveTo(2, 3);
    f.grid.ExtendSelectionTo(5, 7);
    f.grid.SetSortIndicator(1, 0, 1);
    QCoreApplication::processEvents();
    QImage shown = f.window.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage painted = grid_test::Paint(f.grid, f.window.GetClientSize());
    ASSERT_EQ(shown.size(), painted.size());
    EXPECT_TRUE(shown == painted);
}

TEST(GridWindow, TheWheelStopsWhereTheScrollBarStops) {
    WindowFixture f;
    f.grid.MoveTo(0, f.grid.GetRowCount() - 1);
    QScrollBar* pBar = f.window.verticalScrollBar();
    ASSERT_EQ(pBar->value(), pBar->maximum());
    GridPos nLast = f.grid.GetVertPos();
    for (int i = 0; i < 20; ++i) {
        QPoint pt(100, 100);
        QWheelEvent wheel(pt, f.window.viewport()->mapToGlobal(pt), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(f.window.viewport(), &wheel);
    }
    EXPECT_EQ(f.grid.GetVertPos(), nLast);
    EXPECT_EQ(nLast, f.grid.GetVertExtent() - f.grid.GetPageHeight() + 1);
    EXPECT_EQ(pBar->value(), pBar->maximum());
}

TEST(GridWindow, ADoubleClickOnABorderFitsTheColumnAndOnTheHeaderIsTheHeaders) {
    WindowFixture f;
    int H = f.grid.GetHeaderHeight(), W = f.grid.GetFixedColumnWidth();
    QWidget* pViewport = f.window.viewport();
    auto doubleClick = [&](QPoint pt) {
        QTest::mouseMove(pViewport, pt);
        QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, pt);
        QTest::mouseDClick(pViewport, Qt::LeftButton, Qt::NoModifier, pt);
        QTest::mouseRelease(pViewport, Qt::LeftButton, Qt::NoModifier, pt);
    };
    // The widest text column 1 shows, measured as the grid paints it.
    QImage image(1, 1, QImage::Format_RGB32);
    platform::CDrawContext dc(image);
    dc.SelectFont(&f.grid.GetFont());
    int nWidest = dc.GetTextExtent("H1").cx;
    GridRow nFirst = 0, nLast = 0;
    ASSERT_TRUE(f.grid.GetVisibleRows(platform::Rect{0, H, 400, f.window.GetClientSize().cy}, nFirst, nLast));
    for (GridRow nRow = nFirst; nRow <= nLast; ++nRow)
        nWidest = std::max(nWidest, dc.GetTextExtent("1," + std::to_string(nRow - 1)).cx);

    QSignalSpy spy(&f.window, &CKelGridWindow::gridNotify);
    doubleClick(QPoint(W + 2 * 60 - 1, H / 2));  // the border right of column 1
    int nFitted = f.grid.GetColumnWidth(1, 0);
    EXPECT_GE(nFitted, nWidest + 3) << "the text fits inside the cell's border and frame";
    EXPECT_LE(nFitted, nWidest + 8);
    EXPECT_TRUE(f.grid.dblClicked.empty()) << "not a double click on the header";
    EXPECT_EQ(f.Messages(spy).back(), unsigned{WM_GRID_COLRESIZED});

    doubleClick(QPoint(W + 60 + nFitted + 30, H / 2));  // the middle of column 2's header
    EXPECT_EQ(f.grid.dblClicked, (std::vector<int>{2}));
    EXPECT_EQ(f.grid.GetColumnWidth(2, 0), 60);
    EXPECT_EQ(f.grid.GetColumnWidth(1, 0), nFitted);
}
