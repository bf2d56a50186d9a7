// The splitter: pane layout, shared bars, scroll alignment by pixel
// positions, splitting and unsplitting by box, bar and keyboard, and the
// pane cycle of F6.
#include "viewer/ui/splitter_wnd.h"

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <qdrawutil.h>

#include "platform/ui/system_metrics.h"

namespace {

// Thickness of the bars between panes and of the split boxes.
constexpr int kBarSize = 6;
// How far an arrow key moves a tracked split line.
constexpr int kKeyStep = 8;

// Shows where the tracked split lines are, over the panes.
class CTrackOverlay : public QWidget {
public:
    explicit CTrackOverlay(QWidget* pParent) : QWidget(pParent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    void SetLines(bool bRow, int y, bool bCol, int x) {
        m_bRow = bRow;
        m_bCol = bCol;
        m_y = y;
        m_x = x;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QBrush brush(QColor(0, 0, 0, 128), Qt::Dense4Pattern);
        if (m_bRow)
            painter.fillRect(QRect(0, m_y, width(), kBarSize), brush);
        if (m_bCol)
            painter.fillRect(QRect(m_x, 0, kBarSize, height()), brush);
    }

private:
    bool m_bRow = false, m_bCol = false;
    int m_y = 0, m_x = 0;
};

}  // namespace

CKelSplitterWnd::CKelSplitterWnd(QWidget* pParent) : QWidget(pParent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    for (size_t i = 0; i < 2; ++i) {
        m_vbars[i] = new QScrollBar(Qt::Vertical, this);
        m_hbars[i] = new QScrollBar(Qt::Horizontal, this);
        for (QScrollBar* pBar : {m_vbars[i], m_hbars[i]}) {
            pBar->setFocusPolicy(Qt::NoFocus);
            pBar->setEnabled(false);
            pBar->hide();
            pBar->installEventFilter(this);
        }
        const int nIndex = int(i);
        connect(m_vbars[i], &QScrollBar::actionTriggered, this,
                [this, nIndex](int nAction) { OnBarAction(SB_VERT, nIndex, nAction); });
        connect(m_hbars[i], &QScrollBar::actionTriggered, this,
                [this, nIndex](int nAction) { OnBarAction(SB_HORZ, nIndex, nAction); });
    }
    m_pTrackOverlay = new CTrackOverlay(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* pNow) { OnFocusChanged(pNow); });

    m_commands.Add(
        ID_WINDOW_SPLIT, [this] { DoKeyboardSplit(); },
        [this](platform::CCmdUI& cmdUI) { cmdUI.Enable((m_nMaxRows > 1 || m_nMaxCols > 1) && !IsTracking()); });
    m_commands.Add(
        ID_NEXT_PANE, [this] { ActivateNext(false); },
        [this](platform::CCmdUI& cmdUI) { cmdUI.Enable(GetPaneCount() > 1); });
    m_commands.Add(
        ID_PREV_PANE, [this] { ActivateNext(true); },
        [this](platform::CCmdUI& cmdUI) { cmdUI.Enable(GetPaneCount() > 1); });
}

CKelSplitterWnd::~CKelSplitterWnd() {
    // The views go first, each after its destroy step, while the bars they
    // borrow still exist. Nobody hears of it: the frame that would listen is
    // itself going.
    blockSignals(true);
    m_pActive = nullptr;
    for (int r = 1; r >= 0; --r)
        for (int c = 1; c >= 0; --c)
            DeletePane(r, c);
}

bool CKelSplitterWnd::Create(PaneFactory factory, int nMaxRows, int nMaxCols, QSize sizeMin) {
    m_factory = std::move(factory);
    m_nMaxRows = std::clamp(nMaxRows, 1, 2);
    m_nMaxCols = std::clamp(nMaxCols, 1, 2);
    m_sizeMin = sizeMin.expandedTo(QSize(1, 1));
    m_nRows = m_nCols = 1;
    CKelGridView* pPane = CreatePane(0, 0);
    if (!pPane)
        return false;
    emit paneCreated(pPane, 0, 0);
    LayoutPanes();
    SetActive(pPane);
    return true;
}

