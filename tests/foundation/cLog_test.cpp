#include "foundation/cLog.h"
#include "foundation/Logging.h"
#include "foundation/ProgramValues.h"
#include "platform/SystemInfo.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QListWidget>
#include <QTreeWidget>

namespace {
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLoginName("anna");
        platform::SetHostName("PC1");
        ClearNameCache();
        env.setNow(QDateTime(QDate(2024, 3, 8), QTime(17, 5, 9)));
    }
    void TearDown() override {
        platform::SetLoginName({});
        platform::SetHostName({});
        ClearNameCache();
    }
    TestEnvironment env;
    const QString rule = QString(54, u'-');
};
}  // namespace

TEST_F(LoggerTest, UninitialisedLoggerWritesItsFileWithoutNamesAndTouchesNoList) {
    QListWidget list;
    cLog logger;
    logger.setLogFile(env.path("mine.log"));
    logger.setlistBox(&list);
    logger.log("first");
    logger.log("second", 5, true, true, true);  // level and flags change nothing
    EXPECT_EQ(env.readFile("mine.log"), "2024-03-08, 17:05:09, , , first\r\n2024-03-08, 17:05:09, , , second\r\n");
    EXPECT_EQ(list.count(), 0);
}

TEST_F(LoggerTest, InitWithoutArgumentsStartsTheProgramLogAndThenEchoesIntoTheList) {
    QTreeWidget view;  // a list view takes the echo as a row too
    cLog logger;
    logger.setListBox(&view);
    logger.init();
    EXPECT_EQ(env.readLines("corvex.log"),
              QStringList({"2024-03-08, 17:05:09, , , Started Program", "2024-03-08, 17:05:09, PC1, anna, " + rule}));
    EXPECT_EQ(view.topLevelItemCount(), 0);  // the opening lines are written before the echo starts
    EXPECT_EQ(logger.logFile(), env.path("corvex.log"));
    EXPECT_EQ(logger.errorFile(), env.path("error.log"));
    EXPECT_EQ(logger.TempFile(), env.path("temp.log"));
    EXPECT_FALSE(QFile::exists(env.path("error.log")));  // nothing writes the error and temp files

    logger.log("hello");
    ASSERT_EQ(view.topLevelItemCount(), 1);
    EXPECT_EQ(view.topLevelItem(0)->text(0), "2024-03-08, 17:05:09, PC1, anna, hello");
    EXPECT_EQ(env.readLines("corvex.log").value(2), "2024-03-08, 17:05:09, PC1, anna, hello");
}

TEST_F(LoggerTest, InitGivesTheCallerTheDefaultsAndKeepsNamedFiles) {
    QString logFile = env.path("own.log"), errorFile, tempFile = env.path("t.log");
    cLog logger;
    logger.init(logFile, errorFile, tempFile, true, 3);
    EXPECT_EQ(errorFile, env.path("error.log"));
    EXPECT_EQ(logFile, env.path("own.log"));
    EXPECT_EQ(logger.TempFile(), env.path("t.log"));
    EXPECT_TRUE(logger.runSilent());
    EXPECT_EQ(logger.LogLevel(), 3);
    // A silent start writes only the rule.
    EXPECT_EQ(env.readLines("own.log"), QStringList({"2024-03-08, 17:05:09, PC1, anna, " + rule}));
}

TEST_F(LoggerTest, AnUnwritableLogFileIsReportedInTheProgramLog) {
    QDir().mkpath(env.path("blocked.log"));  // a folder where the log should be
    cLog logger;
    logger.setLogFile(env.path("blocked.log"));
    logger.log("lost?");
    const QString programLog = env.readFile("corvex.log");
    EXPECT_TRUE(programLog.contains("cLog : cant write to the log file " + env.path("blocked.log") + " - lost?"))
        << qPrintable(programLog);
}

TEST_F(LoggerTest, ErrorFormattersDescribeTheStoredError) {
    cLog logger;
    logger.setErr({53, "File not found"});
    EXPECT_EQ(logger.errorLine("opening x"), "corvex error - opening x Err# 53 = File not found");
    EXPECT_EQ(logger.errorReport("opening x"),
              "An error has occurred in the application corvex\r\nopening x\r\n\r\n"
              "The error code is 53 with description \r\nFile not found\r\n");
}

TEST_F(LoggerTest, ServesAsTheProgramWideLoggerOnlyWhenSomeoneSetsIt) {
    EXPECT_EQ(AppLog, nullptr);
    LogToAppLog("nowhere");
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
    cLog logger;
    logger.init();
    AppLog = &logger;
    LogToAppLog("through AppLog");
    AppLog = nullptr;
    EXPECT_EQ(env.readLines("corvex.log").value(2), "2024-03-08, 17:05:09, PC1, anna, through AppLog");
}
