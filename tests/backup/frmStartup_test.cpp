#include "backup/frmStartup.h"
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "backup/frmProgress.h"
#include "foundation/IniFile.h"
#include "platform/Process.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <functional>
#include <utility>

#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

// A program folder with settings for the start-up window: a destination, a
// planner folder that can be written, and a folder list over one changed file.
struct StartupFixture {
    TestEnvironment env{"corvex"};
    explicit StartupFixture(const QString& extraSettings = {}, bool withDestination = true) {
        QString ini = "[general]\r\n";
        if (withDestination) ini += "backupTo=" + env.path("dest") + "\r\n";
        ini += extraSettings;
        ini += "[Plandel]\r\ndataPath=" + env.folder() + "\r\n";
        env.writeFile("corvex.ini", ini);
        env.writeFile("src/work/report.txt", "quarterly figures");
        env.writeFile("MyPaths.txt", env.path("src") + "/*\r\n");
        IniFile = env.ini();
        PathListFile = env.path("MyPaths.txt");
        ExcludedPathListFile = env.path("ExcludedPaths.txt");
        PlandelDataPath = env.folder() + "/";
        CurrentDataFile.clear();
        RunningSilently = false;
    }
    ~StartupFixture() { RunningSilently = false; }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
void doubleClick(QWidget* w) { QTest::mouseDClick(w, Qt::LeftButton); }

QString countdown(const frmStartup& f) { return f.Label1[4]->text(); }
// One second of the countdown: the timer fires.
void tick(frmStartup& f) { QMetaObject::invokeMethod(f.Timer1, "timeout", Qt::DirectConnection); }

}  // namespace

TEST(StartupDelay, ValuesAreRoundedAndLimited) {
    EXPECT_EQ(StartupDelayFromSetting("22"), 22);
    EXPECT_EQ(StartupDelayFromSetting("1"), 3);
    EXPECT_EQ(StartupDelayFromSetting("0"), 3);
    EXPECT_EQ(StartupDelayFromSetting("-5"), 3);
    EXPECT_EQ(StartupDelayFromSetting("soon"), 3);
    EXPECT_EQ(StartupDelayFromSetting("150"), 99);
    EXPECT_EQ(StartupDelayFromSetting("2.5"), 3) << "2.5 rounds to 2, then the lower limit";
    EXPECT_EQ(StartupDelayFromSetting("5.5"), 6);
    EXPECT_EQ(StartupDelayFromSetting("7.5"), 8);
    EXPECT_EQ(StartupDelayFromSetting(" 40 seconds"), 40);
    // Beyond a 16-bit integer counts as beyond the limits.
    EXPECT_EQ(StartupDelayFromSetting("40000"), 99);
    EXPECT_EQ(StartupDelayFromSetting("99999999999999999999999999"), 99);
    EXPECT_EQ(StartupDelayFromSetting("-40000"), 3);
}

TEST(StartupDelay, SignPlaceNumbers) {
    EXPECT_EQ(SignPlaceNumber(21), " 21");
    EXPECT_EQ(SignPlaceNumber(0), " 0");
    EXPECT_EQ(SignPlaceNumber(-1), "-1");
}

TEST(StartupWindow, MissingDelayIsWrittenAndCountsDownFrom22) {
    StartupFixture fx;
    ScriptedBoxes boxes;
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(ReadIni(fx.env.ini(), "general", "startupDelay"), "22");
    EXPECT_EQ(form.windowTitle(), "Tamsel Softwares Corvex");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1000);
    EXPECT_EQ(countdown(form), "22");
    for (int expected = 21; expected >= 1; --expected) {
        tick(form);
        EXPECT_EQ(countdown(form), " " + QString::number(expected));
        EXPECT_EQ(fx.env.endCalls(), 0);
        EXPECT_TRUE(form.Timer1->isActive());
    }
    EXPECT_FALSE(form.frameStatus->isVisibleTo(&form));
    tick(form);  // reaches 0: the run
    EXPECT_EQ(fx.env.endCalls(), 1);
}

