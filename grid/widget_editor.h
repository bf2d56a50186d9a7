// The Qt side shared by the in-place editors: each editor is a CKelCellEditor
// that owns one widget, a child of the grid's client area. The widget may be
// destroyed by Qt with its parent before the grid lets go of the editor, so the
// editor holds it weakly and every operation copes with its absence.
// Navigation keys an editor does not use are posted to the grid window as key
// presses, to arrive there as the grid's own keys after the current event;
// text crosses between the table's bytes and the widget through a codec.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QPointer>
#include <QWidget>

#include "grid/cell_editor.h"
#include "platform/ui/font.h"
#include "platform/ui/text_codec.h"

class QKeyEvent;

class CKelWidgetEditor : public CKelCellEditor {
public:
    ~CKelWidgetEditor() override;

    // ---- editor operations every widget editor shares -----------------------------
    bool SetEditorFont(const platform::CFont& font, bool bRedraw) override;
    bool EnableEditor(bool bEnable) override;
    // Disables, hides and shrinks the window to nothing.
    bool HideEditor() override;
    void DestroyEditor() override;
    bool IsEditorActive() const override;

    // The editor's window; nullptr before CreateEditor and once it is destroyed.
    QWidget* GetWidget() const { return m_pWidget; }
    // The window that receives typed keys (an editable combo box's inner edit).
    virtual QWidget* GetInputWidget() const { return m_pWidget; }
    // Whether a window is the editor's or one of its children (an editor of
    // several windows counts each of them).
    virtual bool OwnsWidget(const QWidget* pWidget) const;
    // The grid window keys are posted to; nullptr when the parent was not one.
    QWidget* GetGridWidget() const { return m_pGrid; }
    int GetEditorId() const { return m_nId; }
    uint32_t GetEditorStyle() const { return m_nStyle; }

    const platform::CFont& GetFont() const { return m_font; }
    void SetTextCodec(const platform::CTextCodec& codec) { m_codec = codec; }
    const platform::CTextCodec& GetTextCodec() const { return m_codec; }

    // Posts a key press of a virtual key (VK_TAB, VK_DOWN, ...) to the grid
    // window, with the modifiers that were held.
    void PostKeyToGrid(int nVirtKey, Qt::KeyboardModifiers modifiers) const;

protected:
    // Makes pWidget this editor's window: a hidden, disabled child of the
    // grid's client area with an empty rectangle. False when pParent is not a
    // window (a grid without a toolkit window has no editors).
    bool AttachWidget(QWidget* pWidget, class CKelGridOwner* pParent, uint32_t nStyle, int nId);
    // Lets the grid window watch a child of the editor (keys and focus).
    void WatchWidget(QWidget* pWidget) const;

    QString ToWidgetText(const std::string& strText) const { return m_codec.ToUnicode(strText); }
    std::string FromWidgetText(const QString& strText) const { return m_codec.FromUnicode(strText); }

    QPointer<QWidget> m_pWidget;
    QPointer<QWidget> m_pGrid;
    uint32_t m_nStyle = 0;
    int m_nId = 0;
    platform::CTextCodec m_codec;
    platform::CFont m_font;
};

// The keys an editor hands back to the grid, as Qt key codes and back.
int QtKeyFromVirtualKey(int nVirtKey);
// True for Tab, Enter, Page Up, Page Down, End, Home and the four arrows:
// the keys whose releases the editors swallow.
bool IsGridNavigationKey(int nQtKey);
// The caret rule of a single-line edit: Left leaves the edit when the text is
// empty or the caret stands before the first character, Right when it stands
// after the last one.
bool CaretLeavesEdit(int nQtKey, const QString& strText, int nCaret);

// The editors of the editor kinds of a column: GEK_EDIT, GEK_CHECK and
// GEK_COMBO; nullptr for any other kind. The grid control and view use it.
std::unique_ptr<CKelCellEditor> CreateStandardCellEditor(int nKind);
