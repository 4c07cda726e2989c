#include "backup/ProgramStart.h"

#include "foundation/ProgramSetup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetUpProgram(QStringLiteral("corvex"));
    Main();
    return QApplication::exec();
}
