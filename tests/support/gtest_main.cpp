// GoogleTest entry point with a QApplication, so tests can create widgets
// (headless under QT_QPA_PLATFORM=offscreen).
#include <gtest/gtest.h>
#include <QApplication>

#ifdef CORVEX_TESTS_HAVE_WINDOWS
#include "foundation/ProgramSetup.h"
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#ifdef CORVEX_TESTS_HAVE_WINDOWS
    // The windows under test start as in the programs, through the same
    // routine: a behaviour it stops installing is missed by the window tests
    // too. The test program keeps its own name.
    SetUpProgram(QCoreApplication::applicationName());
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
