#include "platform/EventLoop.h"

#include <QCoreApplication>

namespace platform {

void YieldToWindows() { QCoreApplication::processEvents(); }

void WindowTurns::yieldIfDue() {
    if (m_sinceTurn.isValid() && m_sinceTurn.elapsed() < m_intervalMs) return;
    YieldToWindows();
    m_sinceTurn.start();
}

}  // namespace platform
