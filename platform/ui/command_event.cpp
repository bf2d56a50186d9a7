// The posted command event.
#include "platform/ui/command_event.h"

#include <QCoreApplication>

namespace platform {

QEvent::Type CCommandEvent::Type() {
    static const QEvent::Type s_type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return s_type;
}

void PostCommand(QObject* pTarget, unsigned nId, unsigned nCode) {
    if (pTarget)
        QCoreApplication::postEvent(pTarget, new CCommandEvent(nId, nCode));
}

}  // namespace platform