CKelGridView* CKelSplitterWnd::GetPane(int nRow, int nCol) const {
    if (nRow < 0 || nRow > 1 || nCol < 0 || nCol > 1)
        return nullptr;
    return m_panes[size_t(nRow)][size_t(nCol)];
}

bool CKelSplitterWnd::FindPane(const QWidget* pWidget, int& nRow, int& nCol) const {
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            CKelGridView* pPane = m_panes[size_t(r)][size_t(c)];
            if (pPane && pWidget && (pPane == pWidget || pPane->isAncestorOf(pWidget))) {
                nRow = r;
                nCol = c;
                return true;
            }
        }
    return false;
}

QScrollBar* CKelSplitterWnd::GetPaneScrollBar(const QWidget* pPane, int nBar) const {
    int nRow = -1, nCol = -1;
    if (!FindPane(pPane, nRow, nCol)) {
        if (m_nCreatingRow < 0)
            return nullptr;
        nRow = m_nCreatingRow;
        nCol = m_nCreatingCol;
    }
    return nBar == SB_VERT ? m_vbars[size_t(nRow)] : m_hbars[size_t(nCol)];
}

// ---- panes -------------------------------------------------------------------------

CKelGridView* CKelSplitterWnd::CreatePane(int nRow, int nCol) {
    if (!m_factory)
        return nullptr;
    m_nCreatingRow = nRow;
    m_nCreatingCol = nCol;
    CKelGridView* pPane = m_factory(this, nRow, nCol);
    m_nCreatingRow = m_nCreatingCol = -1;
    if (!pPane)
        return nullptr;
    if (pPane->parentWidget() != this)
        pPane->setParent(this);
    m_panes[size_t(nRow)][size_t(nCol)] = pPane;
    connect(pPane, &CKelGridWindow::gridNotify, this,
            [this, pPane](unsigned nMessage, quintptr wParam, qintptr lParam) {
                OnPaneNotify(pPane, nMessage, wParam, lParam);
            });
    m_pTrackOverlay->raise();
    pPane->show();
    return pPane;
}

void CKelSplitterWnd::DeletePane(int nRow, int nCol) {
    CKelGridView* pPane = GetPane(nRow, nCol);
    if (!pPane)
        return;
    if (pPane == m_pActive)
        SetActive(nullptr);
    emit paneDeleting(pPane);
    disconnect(pPane, nullptr, this, nullptr);
    pPane->OnDestroy();
    m_panes[size_t(nRow)][size_t(nCol)] = nullptr;
    delete pPane;
}

// A pane made by a split: its own initial update, then the header row only
// at the top and the row-header column only at the left, the same column
// widths and row count as the pane it continues.
void CKelSplitterWnd::InitNewPane(CKelGridView* pPane, int nRow, int nCol) {
    CKelGridView* pModel = m_panes[0][0];
    pPane->OnInitialUpdate();
    const int nFixedRows = nRow == 0 ? pModel->GetFixedRowCount() : 0;
    const int nFixedCols = nCol == 0 ? pModel->GetFixedColumnCount() : 0;
    if (pPane->GetFixedRowCount() != nFixedRows)
        pPane->SetFixedRowCount(nFixedRows, false);
    if (pPane->GetFixedColumnCount() != nFixedCols)
        pPane->SetFixedColumnCount(nFixedCols, false);
    if (pPane->GetRowCount() != pModel->GetRowCount())
        pPane->SetRowCount(pModel->GetRowCount(), false);
    const int nColumns = std::min(pPane->GetColumnCount(-1), pModel->GetColumnCount(-1));
    for (int i = 0; i < nColumns; ++i)
        if (pPane->GetColumnWidth(i, -1) != pModel->GetColumnWidth(i, -1))
            pPane->SetColumnWidth(i, -1, pModel->GetColumnWidth(i, -1));
    pPane->SetFixedColumnWidth(pModel->GetFixedColumnWidth(), false);
    pPane->RecalcLayout();
}

GridPos CKelSplitterWnd::ClampVert(CKelGridView* pPane, GridPos y) {
    return std::clamp<GridPos>(y, 0, std::max<GridPos>(0, pPane->GetVertExtent() - pPane->GetPageHeight() + 1));
}

GridPos CKelSplitterWnd::ClampHorz(CKelGridView* pPane, GridPos x) {
    return std::clamp<GridPos>(x, 0, std::max<GridPos>(0, pPane->GetHorzExtent() - pPane->GetPageWidth() + 1));
}

