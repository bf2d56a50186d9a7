// A Qt window that shows a grid engine: a scroll area whose viewport is the
// grid's client area and whose scroll bars the engine drives. It implements
// the engine's owner interface and forwards paint, size, mouse, wheel, key,
// focus and scroll-bar events to the engine. Notifications leave it as the
// gridNotify signal, so a parent (or a test) sees them in order.
#pragma once

#include <QAbstractScrollArea>

#include "grid/column_grid.h"
#include "grid/grid_owner.h"

class QInputEvent;
class QScrollBar;

class CKelGridWindow : public QAbstractScrollArea, public CKelGridOwner {
    Q_OBJECT
public:
    explicit CKelGridWindow(QWidget* pParent = nullptr);
    ~CKelGridWindow() override;

    // Attaches the engine this window shows (not owned) and makes this window
    // its owner. nullptr detaches.
    void SetGrid(CKelColumnGrid* pGrid);
    CKelColumnGrid* GetGrid() const { return m_pGrid; }
    // The GS_ style bits the engine reads.
    void SetGridStyle(uint32_t nStyle);
    uint32_t GetGridStyle() const { return m_nGridStyle; }
    int GetTrackingLine() const { return m_nTrackX; }

    // ---- CKelGridOwner ------------------------------------------------------------
    bool IsWindow() const override { return true; }
    uintptr_t GetWindowId() const override { return reinterpret_cast<uintptr_t>(this); }
    uint32_t GetStyle() const override;
    platform::Size GetClientSize() const override;
    void InvalidateRect(const platform::Rect* pRect) override;
    void ScrollWindow(int dx, int dy, const platform::Rect& rcArea) override;
    void UpdateWindow() override;
    void ShowTrackingLine(int x) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void SetFocus() override;
    void SetCursorShape(int nCursor) override;
    platform::Point GetCursorPos() const override;
    bool IsKeyDown(int nVirtKey) const override;
    unsigned GetWheelScrollLines() const override;
    intptr_t SendNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) override;
    void PostNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) override;
    bool IsScrollBarShown(int nBar) const override;
    void ShowScrollBar(int nBar, bool bShow) override;
    bool SetScrollInfo(int nBar, int nMin, int nMax, int nPage, int nPos) override;
    void SetScrollRange(int nBar, int nMin, int nMax) override;
    void SetScrollPos(int nBar, int nPos) override;
    // A warning box with the text, after the current event (a press is not
    // left half handled); one at a time.
    void ShowCommitError(const std::string& strText) override;
    bool MeasureWith(const std::function<void(platform::CDrawContext&)>& fn) override;

signals:
    void gridNotify(unsigned nMessage, quintptr wParam, qintptr lParam);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    bool focusNextPrevChild(bool bNext) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent* pEvent) override;

    // An action of the scroll bar that stands for nBar, handed to the engine.
    virtual void OnScrollAction(int nBar, int nAction);
    // The bar the engine's SB_HORZ or SB_VERT drives: the window's own, or one
    // a derived window borrows (a splitter's shared bar).
    virtual QScrollBar* Bar(int nBar) const;

private:
    unsigned MouseFlags(const QMouseEvent* pEvent) const;
    void RememberInput(const QInputEvent* pEvent);

    CKelColumnGrid* m_pGrid = nullptr;
    uint32_t m_nGridStyle = 0;
    int m_nTrackX = -1;
    bool m_bSettingBars = false;
    bool m_bCaptured = false;
    bool m_bCommitErrorPending = false;
    Qt::KeyboardModifiers m_modifiers;
    QPoint m_ptMouse;
};

// Virtual key code of a Qt key, 0 for keys the grid does not know.
int VirtualKeyFromQt(int nQtKey);
// The scroll code (SB_LINEDOWN, ...) of a Qt slider action; -1 for none.
int ScrollCodeFromQtAction(int nAction);
