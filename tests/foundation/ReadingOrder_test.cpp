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

namespace {
// Controls that wake up later (the agreement's buttons) count too.
void ExpectTabInReadingOrderAllAwake(QWidget&& window, const char* name) {
    for (QPushButton* b : window.findChildren<QPushButton*>()) b->setEnabled(true);
    ExpectTabInReadingOrder(window, name);
}
}  // namespace

TEST(ReadingOrder, TabFollowsTheEyeInEveryWindow) {
    TestEnvironment env("vantor");
    IniFile = env.ini();
    SelectedFolder = env.folder();
    ExpectTabInReadingOrderAllAwake(frmSetupPathList(), "frmSetupPathList");
    ExpectTabInReadingOrderAllAwake(frmBrowseFolders(), "frmBrowseFolders");
    ExpectTabInReadingOrderAllAwake(frmAutoWiz(), "frmAutoWiz");
    {
        frmEULA agreement;
        agreement.Form_Load();
        ExpectTabInReadingOrderAllAwake(std::move(agreement), "frmEULA");
    }
    SelectedFolder.clear();
    IniFile.clear();
}
