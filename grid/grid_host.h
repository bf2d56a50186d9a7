// What the grid control and the grid view share: a grid window that carries
// its own engine (it is both the Qt window and the CKelColumnGrid), watches its
// editors' keys and focus, runs the clipboard commands on the current cell's
// editor, ends a pending edit before it goes away, and converts table text
// with one codec for painting and editing.
#pragma once

#include <memory>

#include <QPointer>

#include "grid/column_grid.h"
#include "grid/grid_window.h"
#include "platform/ui/text_codec.h"
#include "platform/ui/view_base.h"

class CKelGridHost : public CKelGridWindow, public CKelColumnGrid {
    Q_OBJECT
public:
    explicit CKelGridHost(QWidget* pParent = nullptr);
    ~CKelGridHost() override;

    // Both bases answer these; the window's answer is the one that counts.
    using CKelGridWindow::GetClientSize;
    using CKelGridWindow::GetStyle;

    // ---- commands ----------------------------------------------------------------
    // Copy, Cut, Paste and Undo (57634, 57635, 57637, 57643) act on the current
    // cell's editor and are enabled by what it can do; disabled without one.
    bool OnCommand(unsigned nId) { return m_commands.Run(nId); }
    bool OnUpdateCommand(platform::CCmdUI& cmdUI) { return m_commands.Update(cmdUI); }

    // ---- editors ---------------------------------------------------------------------
    // The current cell's editor, or none.
    CKelCellEditor* GetCurrentEditor();
    // Finds or creates the current cell's editor, loads it and places it: what
    // a new window does once it exists.
    void ActivateCurrentCell();
    // The codec of the table text this grid shows and edits (default: the
    // program's current ANSI page). Existing editors take it at once.
    void SetTextCodec(const platform::CTextCodec& codec);
    const platform::CTextCodec& GetTextCodec() const { return m_codec; }

    // The destroy step: the pending edit is ended, and thrown away if the data
    // owner refuses it. Runs when the window closes or is hidden (a dialog
    // that ends hides its controls before its caller reads the results), from
    // the view's OnDestroy, and last from the destructor, where only this
    // class's data-source operations are left to take the edit.
    void EndPendingEdit();

    // Data-source operations the window takes part in.
    void DrawGrid(platform::CDrawContext& dc) override;
    // Text is measured in the code page it is painted in.
    bool MeasureWith(const std::function<void(platform::CDrawContext&)>& fn) override;
    std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) override;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

    // A key press aimed at one of the editors' windows, before it is
    // delivered; true when consumed. The view lets every key through.
    virtual bool PreTranslateKey(QWidget* pTarget, QKeyEvent* pEvent);
    // The editor window that just handed the focus to this window, if any;
    // asking forgets it.
    QWidget* TakeLostFocusWidget();
    // The current cell's editor when pWidget is its window (or a child of
    // it), else nullptr: the "window that lost the focus" of OnFocusIn.
    const CKelCellEditor* CurrentEditorOwning(const QWidget* pWidget);

    platform::CCommandMap m_commands;

private:
    void AddEditorCommand(unsigned nId, void (CKelCellEditor::*pfnRun)(), bool (CKelCellEditor::*pfnCan)() const);
    void DestroyEditors();

    platform::CTextCodec m_codec;
    QPointer<QWidget> m_pLostFocus;
};
