// Commands posted between windows: a command id with a notification code,
// delivered to the target after the current event, as a control tells its
// parent about something the user did (a list confirming a choice, a grid
// whose current cell moved). The target picks them out in its event().
#pragma once

#include <QEvent>

class QObject;

namespace platform {

class CCommandEvent : public QEvent {
public:
    CCommandEvent(unsigned nId, unsigned nCode) : QEvent(Type()), m_nId(nId), m_nCode(nCode) {}
    static QEvent::Type Type();

    unsigned GetId() const { return m_nId; }
    unsigned GetCode() const { return m_nCode; }

private:
    unsigned m_nId;
    unsigned m_nCode;
};

// Posts command nId with notification code nCode to pTarget; nothing when
// there is no target.
void PostCommand(QObject* pTarget, unsigned nId, unsigned nCode = 0);

// The command an event carries, or nullptr when it is not a command.
inline const CCommandEvent* AsCommand(const QEvent* pEvent) {
    return pEvent && pEvent->type() == CCommandEvent::Type() ? static_cast<const CCommandEvent*>(pEvent) : nullptr;
}

}  // namespace platform
