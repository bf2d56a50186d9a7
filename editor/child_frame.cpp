// The table window and its status panes.
#include "editor/child_frame.h"

#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/toolbar_icons.h"

CChildFrame::CChildFrame(platform::CDocument& document, QWidget* pParent) : platform::CChildFrame(document, pParent) {
    setWindowIcon(TabulonIcon());
    auto paneRule = [this](bool bField) {
        return [this, bField](platform::CCmdUI& ui) {
            auto* pView = dynamic_cast<CDBFView*>(GetActiveView());
            ui.SetText(pView ? (bField ? pView->GetFieldPaneText() : pView->GetRecordPaneText()) : QString());
        };
    };
    m_commands.Add(ID_INDICATOR_FIELD, nullptr, paneRule(true));
    m_commands.Add(ID_INDICATOR_RECORD, nullptr, paneRule(false));
}
