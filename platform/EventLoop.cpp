#include "platform/EventLoop.h"

#include <QCoreApplication>

namespace platform {

void YieldToWindows() { QCoreApplication::processEvents(); }

}  // namespace platform
