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
#include <QTimer>

TEST(ReadingOrder, TabFollowsTheEyeInEveryWindow) {
    TestEnvironment env;
    UseProgramFolderOf(env);
    env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") + "\r\nbackupType=1\r\n");
    env.writeFile("MyPaths.txt", env.path("src") + "/*\r\n");
    env.writeFile("copied.txt", env.path("src/a.txt") + "\r\n");
    RunningSilently = false;

    {
        frmProgress f;
        f.Form_Load();
        f.mnuViewShowPaths->trigger();  // the expanded folder list too
        ExpectTabInReadingOrder(f, "frmProgress");
    }
    {
        frmStartup f;
        f.Form_Load();
        f.Timer1->stop();
        ExpectTabInReadingOrder(f, "frmStartup");
    }
    {
        frmLastBackup f;
        f.Form_Load();
        ExpectTabInReadingOrder(f, "frmLastBackup");
    }
    {
        frmLogView f;
        f.Form_Load();
        f.OpenOnFolder(env.folder());
        ExpectTabInReadingOrder(f, "frmLogView");
    }
    {
        frmAboutCorvex f;
        f.Form_Load();
        ExpectTabInReadingOrder(f, "frmAboutCorvex");
    }
    {
        frmTamselShowCase f;
        f.Form_Load();
        ExpectTabInReadingOrder(f, "frmTamselShowCase");
    }
    {
        frmFileCompare f;
        ExpectTabInReadingOrder(f, "frmFileCompare");
    }
    {
        frmMsgBox f;
        ExpectTabInReadingOrder(f, "frmMsgBox");
    }
    RunningSilently = false;
}
