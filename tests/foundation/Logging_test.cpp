#include "foundation/Logging.h"
#include "platform/SystemInfo.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLoginName("anna");
        platform::SetHostName("PC1");
        ClearNameCache();
        env.setNow(QDateTime(QDate(2024, 3, 8), QTime(7, 5, 9)));
    }
    void TearDown() override {
        platform::SetLoginName({});
        platform::SetHostName({});
        ClearNameCache();
    }
    TestEnvironment env;
};
}  // namespace

TEST_F(LoggingTest, ProgramLogLineHasDateTimeProgramUserComputerText) {
    WriteLog("Backed up /a.txt", 0);
    EXPECT_EQ(env.readFile("corvex.log"), "20240308,07:05:09,corvex,anna,PC1,Backed up /a.txt\r\n");
    WriteLog("second, with comma", 0);
    EXPECT_EQ(env.readLines("corvex.log").value(1), "20240308,07:05:09,corvex,anna,PC1,second, with comma");
}

TEST_F(LoggingTest, LevelAboveThresholdLeavesNoTrace) {
    WriteLog("detail", 3);
    QString name;
    WriteLogToFile(name, "detail", 2, 3);
    EXPECT_TRUE(QDir(env.folder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(name.isEmpty());  // returned before filling in the program log
}

TEST_F(LoggingTest, NamedLogLayouts) {
    QString failed = env.path("failed.log");
    WriteLogToFile(failed, "layout one", 1, 0);
    WriteLogToFile(failed, "layout two", 2, 0);
    WriteLogToFile(failed, "layout seventy-seven", 77, 0, "who");
    WriteLogToFile(failed, "layout five", 5, 0);
    EXPECT_EQ(env.readLines("failed.log"),
              QStringList({"20240308,07:05:09,anna,PC1,layout one", "20240308,07:05:09,layout two",
                           "20240308,07:05:09,who,layout seventy-seven", "layout five"}));
}

TEST_F(LoggingTest, EmptyFileNameMeansTheProgramLog) {
    QString name;
    WriteLogToFile(name, "into the program log", 2, 0);
    EXPECT_EQ(name, env.path("corvex.log"));
    EXPECT_EQ(env.readFile("corvex.log"), "20240308,07:05:09,into the program log\r\n");
}

TEST_F(LoggingTest, UnwritableLogFallsBackToErrorLog) {
    QDir().mkpath(env.path("corvex.log"));  // a folder where the log should be
    WriteLog("lost line", 0);
    const QStringList lines = env.readLines("error.log");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("LOGGING ERROR ")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].endsWith(" - text = lost line")) << qPrintable(lines[0]);

    QString bad = env.path("corvex.log");
    WriteLogToFile(bad, "pim line", 1, 0);
    EXPECT_TRUE(env.readLines("error.log").value(1).startsWith("PIM LOGGING ERROR "));
}

TEST_F(LoggingTest, ALogKeptOpenKeepsTheLineFormatAndFollowsTheLogsName) {
    {
        ProgramLogKeptOpen keptOpen;
        WriteLog("first", 0);
        EXPECT_EQ(env.readFile("corvex.log"), "20240308,07:05:09,corvex,anna,PC1,first\r\n");
        WriteLog("detail", 3);
        // The log viewer deletes the log, then someone renames the new one away.
        ASSERT_TRUE(QFile::remove(env.path("corvex.log")));
        WriteLog("second", 0);
        ASSERT_TRUE(QFile::rename(env.path("corvex.log"), env.path("corvex.old")));
        WriteLog("third", 0);
        EXPECT_EQ(env.readLines("corvex.old"), QStringList{"20240308,07:05:09,corvex,anna,PC1,second"});
        EXPECT_EQ(env.readLines("corvex.log"), QStringList{"20240308,07:05:09,corvex,anna,PC1,third"});
        // A log that cannot be written falls back to error.log for every line.
        ASSERT_TRUE(QFile::remove(env.path("corvex.log")));
        QDir().mkpath(env.path("corvex.log"));
        WriteLog("lost 1", 0);
        WriteLog("lost 2", 0);
        const QStringList errors = env.readLines("error.log");
        ASSERT_EQ(errors.size(), 2);
        EXPECT_TRUE(errors[1].startsWith("LOGGING ERROR ") && errors[1].endsWith(" - text = lost 2"));
        ASSERT_TRUE(QDir(env.path("corvex.log")).removeRecursively());
    }
    // With none kept open the log is opened per line, as before.
    WriteLog("after", 0);
    EXPECT_EQ(env.readLines("corvex.log"), QStringList{"20240308,07:05:09,corvex,anna,PC1,after"});
}

TEST_F(LoggingTest, VersionTextAndNames) {
    EXPECT_TRUE(QRegularExpression(R"(^v3\.0   \(build \d+\)$)").match(GetVersionString()).hasMatch())
        << qPrintable(GetVersionString());
    EXPECT_EQ(GetLoginName(), "anna");
    EXPECT_EQ(GetMachineName(), "PC1");
}
