#include "foundation/ProgramSetup.h"

#include "foundation/FocusedButtonEnter.h"

#include <QCoreApplication>

void SetUpProgram(const QString& programName) {
    QCoreApplication::setApplicationName(programName);
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
    FocusedButtonEnter::Install();
}
