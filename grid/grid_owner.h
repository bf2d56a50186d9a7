// The narrow interface through which the grid engine reaches the window that
// shows it. The engine never sees a toolkit window: a Qt widget implements
// this (CKelGridWindow), and tests implement it with a recording fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "grid/grid_types.h"

class CKelGridOwner {
public:
    virtual ~CKelGridOwner() = default;

    // False once the window is gone: nothing more is posted to it.
    virtual bool IsWindow() const = 0;
    // The value passed as "owner window" in notifications.
    virtual uintptr_t GetWindowId() const = 0;
    // The owner's style: the GS_ bits, plus WS_HSCROLL and WS_VSCROLL while
    // the window shows its own scroll bars.
    virtual uint32_t GetStyle() const = 0;

    virtual platform::Size GetClientSize() const = 0;
    // A parent that lays its panes out itself (a splitter) answers with the
    // rectangle it gives this window; false when the parent does not.
    virtual bool GetParentLayoutRect(platform::Rect& rc) const {
        (void)rc;
        return false;
    }

    // Repainting: nullptr invalidates the whole client area. ScrollWindow
    // moves the pixels of rcArea by (dx, dy) and invalidates what it uncovers.
    virtual void InvalidateRect(const platform::Rect* pRect) = 0;
    virtual void ScrollWindow(int dx, int dy, const platform::Rect& rcArea) = 0;
    // Paints what is invalid now, where the toolkit allows it.
    virtual void UpdateWindow() = 0;
    // The column-resize line: an inverted one-pixel vertical line across the
    // client area at x; -1 removes it.
    virtual void ShowTrackingLine(int x) = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetFocus() = 0;
    virtual void SetCursorShape(int nCursor) = 0;
    // The mouse position in client coordinates.
    virtual platform::Point GetCursorPos() const = 0;
    // Whether a key (VK_SHIFT, VK_CONTROL) is held now.
    virtual bool IsKeyDown(int nVirtKey) const = 0;
    virtual unsigned GetWheelScrollLines() const = 0;

    // Notifications to the owner's parent: sent at once, or posted to arrive
    // after the current event.
    virtual intptr_t SendNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void PostNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) = 0;

    // Scroll bars, in scroll-bar units. A scroll-bar control is a bar outside
    // the window (a splitter's shared bar) that is enabled.
    virtual bool HasScrollBarControl(int nBar) const {
        (void)nBar;
        return false;
    }
    virtual bool IsScrollBarShown(int nBar) const = 0;
    virtual void ShowScrollBar(int nBar, bool bShow) = 0;
    // Sets range, page and position; false when the bar cannot take a page
    // size, in which case the caller sets a plain range instead.
    virtual bool SetScrollInfo(int nBar, int nMin, int nMax, int nPage, int nPos) = 0;
    virtual void SetScrollRange(int nBar, int nMin, int nMax) = 0;
    virtual void SetScrollPos(int nBar, int nPos) = 0;

    // Tells the user why the data owner refused a cell's value (UTF-8 text).
    // Called once per refusal; a window shows it after the current event.
    virtual void ShowCommitError(const std::string& strText) { (void)strText; }
    // Runs fn with a context that measures text as the window paints it (its
    // fonts and code page); false when the window has none.
    virtual bool MeasureWith(const std::function<void(platform::CDrawContext&)>& fn) {
        (void)fn;
        return false;
    }
};
