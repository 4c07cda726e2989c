#include "foundation/ProgramSetup.h"
#include "settings/SettingsValues.h"
#include "settings/frmConfigureCorvexPro.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetUpProgram(QStringLiteral("vantor"));
    // The main window's load is the program's start-up; it ends the program
    // itself when it does not show the window.
    frmConfigureCorvexPro form;
    if (!form.Form_Load(CommandLineText(QCoreApplication::arguments()))) return 0;
    return QApplication::exec();
}