TEST(StartupWindow, StoredDelaysAreLimitedButNotRewritten) {
    const QList<QPair<QString, QString>> cases = {{"1", "3"},    {"0", "3"},     {"-5", "3"},  {"abc", "3"},
                                                  {"150", "99"}, {"2.5", "3"},   {"5.5", "6"}, {"7.5", "8"},
                                                  {"   ", "22"}, {"70000", "99"}};
    for (const auto& [stored, shown] : cases) {
        StartupFixture fx("startupDelay=" + stored + "\r\n");
        frmStartup form;
        ASSERT_TRUE(form.Form_Load());
        EXPECT_EQ(countdown(form), shown) << qPrintable(stored);
        const QString expectedStored = stored.trimmed().isEmpty() ? QStringLiteral("22") : stored;
        EXPECT_EQ(ReadIni(fx.env.ini(), "general", "startupDelay"), expectedStored);
    }
}

TEST(StartupWindow, LabelsFromSettingsAndTheFolderList) {
    StartupFixture fx("dateOfLastBackup=2003-04-28 14:05:00\r\npathlist=" + QString() + "\r\n");
    fx.env.writeFile("MyPaths.txt", "/home/anna/*\r\n\r\n/srv/data/\n");
    WriteIni("general", "pathlist", fx.env.path("MyPaths.txt"), fx.env.ini());
    frmStartup form;
    form.lvPaths->addTopLevelItem(new QTreeWidgetItem(QStringList{"left over"}));
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(form.lblLastBackup->text(), "2003-04-28 14:05:00");
    EXPECT_EQ(form.lblDest->text(), fx.env.path("dest"));
    ASSERT_EQ(form.lvPaths->topLevelItemCount(), 2);
    EXPECT_EQ(form.lvPaths->topLevelItem(0)->text(0), "/home/anna/*");
    EXPECT_EQ(form.lvPaths->topLevelItem(1)->text(0), "/srv/data/");
    EXPECT_FALSE(form.lvPaths->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid()) << "no check boxes shown";

    EXPECT_EQ(form.Label1[0]->text(), "About to backup files worked on since");
    EXPECT_EQ(form.Label1[1]->text(), "to the folder");
    EXPECT_EQ(form.Label2->text(), "from the following List of Folders");
    EXPECT_EQ(form.Label1[2]->text(), "Backup will start in");
    EXPECT_EQ(form.Label1[5]->text(), "seconds");
    EXPECT_EQ(form.cmdConfig->text(), "Options");
    EXPECT_EQ(form.cmdConfig->toolTip(), "Configure paths, backup folder and backup type");
    EXPECT_EQ(form.Command2->text(), "Manual");
    EXPECT_EQ(form.Command2->toolTip(), "Run the backup manually");
    EXPECT_EQ(form.Command1->text(), "&Cancel");
    EXPECT_EQ(form.Command1->toolTip(), "Quit the program");
    EXPECT_EQ(form.imageGo->toolTip(), "Click to delay backup countdown");
    EXPECT_EQ(form.imageStop->toolTip(), "Click this icon again to resume countdown");
    EXPECT_EQ(form.lblFile->text(), "Initializing...");
    EXPECT_EQ(form.timerPreload->interval(), 2000);
    EXPECT_TRUE(form.timerPreload->isActive());
}

TEST(StartupWindow, OddDestinationNamesAreShownAsWritten) {
    // A folder name may hold what looks like markup; it is shown letter for letter.
    StartupFixture fx("dateOfLastBackup=<i>2003</i>-04-28\r\n", false);
    WriteIni("general", "backupTo", "/backup/<b>mine</b>/", fx.env.ini());
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    form.show();
    for (QLabel* label : {form.lblDest, form.lblLastBackup}) {
        const int written = QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_GE(label->sizeHint().width(), written) << qPrintable(label->text());
    }
}