bool CKelSplitterWnd::SplitRow(int cyTop) {
    if (m_nRows != 1 || m_nMaxRows < 2 || !m_panes[0][0])
        return false;
    if (m_pActive)
        m_pActive->EndEdit(false);
    if (cyTop < m_sizeMin.height() || InnerHeight() - cyTop - kBarSize < m_sizeMin.height())
        return false;
    for (int c = 0; c < m_nCols; ++c) {
        CKelGridView* pPane = CreatePane(1, c);
        if (!pPane) {
            for (int k = 0; k < c; ++k)
                DeletePane(1, k);
            return false;
        }
        InitNewPane(pPane, 1, c);
    }
    m_nRows = 2;
    m_nRowSplit = cyTop;
    LayoutPanes();
    // Each new pane scrolls sideways with the pane above it; the lower left
    // pane goes on with the rows where the upper one ends, and the lower
    // right pane takes its rows from its left neighbour.
    for (int c = 0; c < m_nCols; ++c) {
        CKelGridView* pAbove = m_panes[0][c];
        CKelGridView* pPane = m_panes[1][c];
        GridPos y = c == 0 ? pAbove->GetVertPos() + pAbove->viewport()->height() -
                                 GridPos(pAbove->GetFixedRowCount()) * pAbove->GetHeaderHeight()
                           : m_panes[1][0]->GetVertPos();
        pPane->ScrollTo(ClampHorz(pPane, pAbove->GetHorzPos()), ClampVert(pPane, y));
    }
    for (int c = 0; c < m_nCols; ++c)
        emit paneCreated(m_panes[1][size_t(c)], 1, c);
    update();
    return true;
}

bool CKelSplitterWnd::SplitColumn(int cxLeft) {
    if (m_nCols != 1 || m_nMaxCols < 2 || !m_panes[0][0])
        return false;
    if (m_pActive)
        m_pActive->EndEdit(false);
    if (cxLeft < m_sizeMin.width() || InnerWidth() - cxLeft - kBarSize < m_sizeMin.width())
        return false;
    for (int r = 0; r < m_nRows; ++r) {
        CKelGridView* pPane = CreatePane(r, 1);
        if (!pPane) {
            for (int k = 0; k < r; ++k)
                DeletePane(k, 1);
            return false;
        }
        InitNewPane(pPane, r, 1);
    }
    m_nCols = 2;
    m_nColSplit = cxLeft;
    LayoutPanes();
    for (int r = 0; r < m_nRows; ++r) {
        CKelGridView* pBeside = m_panes[size_t(r)][0];
        CKelGridView* pPane = m_panes[size_t(r)][1];
        GridPos x = r == 0 ? pBeside->GetHorzPos() + pBeside->viewport()->width() -
                                 GridPos(pBeside->GetFixedColumnCount()) * pBeside->GetFixedColumnWidth()
                           : m_panes[0][1]->GetHorzPos();
        pPane->ScrollTo(ClampHorz(pPane, x), ClampVert(pPane, pBeside->GetVertPos()));
    }
    for (int r = 0; r < m_nRows; ++r)
        emit paneCreated(m_panes[size_t(r)][1], r, 1);
    update();
    return true;
}

void CKelSplitterWnd::DeleteRow(int nRow) {
    if (m_nRows != 2 || nRow < 0 || nRow > 1)
        return;
    // What the top panes show, taken before pane (0, 0) may go with its row.
    const int nFixedRows = m_panes[0][0]->GetFixedRowCount();
    int nActiveRow = -1, nActiveCol = -1;
    if (m_pActive && FindPane(m_pActive, nActiveRow, nActiveCol) && nActiveRow == nRow)
        SetActivePane(1 - nRow, nActiveCol);
    for (int c = 0; c < 2; ++c)
        DeletePane(nRow, c);
    if (nRow == 0)
        for (size_t c = 0; c < 2; ++c) {
            m_panes[0][c] = m_panes[1][c];
            m_panes[1][c] = nullptr;
        }
    m_nRows = 1;
    // The panes keep their pixel positions: a lower pane that gets the
    // header row back still starts with the same row under it.
    for (size_t c = 0; c < 2; ++c)
        if (CKelGridView* pPane = m_panes[0][c]; pPane && pPane->GetFixedRowCount() != nFixedRows)
            pPane->SetFixedRowCount(nFixedRows, true);
    LayoutPanes();
    SyncScrollPositions(m_pActive);
    update();
}

