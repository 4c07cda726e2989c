#include "backup/ProgramStart.h"
#include "backup/BackupValues.h"
#include "backup/WelcomeMessage.h"
#include "foundation/IniFile.h"
#include "platform/Process.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class StartupTest : public ::testing::Test {
protected:
    // A settings file whose planner folder is the (writable) program folder.
    void writeIni(const QString& general) {
        env.writeFile("corvex.ini", "[general]\r\n" + general + "[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    OpenedDocuments docs;
    const QStringList& launched = docs.opened;
};
}  // namespace

TEST_F(StartupTest, MissingSettingsFileStartsTheSettingsProgramAndEnds) {
    EXPECT_FALSE(Initialise());
    EXPECT_EQ(env.endCalls(), 1);
    EXPECT_EQ(launched, QStringList{env.path("vantor")});
    const QStringList log = env.readLines("corvex.log");
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].endsWith(",Initialising : Cant find ini file '" + env.path("corvex.ini") + "'"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(StartupTest, SettingsFillTheProgramWideValues) {
    writeIni("pathlist=/lists/mine.txt\r\nbackupTo=/dest/\r\nbackupType=3\r\nkeepPaths=1\r\n");
    EXPECT_TRUE(Initialise());
    EXPECT_EQ(IniFile, env.path("corvex.ini"));
    EXPECT_EQ(PathListFile, "/lists/mine.txt");
    EXPECT_EQ(ExcludedPathListFile, env.path("ExcludedPaths.txt"));
    EXPECT_EQ(BackupTo, "/dest/");
    EXPECT_EQ(BackupType, 3);
    EXPECT_EQ(KeepPaths, 1);
    EXPECT_EQ(env.endCalls(), 0);
}

TEST_F(StartupTest, EmptyOrBrokenSettingsFallBack) {
    writeIni("pathlist=\r\nbackupType=abc\r\nkeepPaths=\r\n");
    EXPECT_TRUE(Initialise());
    EXPECT_EQ(PathListFile, env.path("MyPaths.txt"));
    EXPECT_EQ(BackupTo, "");
    EXPECT_EQ(BackupType, 0);
    EXPECT_EQ(KeepPaths, 0);
}

TEST(SilentSetting, FirstLetterDecides) {
    for (const char* yes : {" yes", "true", "1", "t", "Y"}) EXPECT_TRUE(IsSilentSetting(yes)) << yes;
    for (const char* no : {"0", "No", "false", "", "  "}) EXPECT_FALSE(IsSilentSetting(no)) << no;
}

TEST_F(StartupTest, WelcomeMessageHandsOverToTheSettingsProgram) {
    boxes.answer(platform::Answer::OK);
    ShowWelcomeMessage();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Welcome to Corvex-Pro");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    const QStringList lines = boxes.last().text.split("\r\n");
    ASSERT_EQ(lines.size(), 17);  // sixteen lines, each followed by a line break
    EXPECT_EQ(lines[7], "Once you say which directory to make the backups to and create a ");
    EXPECT_EQ(lines[9], " folder, or scheduled by the Windows Scheduler, to run automatically");
    EXPECT_EQ(launched, QStringList{env.path("vantor")});
    EXPECT_EQ(env.endCalls(), 1);
}

TEST_F(StartupTest, EveryStartMakesThisMonthsPlannerFileEvenWithRecordingOff) {
    env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 5)));
    writeIni("RecordToPlandel=0\r\n");
    EXPECT_TRUE(Initialise());
    EXPECT_EQ(ReadBytes(env.path("D200304.dat")), QByteArray("\r\n"));
    EXPECT_EQ(boxes.count(), 0);
}
