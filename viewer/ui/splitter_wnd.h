// Peekrow's table window client: up to two rows and two columns of grid
// panes over the same table that behave as one table. Only the top panes show
// the header row and only the left panes the row-header column; panes of a
// row of panes share one vertical scroll bar and stay at the same vertical
// pixel position, panes of a column of panes share one horizontal bar and the
// same horizontal position, and column widths and the row count are the same
// everywhere. The user splits with the split boxes at the ends of the scroll
// bars, moves or removes a split by dragging its bar (to an edge removes it),
// or uses the Split command, which tracks the split lines with the keyboard.
//
// The program decides what each pane is through the pane factory; panes are
// grid views (CKelPaneView for Peekrow's, which ignore the wheel).
#pragma once

#include <array>
#include <functional>

#include <QWidget>

#include "grid/grid_view.h"
#include "platform/ui/view_base.h"

class QScrollBar;

class CKelSplitterWnd : public QWidget, public platform::CScrollBarHost {
    Q_OBJECT
public:
    // Command ids of the frame that the splitter answers.
    enum CommandId : unsigned {
        ID_WINDOW_SPLIT = 57653,
        ID_NEXT_PANE = 57680,
        ID_PREV_PANE = 57681,
    };

    // Makes the view of pane (nRow, nCol), a child of pSplitter; nullptr when
    // it cannot. Its scroll bars are the splitter's from the start.
    using PaneFactory = std::function<CKelGridView*(CKelSplitterWnd* pSplitter, int nRow, int nCol)>;

    explicit CKelSplitterWnd(QWidget* pParent = nullptr);
    ~CKelSplitterWnd() override;

    // Creates pane (0, 0), which becomes the active pane. Its initial update
    // is the frame's to run once the document is open; panes made later by a
    // split get theirs at once. At most nMaxRows × nMaxCols panes (1 or 2
    // each), none smaller than sizeMin. False when the factory fails.
    bool Create(PaneFactory factory, int nMaxRows = 2, int nMaxCols = 2, QSize sizeMin = QSize(10, 10));

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetPaneCount() const { return m_nRows * m_nCols; }
    CKelGridView* GetPane(int nRow, int nCol) const;
    // The position of a pane (or of a window inside one); false for others.
    bool FindPane(const QWidget* pWidget, int& nRow, int& nCol) const;

    // The pane the frame treats as its active view: the one last given the
    // keyboard focus, or chosen here.
    CKelGridView* GetActivePane() const { return m_pActive; }
    void SetActivePane(int nRow, int nCol);
    // Next pane (F6) and previous pane (Shift+F6), in reading order, round.
    void ActivateNext(bool bPrevious = false);

    // The height of the top row of panes and the width of the left column of
    // panes (with one row or column: all the room there is).
    int GetRowSplit() const;
    int GetColumnSplit() const;

    // Splits at a height (top row's height) or width (left column's width),
    // in this window's coordinates; false when refused (already split, a pane
    // would be smaller than the minimum, or a view could not be made).
    bool SplitRow(int cyTop);
    bool SplitColumn(int cxLeft);
    // Removes a row or column of panes; the panes left in the top row get
    // the header row back, those in the left column the row-header column.
    void DeleteRow(int nRow);
    void DeleteColumn(int nCol);

    // The Split command: split lines follow the mouse and the arrow keys;
    // Enter or a click applies them, Escape cancels. A line moved to within the
    // minimum pane size of an edge removes that split.
    void DoKeyboardSplit();
    bool IsTracking() const { return m_bTrackRow || m_bTrackCol; }

    // Copies scroll positions from pFrom: vertical to the other pane of its
    // row of panes, horizontal to the other pane of its column, and aligns
    // the panes of the other row and column the same way. The splitter does
    // this itself after its bars, current-cell and selection changes,
    // resizes, splits and row-count changes; a program that scrolls a pane
    // by other means calls it.
    void SyncScrollPositions(CKelGridView* pFrom);

