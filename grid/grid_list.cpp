// The list editor that commits on a confirmed choice.
#include "grid/grid_list.h"

#include <algorithm>

#include "platform/ui/command_event.h"

CKelGridList::~CKelGridList() { QObject::disconnect(m_activated); }

bool CKelGridList::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    if (!CKelGridCombo::CreateEditor(nStyle, pParent, nId))
        return false;
    // Qt reports a confirmed choice as "activated", also when the same item
    // is chosen again; the grid's commit then finds nothing to change.
    QPointer<QWidget> pGrid = GetGridWidget();
    m_activated = QObject::connect(GetComboBox(), &QComboBox::activated, GetComboBox(),
                                   [pGrid] { platform::PostCommand(pGrid, kChoiceCommand, 0); });
    return true;
}

void CKelGridList::DestroyEditor() {
    QObject::disconnect(m_activated);
    CKelGridCombo::DestroyEditor();
}

int CKelGridList::InsertString(int nIndex, const std::string& strText, int nItemData) {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo)
        return -1;
    nIndex = nIndex < 0 ? pCombo->count() : std::min(nIndex, pCombo->count());
    pCombo->insertItem(nIndex, ToWidgetText(strText), nItemData);
    return nIndex;
}
