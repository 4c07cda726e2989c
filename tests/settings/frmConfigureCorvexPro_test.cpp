#include "settings/frmConfigureCorvexPro.h"
#include "foundation/IniFile.h"
#include "foundation/MakerAddresses.h"
#include "foundation/frmEULA.h"
#include "platform/Pointer.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"
#include "settings/FancyForm.h"
#include "settings/SettingsValues.h"
#include "settings/frmCorvexProOptions.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

struct HookGuard {
    ~HookGuard() {
        frmEULA::SetShownHook({});
        frmCorvexProOptions::SetShownHook({});
    }
};

void writeSettings(TestEnvironment& env) { env.writeFile("corvex.ini", "[general]\r\ntitle=CorvexPro\r\n"); }

void writeProgram(TestEnvironment& env, const QString& name, const QByteArray& body) {
    const QString path = env.path(name);
    WriteBytes(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

}  // namespace

TEST(QuickSwitch, WholeCommandLineMustBeTheSwitch) {
    EXPECT_TRUE(IsQuickSwitch("/QUICK"));
    EXPECT_TRUE(IsQuickSwitch("/quick"));
    EXPECT_TRUE(IsQuickSwitch("/Quick"));
    EXPECT_FALSE(IsQuickSwitch("/QUICK "));
    EXPECT_FALSE(IsQuickSwitch(" /QUICK"));
    EXPECT_FALSE(IsQuickSwitch("/QUICK extra"));
    EXPECT_FALSE(IsQuickSwitch("-QUICK"));
    EXPECT_FALSE(IsQuickSwitch(""));
    // The program's arguments as the system hands them over, joined as written.
    const QString program = QStringLiteral("/opt/corvex/vantor");
    EXPECT_TRUE(IsQuickSwitch(CommandLineText({program, "/quick"})));
    EXPECT_FALSE(IsQuickSwitch(CommandLineText({program, "/QUICK "})));
    EXPECT_FALSE(IsQuickSwitch(CommandLineText({program, "/QUICK", "extra"})));
    EXPECT_FALSE(IsQuickSwitch(CommandLineText({program, "-QUICK"})));
    EXPECT_EQ(CommandLineText({program}), "");
}

TEST(ConfigureWindow, QuickSwitchShowsTheOptionsAloneThenEnds) {
    TestEnvironment env("vantor");
    writeSettings(env);
    HookGuard guard;
    int endsWhileShown = -1;
    bool mainShown = true;
    frmConfigureCorvexPro form;
    frmCorvexProOptions::SetShownHook([&](frmCorvexProOptions& options) {
        endsWhileShown = env.endCalls();
        mainShown = form.isVisible();
        EXPECT_EQ(options.parentWidget(), nullptr);
        options.cmdCancel->click();
    });
    EXPECT_FALSE(form.Form_Load("/quick"));
    EXPECT_EQ(endsWhileShown, 0);
    EXPECT_FALSE(mainShown);
    EXPECT_EQ(env.endCalls(), 1);
    EXPECT_FALSE(form.isVisible());
}

TEST(ConfigureWindow, SetupShowsTheOptionsOverTheWindow) {
    TestEnvironment env("vantor");
    writeSettings(env);
    HookGuard guard;
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    int shown = 0;
    frmCorvexProOptions::SetShownHook([&](frmCorvexProOptions& options) {
        ++shown;
        EXPECT_TRUE(options.isModal());
        EXPECT_EQ(options.parentWidget(), &form);
        options.cmdCancel->click();
    });
    form.cmdOptions->click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(env.endCalls(), 0);
    EXPECT_TRUE(form.isVisible());
}

// A keyboard user: Enter on the focused "Setup" opens the options, and Enter
// on the options' focused "Cancel" closes them.
TEST(ConfigureWindow, EnterPressesTheFocusedButtonInBothWindows) {
    TestEnvironment env("vantor");
    writeSettings(env);
    HookGuard guard;
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    int shown = 0;
    bool closedByEnter = false;
    frmCorvexProOptions::SetShownHook([&](frmCorvexProOptions& options) {
        ++shown;
        options.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&options));
        options.cmdCancel->setFocus();
        QTest::keyClick(options.cmdCancel, Qt::Key_Return);
        closedByEnter = !options.isVisible();
        if (!closedByEnter) options.cmdCancel->click();
    });
    form.cmdOptions->setFocus();
    QTest::keyClick(form.cmdOptions, Qt::Key_Return);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(closedByEnter);
    EXPECT_EQ(env.endCalls(), 0);
}

