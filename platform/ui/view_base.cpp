// Command tables and update rules of views.
#include "platform/ui/view_base.h"

#include <QAction>

namespace platform {

void CCmdUI::ApplyTo(QAction& action) const {
    action.setEnabled(m_bEnabled);
    if (!m_bHandled)
        return;
    // A radio mark and a check mark are both a checked action; QActionGroup
    // decides how the frame draws it.
    action.setCheckable(m_bRadio || m_nCheck != 0 || action.isCheckable());
    action.setChecked(m_nCheck != 0);
}

void CCommandMap::Add(unsigned nId, Handler handler, UpdateRule rule) {
    m_entries[nId] = Entry{std::move(handler), std::move(rule)};
}

void CCommandMap::Remove(unsigned nId) { m_entries.erase(nId); }

bool CCommandMap::Run(unsigned nId) const {
    auto it = m_entries.find(nId);
    if (it == m_entries.end() || !it->second.handler)
        return false;
    it->second.handler();
    return true;
}

bool CCommandMap::HasHandler(unsigned nId) const {
    auto it = m_entries.find(nId);
    return it != m_entries.end() && it->second.handler;
}

bool CCommandMap::Update(CCmdUI& cmdUI) const {
    auto it = m_entries.find(cmdUI.GetId());
    if (it == m_entries.end() || !it->second.rule)
        return false;
    it->second.rule(cmdUI);
    return true;
}

}  // namespace platform
