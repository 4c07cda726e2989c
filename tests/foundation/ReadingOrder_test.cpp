// Tab moves through every shared window as the eye reads it.
#include "support/ReadingOrder.h"
#include "foundation/IniFile.h"
#include "foundation/ProgramValues.h"
#include "foundation/frmAutoWiz.h"
#include "foundation/frmBrowseFolders.h"
#include "foundation/frmEULA.h"
#include "foundation/frmSetupPathList.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

TEST(ReadingOrder, TabFollowsTheEyeInEveryWindow) {
    TestEnvironment env("vantor");
    IniFile = env.ini();
    SelectedFolder = env.folder();
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> windows = {
        {"frmSetupPathList", [] { return std::unique_ptr<QWidget>(std::make_unique<frmSetupPathList>()); }},
        {"frmBrowseFolders", [] { return std::unique_ptr<QWidget>(std::make_unique<frmBrowseFolders>()); }},
        {"frmAutoWiz", [] { return std::unique_ptr<QWidget>(std::make_unique<frmAutoWiz>()); }},
        {"frmEULA",
         [] {
             auto f = std::make_unique<frmEULA>();
             f->Form_Load();
             return std::unique_ptr<QWidget>(std::move(f));
         }},
    };
    for (const auto& [name, make] : windows) {
        std::unique_ptr<QWidget> window = make();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get())) << name;
        // Controls that wake up later (the agreement's buttons) count too.
        for (QPushButton* b : window->findChildren<QPushButton*>()) b->setEnabled(true);
        const QStringList wrong = TabStepsAgainstReadingOrder(window.get());
        EXPECT_TRUE(wrong.isEmpty()) << name << ": " << wrong.join(", ").toStdString();
        window->hide();
    }
    SelectedFolder.clear();
    IniFile.clear();
}
