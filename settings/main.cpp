#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantor"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
    // The settings program's main window opens here.
    return 0;
}