void CKelSplitterWnd::DeleteColumn(int nCol) {
    if (m_nCols != 2 || nCol < 0 || nCol > 1)
        return;
    const int nFixedCols = m_panes[0][0]->GetFixedColumnCount();
    int nActiveRow = -1, nActiveCol = -1;
    if (m_pActive && FindPane(m_pActive, nActiveRow, nActiveCol) && nActiveCol == nCol)
        SetActivePane(nActiveRow, 1 - nCol);
    for (int r = 0; r < 2; ++r)
        DeletePane(r, nCol);
    if (nCol == 0)
        for (size_t r = 0; r < 2; ++r) {
            m_panes[r][0] = m_panes[r][1];
            m_panes[r][1] = nullptr;
        }
    m_nCols = 1;
    for (size_t r = 0; r < 2; ++r)
        if (CKelGridView* pPane = m_panes[r][0]; pPane && pPane->GetFixedColumnCount() != nFixedCols)
            pPane->SetFixedColumnCount(nFixedCols, true);
    LayoutPanes();
    SyncScrollPositions(m_pActive);
    update();
}

// ---- the active pane -------------------------------------------------------------------

void CKelSplitterWnd::SetActive(CKelGridView* pPane) {
    if (pPane == m_pActive)
        return;
    CKelGridView* pOld = m_pActive;
    m_pActive = pPane;
    // Only the active pane shows its current cell highlighted.
    if (pOld)
        pOld->viewport()->update();
    if (pPane)
        pPane->viewport()->update();
    emit activePaneChanged(pPane);
}

void CKelSplitterWnd::SetActivePane(int nRow, int nCol) {
    CKelGridView* pPane = GetPane(nRow, nCol);
    if (!pPane)
        return;
    SetActive(pPane);
    pPane->setFocus(Qt::OtherFocusReason);
}

void CKelSplitterWnd::OnFocusChanged(QWidget* pNow) {
    int nRow = -1, nCol = -1;
    if (FindPane(pNow, nRow, nCol))
        SetActive(m_panes[size_t(nRow)][size_t(nCol)]);
}

void CKelSplitterWnd::ActivateNext(bool bPrevious) {
    std::array<std::pair<int, int>, 4> order{};
    int n = 0, nCurrent = -1;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (m_panes[size_t(r)][size_t(c)]) {
                if (m_panes[size_t(r)][size_t(c)] == m_pActive)
                    nCurrent = n;
                order[size_t(n++)] = {r, c};
            }
    if (n == 0)
        return;
    int nNext = nCurrent < 0 ? 0 : (nCurrent + (bPrevious ? n - 1 : 1)) % n;
    SetActivePane(order[size_t(nNext)].first, order[size_t(nNext)].second);
}

// ---- scrolling together ------------------------------------------------------------------

void CKelSplitterWnd::SyncScrollPositions(CKelGridView* pFrom) {
    if (GetPaneCount() < 2)
        return;
    int nFromRow = -1, nFromCol = -1;
    if (pFrom && !FindPane(pFrom, nFromRow, nFromCol))
        pFrom = nullptr;
    auto follow = [](CKelGridView* pPane, GridPos x, GridPos y) {
        if (pPane->GetHorzPos() == x && pPane->GetVertPos() == y)
            return;
        pPane->ScrollTo(x, y);
        // Its editor stood at the cell's old place, as after a scroll-bar move.
        if (CKelCellEditor* pEditor = pPane->GetCurrentEditor())
            pEditor->HideEditor();
    };
    // Pixel positions, not first rows: panes of a row have the same header
    // band and height, so equal positions show the same rows at the same
    // heights, even at the table's end where the last row is cut.
    for (int r = 0; r < m_nRows; ++r) {
        CKelGridView* pLeft = m_panes[size_t(r)][0];
        CKelGridView* pRight = m_panes[size_t(r)][1];
        if (!pLeft || !pRight)
            continue;
        CKelGridView* pSource = r == nFromRow ? pFrom : pLeft;
        CKelGridView* pOther = pSource == pLeft ? pRight : pLeft;
        follow(pOther, pOther->GetHorzPos(), pSource->GetVertPos());
    }
    for (int c = 0; c < m_nCols; ++c) {
        CKelGridView* pTop = m_panes[0][size_t(c)];
        CKelGridView* pBottom = m_panes[1][size_t(c)];
        if (!pTop || !pBottom)
            continue;
        CKelGridView* pSource = c == nFromCol ? pFrom : pTop;
        CKelGridView* pOther = pSource == pTop ? pBottom : pTop;
        follow(pOther, pSource->GetHorzPos(), pOther->GetVertPos());
    }
}