TEST(StartupWindow, EmptyDateAndEmptyPathList) {
    StartupFixture fx;
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(form.lblLastBackup->text(), "2 months ago");
    EXPECT_EQ(form.lvPaths->topLevelItemCount(), 0);
    EXPECT_TRUE(form.Timer1->isActive());
}

TEST(StartupWindow, EmptyDestinationShowsWelcomeAndHandsOver) {
    StartupFixture fx({}, false);
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    OpenedDocuments docs;
    frmStartup form;
    EXPECT_FALSE(form.Form_Load());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Welcome to Corvex-Pro");
    EXPECT_EQ(docs.opened, QStringList{fx.env.path("vantor")});
    EXPECT_EQ(fx.env.endCalls(), 1);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(ReadIni(fx.env.ini(), "general", "startupDelay"), "");
}

// Paused and resumed by clicks on the images, or from the keyboard: Tab from
// the folder list reaches the pause control, and Space or Enter presses it.
TEST(StartupWindow, PauseAndResumeContinueFromTheShownNumber) {
    const struct {
        const char* name;
        Qt::Key key;  // Qt::Key_unknown: a click
        Qt::KeyboardModifiers modifiers;
    } presses[] = {
        {"click", Qt::Key_unknown, Qt::NoModifier},
        {"Space", Qt::Key_Space, Qt::NoModifier},
        {"Return", Qt::Key_Return, Qt::NoModifier},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        StartupFixture fx("startupDelay=8\r\n");
        frmStartup form;
        ASSERT_TRUE(form.Form_Load());
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        for (int i = 0; i < 3; ++i) tick(form);
        EXPECT_EQ(countdown(form), " 5");
        const bool byKey = p.key != Qt::Key_unknown;
        if (byKey) {
            form.lvPaths->setFocus();
            QTest::keyClick(form.lvPaths, Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), form.imageGo);
        }
        const auto press = [&](QLabel* image) {
            if (byKey)
                QTest::keyClick(QApplication::focusWidget(), p.key, p.modifiers);
            else
                click(image);
        };

        press(form.imageGo);
        EXPECT_FALSE(form.Timer1->isActive());
        EXPECT_FALSE(form.imageGo->isVisible());
        EXPECT_TRUE(form.imageStop->isVisible());
        if (byKey) {
            EXPECT_EQ(QApplication::focusWidget(), form.imageStop) << "the same key resumes";
        }

        press(form.imageStop);
        EXPECT_TRUE(form.Timer1->isActive());
        EXPECT_TRUE(form.imageGo->isVisible());
        EXPECT_FALSE(form.imageStop->isVisible());
        tick(form);
        EXPECT_EQ(countdown(form), " 4");
        EXPECT_EQ(fx.env.endCalls(), 0);
    }
}

TEST(StartupWindow, RunAtZeroTurnsTheWindowIntoTheStatusWindow) {
    StartupFixture fx("startupDelay=3\r\n");
    ScriptedBoxes boxes;  // the run asks nothing
    // The main window is loaded once per process; load it from this folder's settings.
    RunningSilently = true;
    TheProgressForm()->Form_Load();
    RunningSilently = false;

    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    form.show();
    tick(form);
    tick(form);
    EXPECT_EQ(fx.env.endCalls(), 0);
    EXPECT_EQ(form.lblFile->text(), "Initializing...");
    tick(form);

    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Label1[2]->text(), "");
    EXPECT_EQ(form.Label1[4]->text(), "");
    EXPECT_EQ(form.Label1[5]->text(), "");
    EXPECT_FALSE(form.imageGo->isVisible());
    EXPECT_FALSE(form.imageStop->isVisible());
    EXPECT_FALSE(form.Label4->isVisible());
    EXPECT_FALSE(form.lvPaths->isVisible());
    EXPECT_FALSE(form.Command2->isEnabled());
    EXPECT_FALSE(form.cmdConfig->isEnabled());
    EXPECT_TRUE(form.Command1->isEnabled());
    EXPECT_EQ(form.Label1[0]->text(), "Backing up Files...");
    EXPECT_TRUE(RunningSilently);
    EXPECT_FALSE(TheProgressForm()->isVisible()) << "the main window stays hidden during the run";
    EXPECT_EQ(fx.env.endCalls(), 1) << "the program ends after the run";

    // The run reported in this window's status controls and backed up the file.
    EXPECT_TRUE(form.frameStatus->isVisible());
    EXPECT_NE(form.lblFile->text(), "Initializing...");
    EXPECT_EQ(ReadBytes(fx.env.path("dest/report.txt")), "quarterly figures");
    EXPECT_EQ(boxes.count(), 0);
}

