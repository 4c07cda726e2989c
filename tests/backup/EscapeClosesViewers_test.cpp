// Escape closes the windows of the main window's View menu, as it closes the
// dialogs, whichever of their controls has the focus.
#include "BackupTestSupport.h"
#include "backup/frmFileCompare.h"
#include "backup/frmLastBackup.h"
#include "backup/frmLogView.h"
#include "foundation/FileListBox.h"
#include "support/ScriptedBoxes.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

TEST(ViewerWindows, EscapeClosesThemFromAnyOfTheirControls) {
    TestEnvironment env;
    UseProgramFolderOf(env);
    ScriptedBoxes boxes;
    env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") + "\r\nbackupType=0\r\n");
    env.writeFile("corvex.log", "20030428,first line\r\n");
    env.writeFile("copied.txt", env.path("work/report.txt") + "\r\n");
    const auto logViewer = [] { return static_cast<QWidget*>(ShowLogViewer()); };
    const auto lastBackup = [] { return static_cast<QWidget*>(ShowLastBackupWindow()); };
    const auto finder = [] {
        frmFileCompare* form = TheFileCompareForm();
        form->show();
        form->activateWindow();
        return static_cast<QWidget*>(form);
    };
    const struct {
        const char* name;
        std::function<QWidget*()> open;
        std::function<QWidget*(QWidget*)> control;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    } cases[] = {
        {"log viewer: the list of logs", logViewer, [](QWidget* w) { return static_cast<frmLogView*>(w)->fileLogs; },
         Qt::NoModifier, true},
        {"log viewer: the log's text", logViewer, [](QWidget* w) { return static_cast<frmLogView*>(w)->txtLogFile; },
         Qt::NoModifier, true},
        {"log viewer: Shift+Escape is no close", logViewer,
         [](QWidget* w) { return static_cast<frmLogView*>(w)->fileLogs; }, Qt::ShiftModifier, false},
        {"last backup: the list of files", lastBackup,
         [](QWidget* w) { return static_cast<frmLastBackup*>(w)->lstFiles; }, Qt::NoModifier, true},
        {"last backup: a button", lastBackup, [](QWidget* w) { return static_cast<frmLastBackup*>(w)->Command1; },
         Qt::NoModifier, true},
        {"finder: the list of copies", finder, [](QWidget* w) { return static_cast<frmFileCompare*>(w)->lvwFiles; },
         Qt::NoModifier, true},
        {"finder: the check box", finder, [](QWidget* w) { return static_cast<frmFileCompare*>(w)->chkFindAll; },
         Qt::NoModifier, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<QWidget> window = c.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QWidget* control = c.control(window);
        control->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), control);
        QTest::keyClick(control, Qt::Key_Escape, c.modifiers);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Closed as by its close button, which unloads it.
        EXPECT_EQ(window.isNull(), c.closes);
        delete window;
    }
    EXPECT_EQ(boxes.count(), 0);
}
