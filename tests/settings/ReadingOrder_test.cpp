// Tab moves through both windows of the settings program as the eye reads it.
#include "support/ReadingOrder.h"
#include "foundation/IniFile.h"
#include "foundation/ProgramValues.h"
#include "settings/SettingsValues.h"
#include "settings/frmConfigureCorvexPro.h"
#include "settings/frmCorvexProOptions.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(ReadingOrder, TabFollowsTheEyeInEveryWindow) {
    TestEnvironment env("vantor");
    IniFile = env.ini();
    PathListFile = env.path("MyPaths.txt");
    ExcludedPathListFile = env.path("ExcludedPaths.txt");
    env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") + "\r\nbackupType=1\r\n");
    {
        frmConfigureCorvexPro main;
        ExpectTabInReadingOrder(main, "frmConfigureCorvexPro");
    }
    {
        frmCorvexProOptions options;
        options.Form_Load();
        ExpectTabInReadingOrder(options, "frmCorvexProOptions");
    }
    IniFile.clear();
    PathListFile.clear();
    ExcludedPathListFile.clear();
}