void CKelSplitterWnd::OnBarAction(int nBar, int nIndex, int nAction) {
    // The active pane moves when the bar is its own; otherwise the first
    // pane of that row or column. The others follow it.
    CKelGridView* pPane = nullptr;
    int nRow = -1, nCol = -1;
    if (m_pActive && FindPane(m_pActive, nRow, nCol) && (nBar == SB_VERT ? nRow : nCol) == nIndex)
        pPane = m_pActive;
    else
        pPane = nBar == SB_VERT ? GetPane(nIndex, 0) : GetPane(0, nIndex);
    if (!pPane)
        return;
    pPane->OnSharedScrollBarAction(nBar, nAction);
    SyncScrollPositions(pPane);
}

void CKelSplitterWnd::CopyColumnWidths(CKelGridView* pFrom) {
    for (size_t r = 0; r < 2; ++r)
        for (size_t c = 0; c < 2; ++c) {
            CKelGridView* pPane = m_panes[r][c];
            if (!pPane || pPane == pFrom)
                continue;
            const int nColumns = std::min(pPane->GetColumnCount(-1), pFrom->GetColumnCount(-1));
            for (int i = 0; i < nColumns; ++i)
                if (pPane->GetColumnWidth(i, -1) != pFrom->GetColumnWidth(i, -1))
                    pPane->SetColumnWidth(i, -1, pFrom->GetColumnWidth(i, -1));
            pPane->SetFixedColumnWidth(pFrom->GetFixedColumnWidth(), false);
            pPane->RecalcLayout();
            pPane->viewport()->update();
        }
}

void CKelSplitterWnd::OnPaneNotify(CKelGridView* pPane, unsigned nMessage, quintptr wParam, qintptr lParam) {
    if (GetPaneCount() < 2)
        return;
    switch (nMessage) {
    case WM_GRID_CURCELLCHANGED:
    case WM_GRID_SELCHANGED:
        // The pane has scrolled its current cell or selection end into view.
        SyncScrollPositions(pPane);
        break;
    case WM_GRID_COLRESIZED:
        CopyColumnWidths(pPane);
        SyncScrollPositions(pPane);
        break;
    case WM_GRID_CELLCOMMITTED: {
        const int nCol = int(wParam);
        const GridRow nRow = GridRow(lParam);
        for (size_t r = 0; r < 2; ++r)
            for (size_t c = 0; c < 2; ++c) {
                CKelGridView* p = m_panes[r][c];
                if (!p)
                    continue;
                p->InvalidateCell(nCol, nRow);
                const bool bCurrent = p->GetCurrentColumn() - p->GetFixedColumnCount() == nCol &&
                                      p->GetCurrentRow() - p->GetFixedRowCount() == nRow;
                if (CKelCellEditor* pEditor = bCurrent ? p->GetCurrentEditor() : nullptr)
                    p->LoadCellEditor(nCol, nRow, pEditor);
            }
        break;
    }
    case WM_GRID_ROWCOUNT: {
        const GridRow nCount = GridRow(lParam);
        for (size_t r = 0; r < 2; ++r)
            for (size_t c = 0; c < 2; ++c) {
                CKelGridView* p = m_panes[r][c];
                if (!p || p->GetRowCount() == nCount)
                    continue;
                p->SetRowCount(nCount, false);
                p->RecalcLayout();
                p->viewport()->update();
            }
        SyncScrollPositions(pPane);
        break;
    }
    default:
        break;
    }
}

// ---- layout and painting -------------------------------------------------------------------

