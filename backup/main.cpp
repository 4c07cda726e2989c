#include "backup/ProgramStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvex"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
    Main();
    return QApplication::exec();
}
