// The drop-down list editor of a grid cell that takes a choice at once: when
// the user confirms an item (a click in the dropped list, Enter there, a
// letter or Shift+arrow in the closed box) it posts command 1001 to the grid,
// which commits the cell there and then, so that what follows from the
// choice shows while the list is still open.
#pragma once

#include "grid/grid_combo.h"

class CKelGridList : public CKelGridCombo {
public:
    static constexpr unsigned kChoiceCommand = 1001;

    CKelGridList() = default;
    ~CKelGridList() override;

    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    void DestroyEditor() override;
    // Puts an item at a position of the list; returns its index.
    int InsertString(int nIndex, const std::string& strText, int nItemData);

private:
    QMetaObject::Connection m_activated;
};