int CKelSplitterWnd::ScrollBarSize() const { return platform::GetSystemMetrics(platform::SM_CXVSCROLL); }
int CKelSplitterWnd::InnerWidth() const { return std::max(0, width() - ScrollBarSize()); }
int CKelSplitterWnd::InnerHeight() const { return std::max(0, height() - ScrollBarSize()); }

int CKelSplitterWnd::GetRowSplit() const { return m_nRows == 2 ? m_nRowSplit : InnerHeight(); }
int CKelSplitterWnd::GetColumnSplit() const { return m_nCols == 2 ? m_nColSplit : InnerWidth(); }

QRect CKelSplitterWnd::GetRowSplitBoxRect() const {
    if (m_nRows != 1 || m_nMaxRows < 2)
        return QRect();
    return QRect(InnerWidth(), 0, ScrollBarSize(), kBarSize);
}

QRect CKelSplitterWnd::GetColumnSplitBoxRect() const {
    if (m_nCols != 1 || m_nMaxCols < 2)
        return QRect();
    return QRect(0, InnerHeight(), kBarSize, ScrollBarSize());
}

QRect CKelSplitterWnd::GetRowSplitBarRect() const {
    return m_nRows == 2 ? QRect(0, m_nRowSplit, width(), kBarSize) : QRect();
}

QRect CKelSplitterWnd::GetColumnSplitBarRect() const {
    return m_nCols == 2 ? QRect(m_nColSplit, 0, kBarSize, height()) : QRect();
}

void CKelSplitterWnd::LayoutPanes() {
    const int sb = ScrollBarSize();
    const int cxInner = InnerWidth(), cyInner = InnerHeight();
    if (m_nRows == 2)
        m_nRowSplit = std::clamp(m_nRowSplit, 0, std::max(0, cyInner - kBarSize));
    if (m_nCols == 2)
        m_nColSplit = std::clamp(m_nColSplit, 0, std::max(0, cxInner - kBarSize));
    int aRowTop[2] = {0, m_nRowSplit + kBarSize};
    int aRowHeight[2] = {m_nRows == 2 ? m_nRowSplit : cyInner, std::max(0, cyInner - m_nRowSplit - kBarSize)};
    int aColLeft[2] = {0, m_nColSplit + kBarSize};
    int aColWidth[2] = {m_nCols == 2 ? m_nColSplit : cxInner, std::max(0, cxInner - m_nColSplit - kBarSize)};

    for (int r = 0; r < 2; ++r) {
        QScrollBar* pBar = m_vbars[size_t(r)];
        if (r >= m_nRows) {
            pBar->hide();
            continue;
        }
        const int nBox = r == 0 && !GetRowSplitBoxRect().isEmpty() ? kBarSize : 0;
        pBar->setGeometry(cxInner, aRowTop[r] + nBox, sb, std::max(0, aRowHeight[r] - nBox));
        pBar->show();
    }
    for (int c = 0; c < 2; ++c) {
        QScrollBar* pBar = m_hbars[size_t(c)];
        if (c >= m_nCols) {
            pBar->hide();
            continue;
        }
        const int nBox = c == 0 && !GetColumnSplitBoxRect().isEmpty() ? kBarSize : 0;
        pBar->setGeometry(aColLeft[c] + nBox, cyInner, std::max(0, aColWidth[c] - nBox), sb);
        pBar->show();
    }
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (CKelGridView* pPane = m_panes[size_t(r)][size_t(c)]) {
                pPane->setGeometry(aColLeft[c], aRowTop[r], aColWidth[c], aRowHeight[r]);
                // Bars change hands when panes move between rows: every
                // pane sets its bar's range again.
                pPane->RecalcLayout();
            }
    m_pTrackOverlay->setGeometry(rect());
    m_pTrackOverlay->raise();
    SyncScrollPositions(m_pActive);
}

void CKelSplitterWnd::resizeEvent(QResizeEvent*) { LayoutPanes(); }

void CKelSplitterWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const int sb = ScrollBarSize();
    painter.fillRect(QRect(InnerWidth(), InnerHeight(), sb, sb), face);
    for (const QRect& rcBar : {GetRowSplitBarRect(), GetColumnSplitBarRect()}) {
        if (rcBar.isEmpty())
            continue;
        painter.fillRect(rcBar, face);
        qDrawShadePanel(&painter, rcBar, pal, false, 1);
    }
    for (const QRect& rcBox : {GetRowSplitBoxRect(), GetColumnSplitBoxRect()}) {
        if (rcBox.isEmpty())
            continue;
        qDrawShadePanel(&painter, rcBox, pal, false, 1, &pal.brush(QPalette::Button));
    }
}

