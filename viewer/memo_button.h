// The memo cell's button: the only in-place "editor" a Peekrow grid has. It
// sits at the right end of the current cell of a memo or general column, a
// small square push button reading "...". A click, Space or F2 asks its view
// to show the memo's text (command 1000, posted); Tab, Enter and the
// navigation keys go on to the grid; every other key (a modifier alone,
// Ctrl+C and the other accelerators) is left alone.
#pragma once

#include <functional>

#include <QPushButton>

#include "grid/widget_editor.h"

class CMemoButton;

class CMemoButtonWidget : public QPushButton {
    Q_OBJECT
public:
    explicit CMemoButtonWidget(CMemoButton& editor, QWidget* pParent = nullptr);

    // Whether a key press opens the memo: Space and F2, without Ctrl or Alt.
    static bool IsOpenKey(int nKey, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;

private:
    CMemoButton& m_editor;
};

class CMemoButton : public CKelWidgetEditor {
public:
    // Called (after the current event) when the button asks for the memo.
    using OpenFunction = std::function<void()>;
    // Called when the button lost the focus to a window that is not its grid.
    using FocusLostFunction = std::function<void()>;

    void SetOpenFunction(OpenFunction open) { m_open = std::move(open); }
    void SetFocusLostFunction(FocusLostFunction lost) { m_focusLost = std::move(lost); }

    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    // A square as high as the cell (or as wide, when narrower) at the cell's
    // right end, one pixel below its top. It takes the keyboard only from its
    // own grid: a pane that is not the one the user works in keeps its button
    // without taking the focus from the active pane.
    bool ShowEditor(int x, int y, int cx, int cy) override;

    CMemoButtonWidget* GetButton() const { return static_cast<CMemoButtonWidget*>(GetWidget()); }

    // What the widget does with a click, an open key or a lost focus.
    void RequestOpen();
    void OnFocusLost(QWidget* pNewFocus);

private:
    OpenFunction m_open;
    FocusLostFunction m_focusLost;
};