TEST(ConfigureWindow, OtherCommandLinesShowTheWindow) {
    for (const QString& line :
         {QStringLiteral("/QUICK "), QStringLiteral("/QUICK extra"), QStringLiteral("-QUICK"), QString()}) {
        TestEnvironment env("vantor");
        writeSettings(env);
        const QString before = env.readFile("corvex.ini");
        frmConfigureCorvexPro form;
        EXPECT_TRUE(form.Form_Load(line)) << qPrintable(line);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(env.endCalls(), 0);
        EXPECT_EQ(form.windowTitle(), "Configure Tamsel Softwares Automatic backup software");
        EXPECT_EQ(form.Label1[1]->text(), "Tamsel Softwares Corvex");
        EXPECT_EQ(form.lblInstalledPath->text(), "Installation Directory = '" + env.folder() + "'");
        EXPECT_EQ(form.cmdRun->text(), "&Run the Backup");
        EXPECT_EQ(form.cmdOptions->text(), "&Setup");
        // Settings without list-file keys: the defaults, and nothing written.
        EXPECT_EQ(PathListFile, env.path("MyPaths.txt"));
        EXPECT_EQ(ExcludedPathListFile, env.path("ExcludedPaths.txt"));
        EXPECT_EQ(HelpFile, env.path("corvex.hlp"));
        EXPECT_EQ(env.readFile("corvex.ini"), before);
        EXPECT_FALSE(QFileInfo::exists(env.path("vantor.log")));
    }
}

TEST(ConfigureWindow, InstallationFolderWithMarkupLikeNameIsShownAsWritten) {
    TestEnvironment env("vantor");
    const QString folder = env.path("<b>tools</b>");
    QDir().mkpath(folder);
    platform::SetProgramFolder(folder);
    WriteBytes(folder + "/corvex.ini", "[general]\r\ntitle=CorvexPro\r\n");
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    EXPECT_EQ(form.lblInstalledPath->text(), "Installation Directory = '" + folder + "'");
    const QString shown = form.lblInstalledPath->text();
    form.lblInstalledPath->setWordWrap(false);
    EXPECT_GE(form.lblInstalledPath->sizeHint().width(),
              QFontMetrics(form.lblInstalledPath->font()).horizontalAdvance(shown));
}

TEST(ConfigureWindow, ListFilePathsComeFromTheSettings) {
    TestEnvironment env("vantor");
    env.writeFile("corvex.ini", "[general]\r\npathlist=/data/p.txt\r\nExcludedPathlist=/data/x.txt\r\n");
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    EXPECT_EQ(PathListFile, "/data/p.txt");
    EXPECT_EQ(ExcludedPathListFile, "/data/x.txt");
}

TEST(ConfigureWindow, DisagreeingLeavesNoSettingsFileAndAsksAgainNextTime) {
    TestEnvironment env("vantor");
    HookGuard guard;
    int shown = 0;
    frmEULA::SetShownHook([&](frmEULA& f) {
        ++shown;
        f.Command2->click();
    });
    for (int run = 1; run <= 2; ++run) {
        frmConfigureCorvexPro form;
        EXPECT_FALSE(form.Form_Load(QString()));
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(shown, run);
        EXPECT_EQ(env.endCalls(), run);
        EXPECT_FALSE(QFileInfo::exists(env.ini()));
        EXPECT_FALSE(QFileInfo::exists(env.path("MyPaths.txt")));
        EXPECT_FALSE(QFileInfo::exists(env.path("ExcludedPaths.txt")));
    }
    const QStringList log = env.readLines("vantor.log");
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].endsWith(",Initialising : Cant find ini file '" + env.ini() + "'"));
}

TEST(ConfigureWindow, FirstRunWithQuickSwitchWritesDefaultsThenEnds) {
    TestEnvironment env("vantor");
    HookGuard guard;
    frmEULA::SetShownHook([](frmEULA& f) { f.Command1->click(); });
    bool defaultsBeforeOptions = false;
    frmCorvexProOptions::SetShownHook([&](frmCorvexProOptions& options) {
        defaultsBeforeOptions = QFileInfo::exists(env.ini());
        options.cmdCancel->click();
    });
    frmConfigureCorvexPro form;
    EXPECT_FALSE(form.Form_Load("/QUICK"));
    EXPECT_TRUE(defaultsBeforeOptions);
    EXPECT_EQ(env.endCalls(), 1);
    EXPECT_EQ(ReadIni(env.ini(), "general", "title"), "CorvexPro");
    EXPECT_EQ(PathListFile, env.path("MyPaths.txt"));
}

TEST(ConfigureWindow, RunWaitsForTheBackupProgramWithButtonsDisabled) {
    TestEnvironment env("vantor");
    writeSettings(env);
    writeProgram(env, "corvex", "sleep 0.5\necho ran > \"$(dirname \"$0\")/ran.txt\"\n");
    ScriptedBoxes boxes;
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));

    bool checked = false;
    bool disabled = false;
    bool hourglass = false;
    bool stayedOpen = false;
    QTimer::singleShot(150, [&] {
        checked = true;
        disabled = !form.cmdRun->isEnabled() && !form.cmdOptions->isEnabled();
        hourglass = platform::CurrentPointer() == platform::Pointer::Hourglass;
        form.close();
        stayedOpen = form.isVisible();
        // The window's other handlers still run during the wait.
        boxes.answer(platform::Answer::OK);
        click(form.Label1[1]);
    });
    QElapsedTimer clock;
    clock.start();
    form.cmdRun->click();
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_TRUE(QFileInfo::exists(env.path("ran.txt"))) << "returned before the backup program ended";
    EXPECT_TRUE(checked);
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(hourglass);
    EXPECT_TRUE(stayedOpen) << "the window closed while the backup program ran";
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Contacting Tamsel Software");
    EXPECT_TRUE(form.cmdRun->isEnabled());
    EXPECT_TRUE(form.cmdOptions->isEnabled());
    EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);
    EXPECT_FALSE(form.isWaiting());
    form.close();
    EXPECT_FALSE(form.isVisible()) << "closing works again after the wait";
}