// ---- splitting with the mouse and the keyboard ----------------------------------------------

CKelSplitterWnd::Hit CKelSplitterWnd::HitTest(const QPoint& pt) const {
    if (GetRowSplitBoxRect().contains(pt))
        return Hit::rowBox;
    if (GetColumnSplitBoxRect().contains(pt))
        return Hit::colBox;
    const bool bRowBar = GetRowSplitBarRect().contains(pt), bColBar = GetColumnSplitBarRect().contains(pt);
    if (bRowBar && bColBar)
        return Hit::bothBars;
    if (bRowBar)
        return Hit::rowBar;
    if (bColBar)
        return Hit::colBar;
    return Hit::none;
}

void CKelSplitterWnd::StartTracking(bool bRow, bool bCol) {
    m_bTrackRow = bRow;
    m_bTrackCol = bCol;
    // Where the splits are; unsplit directions start in the middle.
    m_nTrackY = m_nRows == 2 ? m_nRowSplit : InnerHeight() / 2;
    m_nTrackX = m_nCols == 2 ? m_nColSplit : InnerWidth() / 2;
    m_pTrackOverlay->setGeometry(rect());
    m_pTrackOverlay->raise();
    m_pTrackOverlay->show();
    ShowTracking();
}

void CKelSplitterWnd::ShowTracking() {
    static_cast<CTrackOverlay*>(m_pTrackOverlay)->SetLines(m_bTrackRow, m_nTrackY, m_bTrackCol, m_nTrackX);
}

void CKelSplitterWnd::MoveTracking(const QPoint& pt) {
    if (m_bTrackRow)
        m_nTrackY = std::clamp(pt.y() - kBarSize / 2, 0, InnerHeight());
    if (m_bTrackCol)
        m_nTrackX = std::clamp(pt.x() - kBarSize / 2, 0, InnerWidth());
    ShowTracking();
}

void CKelSplitterWnd::EndTracking(bool bApply) {
    const bool bRow = m_bTrackRow, bCol = m_bTrackCol;
    const int y = m_nTrackY, x = m_nTrackX;
    m_bTrackRow = m_bTrackCol = false;
    m_pTrackOverlay->hide();
    if (m_bKeyboardTracking) {
        m_bKeyboardTracking = false;
        qApp->removeEventFilter(this);
        if (m_pActive)
            m_pActive->setFocus(Qt::OtherFocusReason);
    }
    if (!bApply)
        return;
    if (bRow)
        ApplyRowPosition(y);
    if (bCol)
        ApplyColumnPosition(x);
}

// A line dragged to within the minimum pane size of an edge removes the
// row of panes on that side; anywhere else it splits or moves the split.
void CKelSplitterWnd::ApplyRowPosition(int y) {
    const int nMin = m_sizeMin.height();
    const bool bTopTooSmall = y < nMin, bBottomTooSmall = InnerHeight() - y - kBarSize < nMin;
    if (m_nRows == 1) {
        if (!bTopTooSmall && !bBottomTooSmall)
            SplitRow(y);
    } else if (bTopTooSmall) {
        DeleteRow(0);
    } else if (bBottomTooSmall) {
        DeleteRow(1);
    } else if (y != m_nRowSplit) {
        m_nRowSplit = y;
        LayoutPanes();
        update();
    }
}

void CKelSplitterWnd::ApplyColumnPosition(int x) {
    const int nMin = m_sizeMin.width();
    const bool bLeftTooSmall = x < nMin, bRightTooSmall = InnerWidth() - x - kBarSize < nMin;
    if (m_nCols == 1) {
        if (!bLeftTooSmall && !bRightTooSmall)
            SplitColumn(x);
    } else if (bLeftTooSmall) {
        DeleteColumn(0);
    } else if (bRightTooSmall) {
        DeleteColumn(1);
    } else if (x != m_nColSplit) {
        m_nColSplit = x;
        LayoutPanes();
        update();
    }
}

