#include "foundation/FocusedButtonEnter.h"
#include "settings/SettingsValues.h"
#include "settings/frmConfigureCorvexPro.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantor"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
    FocusedButtonEnter::Install();
    // The main window's load is the program's start-up; it ends the program
    // itself when it does not show the window.
    frmConfigureCorvexPro form;
    if (!form.Form_Load(CommandLineText(QCoreApplication::arguments()))) return 0;
    return QApplication::exec();
}
