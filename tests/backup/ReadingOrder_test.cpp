// Tab moves through every window of the backup program as the eye reads it.
#include "support/ReadingOrder.h"
#include "BackupTestSupport.h"
#include "backup/frmAboutCorvex.h"
#include "backup/frmFileCompare.h"
#include "backup/frmLastBackup.h"
#include "backup/frmLogView.h"
#include "backup/frmMsgBox.h"
#include "backup/frmProgress.h"
#include "backup/frmStartup.h"
#include "backup/frmTamselShowCase.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <memory>

TEST(ReadingOrder, TabFollowsTheEyeInEveryWindow) {
    TestEnvironment env;
    UseProgramFolderOf(env);
    env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") + "\r\nbackupType=1\r\n");
    env.writeFile("MyPaths.txt", env.path("src") + "/*\r\n");
    env.writeFile("copied.txt", env.path("src/a.txt") + "\r\n");
    RunningSilently = false;

    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> windows = {
        {"frmProgress",
         [] {
             auto f = std::make_unique<frmProgress>();
             f->Form_Load();
             f->mnuViewShowPaths->trigger();  // the expanded folder list too
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmStartup",
         [] {
             auto f = std::make_unique<frmStartup>();
             f->Form_Load();
             f->Timer1->stop();
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmLastBackup",
         [] {
             auto f = std::make_unique<frmLastBackup>();
             f->Form_Load();
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmFileCompare", [] { return std::unique_ptr<QWidget>(std::make_unique<frmFileCompare>()); }},
        {"frmLogView",
         [&env] {
             auto f = std::make_unique<frmLogView>();
             f->Form_Load();
             f->OpenOnFolder(env.folder());
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmAboutCorvex",
         [] {
             auto f = std::make_unique<frmAboutCorvex>();
             f->Form_Load();
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmTamselShowCase",
         [] {
             auto f = std::make_unique<frmTamselShowCase>();
             f->Form_Load();
             return std::unique_ptr<QWidget>(std::move(f));
         }},
        {"frmMsgBox", [] { return std::unique_ptr<QWidget>(std::make_unique<frmMsgBox>()); }},
    };
    for (const auto& [name, make] : windows) {
        std::unique_ptr<QWidget> window = make();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get())) << name;
        const QStringList wrong = TabStepsAgainstReadingOrder(window.get());
        EXPECT_TRUE(wrong.isEmpty()) << name << ": " << wrong.join(", ").toStdString();
        window->hide();
    }
    RunningSilently = false;
}
