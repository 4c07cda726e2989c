#include "backup/ProgramStart.h"

#include "foundation/FocusedButtonEnter.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvex"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
    FocusedButtonEnter::Install();
    Main();
    return QApplication::exec();
}
