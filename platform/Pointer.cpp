#include "platform/Pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {
namespace {
Pointer current = Pointer::Default;
}

void SetPointer(Pointer pointer) {
    current = pointer;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (pointer == Pointer::Default) {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
        return;
    }
    const QCursor cursor(pointer == Pointer::Hourglass ? Qt::WaitCursor : Qt::BusyCursor);
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
}

Pointer CurrentPointer() { return current; }

}  // namespace platform