    // Commands 57653, 57680 and 57681 with their update rules: the split can
    // be tracked unless the splitter allows a single pane; next and previous
    // pane need two panes.
    bool OnCommand(unsigned nId) { return m_commands.Run(nId); }
    bool OnUpdateCommand(platform::CCmdUI& cmdUI) { return m_commands.Update(cmdUI); }

    // ---- CScrollBarHost -------------------------------------------------------------
    QScrollBar* GetPaneScrollBar(const QWidget* pPane, int nBar) const override;

    // Where the user grabs: the split box above the top vertical bar (splits
    // rows; empty once rows are split), the box left of the left horizontal
    // bar (splits columns), and the bars between panes (empty while unsplit).
    QRect GetRowSplitBoxRect() const;
    QRect GetColumnSplitBoxRect() const;
    QRect GetRowSplitBarRect() const;
    QRect GetColumnSplitBarRect() const;
    // The shared bars: vertical of a row of panes, horizontal of a column.
    QScrollBar* GetVerticalBar(int nRow) const { return m_vbars[size_t(nRow & 1)]; }
    QScrollBar* GetHorizontalBar(int nCol) const { return m_hbars[size_t(nCol & 1)]; }

signals:
    void activePaneChanged(CKelGridView* pPane);
    // A pane is about to go (a split removed); its OnDestroy runs next.
    void paneDeleting(CKelGridView* pPane);
    void paneCreated(CKelGridView* pPane, int nRow, int nCol);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    enum class Hit { none, rowBox, colBox, rowBar, colBar, bothBars };

    CKelGridView* CreatePane(int nRow, int nCol);
    void DeletePane(int nRow, int nCol);
    void InitNewPane(CKelGridView* pPane, int nRow, int nCol);
    void OnPaneNotify(CKelGridView* pPane, unsigned nMessage, quintptr wParam, qintptr lParam);
    void OnBarAction(int nBar, int nIndex, int nAction);
    void OnFocusChanged(QWidget* pNow);
    void SetActive(CKelGridView* pPane);
    void CopyColumnWidths(CKelGridView* pFrom);
    // Places panes, bars and boxes for the current counts and sizes.
    void LayoutPanes();
    int InnerWidth() const;
    int InnerHeight() const;
    int ScrollBarSize() const;
    Hit HitTest(const QPoint& pt) const;
    void StartTracking(bool bRow, bool bCol);
    void MoveTracking(const QPoint& pt);
    void ShowTracking();
    bool OnTrackingKey(int nKey);
    void EndTracking(bool bApply);
    void ApplyRowPosition(int y);
    void ApplyColumnPosition(int x);
    // A scroll position no later than the last a pane can show.
    static GridPos ClampVert(CKelGridView* pPane, GridPos y);
    static GridPos ClampHorz(CKelGridView* pPane, GridPos x);

    PaneFactory m_factory;
    int m_nMaxRows = 2, m_nMaxCols = 2;
    QSize m_sizeMin{10, 10};
    int m_nRows = 1, m_nCols = 1;
    int m_nRowSplit = 0;  // height of the top row of panes while split
    int m_nColSplit = 0;  // width of the left column of panes while split
    std::array<std::array<CKelGridView*, 2>, 2> m_panes{};
    CKelGridView* m_pActive = nullptr;
    std::array<QScrollBar*, 2> m_vbars{};
    std::array<QScrollBar*, 2> m_hbars{};
    // The pane being made: the factory's view asks for its bars before the
    // splitter knows it.
    int m_nCreatingRow = -1, m_nCreatingCol = -1;

    bool m_bTrackRow = false, m_bTrackCol = false;
    bool m_bKeyboardTracking = false;
    int m_nTrackY = 0, m_nTrackX = 0;
    QWidget* m_pTrackOverlay = nullptr;

    platform::CCommandMap m_commands;
};
