// GoogleTest entry point with a QApplication, so tests can create widgets
// (headless under QT_QPA_PLATFORM=offscreen).
#include <gtest/gtest.h>
#include <QApplication>

#ifdef CORVEX_TESTS_HAVE_WINDOWS
#include "foundation/FocusedButtonEnter.h"
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#ifdef CORVEX_TESTS_HAVE_WINDOWS
    // Both programs install it at start: the windows under test behave as there.
    FocusedButtonEnter::Install();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