void CKelSplitterWnd::DoKeyboardSplit() {
    if (IsTracking() || !m_panes[0][0])
        return;
    const bool bRow = m_nMaxRows > 1, bCol = m_nMaxCols > 1;
    if (!bRow && !bCol)
        return;
    m_bKeyboardTracking = true;
    StartTracking(bRow, bCol);
    // The mouse goes to where the lines cross, so that moving it moves them
    // from there rather than making them jump. Until the tracking ends every
    // key and mouse event of the program is the tracking's, as a grab would
    // have them, on platforms that allow no grabs too.
    QCursor::setPos(mapToGlobal(QPoint(m_nTrackX + kBarSize / 2, m_nTrackY + kBarSize / 2)));
    qApp->installEventFilter(this);
}

bool CKelSplitterWnd::OnTrackingKey(int nKey) {
    switch (nKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndTracking(true);
        return true;
    case Qt::Key_Escape:
        EndTracking(false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_bTrackRow)
            m_nTrackY = std::clamp(m_nTrackY + (nKey == Qt::Key_Up ? -kKeyStep : kKeyStep), 0, InnerHeight());
        ShowTracking();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_bTrackCol)
            m_nTrackX = std::clamp(m_nTrackX + (nKey == Qt::Key_Left ? -kKeyStep : kKeyStep), 0, InnerWidth());
        ShowTracking();
        return true;
    default:
        return false;
    }
}

void CKelSplitterWnd::mousePressEvent(QMouseEvent* pEvent) {
    const QPoint pt = pEvent->position().toPoint();
    if (IsTracking() || pEvent->button() != Qt::LeftButton)
        return;
    switch (HitTest(pt)) {
    case Hit::rowBox:
    case Hit::rowBar:
        StartTracking(true, false);
        MoveTracking(pt);
        break;
    case Hit::colBox:
    case Hit::colBar:
        StartTracking(false, true);
        MoveTracking(pt);
        break;
    case Hit::bothBars:
        StartTracking(true, true);
        MoveTracking(pt);
        break;
    case Hit::none:
        break;
    }
}

void CKelSplitterWnd::mouseMoveEvent(QMouseEvent* pEvent) {
    const QPoint pt = pEvent->position().toPoint();
    if (IsTracking()) {
        MoveTracking(pt);
        return;
    }
    switch (HitTest(pt)) {
    case Hit::rowBox:
    case Hit::rowBar:
        setCursor(Qt::SplitVCursor);
        break;
    case Hit::colBox:
    case Hit::colBar:
        setCursor(Qt::SplitHCursor);
        break;
    case Hit::bothBars:
        setCursor(Qt::SizeAllCursor);
        break;
    case Hit::none:
        unsetCursor();
        break;
    }
}

void CKelSplitterWnd::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (IsTracking() && !m_bKeyboardTracking && pEvent->button() == Qt::LeftButton) {
        MoveTracking(pEvent->position().toPoint());
        EndTracking(true);
    }
}

bool CKelSplitterWnd::eventFilter(QObject* pWatched, QEvent* pEvent) {
    const QEvent::Type type = pEvent->type();
    if (m_bKeyboardTracking) {
        switch (type) {
        case QEvent::ShortcutOverride:
            pEvent->accept();  // no menu shortcut while the lines are tracked
            return true;
        case QEvent::KeyPress:
            OnTrackingKey(static_cast<QKeyEvent*>(pEvent)->key());
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        case QEvent::MouseMove:
            MoveTracking(mapFromGlobal(static_cast<QMouseEvent*>(pEvent)->globalPosition().toPoint()));
            return true;
        case QEvent::MouseButtonPress:
            // The left button applies the lines where they are, any other cancels.
            EndTracking(static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton);
            return true;
        case QEvent::WindowDeactivate:
            if (pWatched == window())
                EndTracking(false);
            return false;
        default:
            return false;
        }
    }
    // The wheel scrolls no Peekrow window, its bars included.
    if (type == QEvent::Wheel && (pWatched == m_vbars[0] || pWatched == m_vbars[1] || pWatched == m_hbars[0] ||
                                  pWatched == m_hbars[1]))
        return true;
    return QWidget::eventFilter(pWatched, pEvent);
}