TEST(StartupWindow, OptionsAndDoubleClicksHandOverToTheSettingsProgram) {
    for (int way = 0; way < 4; ++way) {
        StartupFixture fx;
        OpenedDocuments docs;
        frmStartup form;
        ASSERT_TRUE(form.Form_Load());
        form.show();
        switch (way) {
        case 0: click(form.cmdConfig); break;
        case 1: doubleClick(form.lblDest); break;
        case 2: doubleClick(form.lblLastBackup); break;
        case 3: doubleClick(form.lvPaths->viewport()); break;
        }
        EXPECT_EQ(docs.opened, QStringList{fx.env.path("vantor")}) << way;
        EXPECT_EQ(fx.env.endCalls(), 1) << way;
    }
}

TEST(StartupWindow, FailedHandOverStillEnds) {
    StartupFixture fx;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    click(form.cmdConfig);  // no vantor in the program folder
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith("File not found"));
    EXPECT_EQ(fx.env.endCalls(), 1);
}

TEST(StartupWindow, NoBackupStartsBehindTheFailedHandOverMessage) {
    // The failure message waits for the user; the countdown must not run out
    // and start a backup behind it after the user chose to leave.
    StartupFixture fx;
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    form.show();
    bool countingDuringMessage = true;
    platform::SetBoxResponder([&](const platform::BoxRequest&) {
        countingDuringMessage = form.Timer1->isActive();
        return platform::BoxReply{};
    });
    click(form.cmdConfig);  // no vantor in the program folder
    platform::SetBoxResponder({});
    EXPECT_FALSE(countingDuringMessage);
    EXPECT_EQ(fx.env.endCalls(), 1);
}

TEST(StartupWindow, CancelAndClosingEndTheProgram) {
    StartupFixture fx;
    frmStartup form;
    ASSERT_TRUE(form.Form_Load());
    form.show();
    click(form.Command1);
    EXPECT_EQ(fx.env.endCalls(), 1);
    form.close();
    EXPECT_EQ(fx.env.endCalls(), 2);
}

// "Manual" pressed by a click, or by Enter while it has the focus.
TEST(StartupWindow, ManualStopsTheCountAndShowsTheMainWindow) {
    const std::pair<const char*, std::function<void(QPushButton*)>> presses[] = {
        {"click", [](QPushButton* button) { click(button); }},
        {"Enter on the focused button",
         [](QPushButton* button) {
             button->window()->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
             button->setFocus();
             QTest::keyClick(button, Qt::Key_Return);
         }},
    };
    for (const auto& [how, press] : presses) {
        SCOPED_TRACE(how);
        StartupFixture fx;
        ScriptedBoxes boxes;
        boxes.answerAllWith(platform::Answer::OK);
        frmStartup form;
        ASSERT_TRUE(form.Form_Load());
        form.show();
        press(form.Command2);
        EXPECT_FALSE(form.Timer1->isActive());
        EXPECT_TRUE(TheProgressForm()->isVisible());
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.imageGo->isVisible());
        EXPECT_EQ(fx.env.endCalls(), 0);
        TheProgressForm()->hide();
    }
}
