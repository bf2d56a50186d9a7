// The interface between the grid and an in-place cell editor. Used on its own
// this class is the null editor: it keeps the text and value it was given and
// is never modified, so the whole editing protocol (load, end, commit) runs
// without an editor window. Real editors derive from it and a toolkit control.
#pragma once

#include <cstdint>
#include <string>

#include "grid/grid_types.h"

class CKelGridOwner;

class CKelCellEditor {
public:
    CKelCellEditor() = default;
    virtual ~CKelCellEditor() = default;
    CKelCellEditor(const CKelCellEditor&) = delete;
    CKelCellEditor& operator=(const CKelCellEditor&) = delete;

    // A click on the cell, relative to its top-left corner.
    virtual void OnCellClick(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual bool SetEditorFont(const platform::CFont& font, bool bRedraw) {
        (void)font;
        (void)bRedraw;
        return true;
    }
    virtual void SetModified(bool bModified) { (void)bModified; }
    virtual bool EnableEditor(bool bEnable) {
        (void)bEnable;
        return true;
    }
    virtual bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
        (void)nStyle;
        (void)pParent;
        (void)nId;
        return true;
    }
    virtual bool ShowEditor(int x, int y, int cx, int cy) {
        (void)x;
        (void)y;
        (void)cx;
        (void)cy;
        return true;
    }
    virtual bool HideEditor() { return true; }
    virtual void SetEditorValue(const std::string& strText, int nValue) {
        m_strText = strText;
        m_nValue = nValue;
    }
    virtual GridCellValue GetEditorValue() const { return GridCellValue{m_strText, m_nValue}; }
    virtual bool IsModified() const { return false; }
    virtual bool ValidateEditor() { return true; }
    virtual void DestroyEditor() {}
    virtual bool IsEditorActive() const { return false; }
    virtual bool CanCut() const { return false; }
    virtual bool CanCopy() const { return false; }
    virtual bool CanPaste() const { return false; }
    virtual bool CanUndo() const { return false; }
    virtual void Cut() {}
    virtual void Copy() {}
    virtual void Paste() {}
    virtual void Undo() {}

    // The grid's focus-frame record, given at creation (the combo box draws it).
    void SetFocusFrame(const GridFocusFrame* pFrame) { m_pFocusFrame = pFrame; }
    const GridFocusFrame* GetFocusFrame() const { return m_pFocusFrame; }

protected:
    const GridFocusFrame* m_pFocusFrame = nullptr;
    std::string m_strText;
    int m_nValue = -1;
};