TEST(ConfigureWindow, RunWithoutBackupProgramReturnsAtOnceWithoutMessage) {
    TestEnvironment env("vantor");
    writeSettings(env);
    ScriptedBoxes boxes;
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    QElapsedTimer clock;
    clock.start();
    click(form.cmdRun);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(form.cmdRun->isEnabled());
    EXPECT_TRUE(form.cmdOptions->isEnabled());
    EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);
    EXPECT_EQ(boxes.count(), 0);
}

TEST(ConfigureWindow, AboutContactFolderAndWebPage) {
    TestEnvironment env("vantor");
    writeSettings(env);
    ScriptedBoxes boxes;
    OpenedDocuments docs;
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));

    boxes.answer(platform::Answer::OK).answer(platform::Answer::OK);
    click(form.Image1);
    click(form.Label1[1]);
    ASSERT_EQ(boxes.count(), 2);
    const platform::BoxRequest about = boxes.seen()[0];
    EXPECT_EQ(about.title, "About Corvex-Pro Configuration");
    EXPECT_EQ(about.icon, platform::Icon::Information);
    const QStringList aboutLines = about.text.split("\r\n");
    ASSERT_EQ(aboutLines.size(), 8);
    EXPECT_TRUE(aboutLines[0].startsWith("vantor.exe - version v3.0   (build "));
    EXPECT_TRUE(aboutLines[1].startsWith("EXE built on "));
    EXPECT_EQ(aboutLines[2], "");
    EXPECT_FALSE(aboutLines[3].isEmpty());
    EXPECT_EQ(aboutLines[4], "");
    EXPECT_FALSE(aboutLines[5].isEmpty());
    EXPECT_EQ(aboutLines[6], "");
    EXPECT_EQ(aboutLines[7], "");
    EXPECT_EQ(boxes.seen()[1].text,
              "If you have any questions about this program\r\nsend an email to " + MakerSupportAddress());
    EXPECT_TRUE(MakerSupportAddress().endsWith("@example.com"));

    click(form.lblInstalledPath);
    click(form.lblVisitURL);
    EXPECT_EQ(docs.opened, QStringList({env.folder(), MakerWebAddress()}));
    EXPECT_TRUE(MakerWebAddress().contains("example.com"));
    EXPECT_EQ(form.lblVisitURL->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(env.endCalls(), 0);
}

TEST(ConfigureWindow, GradientBackgroundSurvivesRepaintsAndResizes) {
    TestEnvironment env("vantor");
    writeSettings(env);
    frmConfigureCorvexPro form;
    ASSERT_TRUE(form.Form_Load(QString()));
    for (const QSize size : {QSize(520, 300), QSize(700, 420)}) {
        form.resize(size);
        const QImage img = form.grab().toImage();
        const int w = img.width();
        const int h = img.height();
        EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 255, 255));
        EXPECT_EQ(img.pixelColor(1, h / 2), QColor(255, 255, 255));
        EXPECT_EQ(img.pixelColor(w - 1, h / 2), QColor(128, 128, 128));
        EXPECT_EQ(img.pixelColor(w / 2, h - 2), QColor(128, 128, 128));
        // 128 bands from (0, 127, 127) at the top to (0, 254, 254) at the bottom,
        // looked at beside the edge where no control covers them.
        for (const int y : {2, h / 4, h / 2, h - 3}) {
            const QColor c = img.pixelColor(4, y);
            EXPECT_EQ(c.red(), 0);
            EXPECT_NEAR(c.green(), 127 + (y * 128) / h, 1) << y;
            EXPECT_EQ(c.green(), c.blue());
        }
    }
}

TEST(FancyFormPainting, BandColoursAndShadesThatDoNotFit) {
    EXPECT_EQ(FancyBandColour(0, 0, -1, -1), QColor(0, 127, 127));
    EXPECT_EQ(FancyBandColour(127, 0, -1, -1), QColor(0, 254, 254));
    EXPECT_EQ(FancyBandColour(127, 3, 0, 0), QColor(255, 127, 127)) << "components above 255 count as 255";
    EXPECT_FALSE(FancyBandColour(64, 0, 2, 2).isValid());

    TestEnvironment env("vantor");
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    QWidget w;
    w.resize(100, 256);
    FancyForm(&w, 0, 2, 2);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "error in FancyForm : shadeRed=0 shadeGreen=2 shadeBlue=2");
    // The bands before the failing one are painted.
    w.show();
    const QImage img = w.grab().toImage();
    EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 127 - 2 * 5, 127 - 2 * 5));
}
