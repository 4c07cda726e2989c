#include "backup/BackupFolder.h"
#include "foundation/IniFile.h"
#include "support/ScopedTimeZone.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>
#include <vector>

namespace {
class FolderNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile = env.ini();
        env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 5, 0)));
        base = env.path("Backup");
    }
    QString name(int type, bool create = false) {
        QString b = base;
        return MakeBackupFolderName(b, type, create);
    }
    QString at(const QDate& date, int type) {
        env.setNow(QDateTime(date, QTime(12, 0)));
        return name(type);
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    QString base;
};

bool englishNames() {
    const QLocale::Language l = QLocale::system().language();
    return l == QLocale::C || l == QLocale::English;
}
}  // namespace

TEST_F(FolderNameTest, EveryTypeOnMonday28April2003At1405) {
    const QString b = base + '/';
    const QString day = QLocale::system().dayName(1, QLocale::ShortFormat);
    const QString month = QLocale::system().monthName(4, QLocale::ShortFormat);
    if (englishNames()) {
        EXPECT_EQ(day, "Mon");
        EXPECT_EQ(month, "Apr");
    }
    EXPECT_EQ(name(0), b);
    EXPECT_EQ(name(1), b + "20030428/");
    EXPECT_EQ(name(2), b + day + "/");
    EXPECT_EQ(name(3), b + "Week18/");
    EXPECT_EQ(name(4), b + month + "/");
    EXPECT_EQ(name(5), b + "2003-" + month + "/");
    EXPECT_EQ(name(6), b + "2003-Q2/");
    EXPECT_EQ(name(7), b + "20030428_1405/");
    EXPECT_FALSE(QFileInfo::exists(base)) << "nothing is created without create";
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(FolderNameTest, BaseGainsItsSlashAndTheCallerSeesIt) {
    QString b = env.path("dest");
    EXPECT_EQ(MakeBackupFolderName(b, 0, false), env.path("dest/"));
    EXPECT_EQ(b, env.path("dest/"));
    QString withSlash = env.path("dest/");
    EXPECT_EQ(MakeBackupFolderName(withSlash, 1, false), env.path("dest/20030428/"));
}

TEST_F(FolderNameTest, AGivenTimeFormsTheNameInsteadOfTheClock) {
    QString b = base;
    const QDateTime lastRun(QDate(2003, 4, 27), QTime(23, 59, 10));
    EXPECT_EQ(MakeBackupFolderName(b, 1, false, lastRun), base + "/20030427/");
    EXPECT_EQ(MakeBackupFolderName(b, 7, false, lastRun), base + "/20030427_2359/");
    EXPECT_EQ(MakeBackupFolderName(b, 7, false), base + "/20030428_1405/") << "the clock by default";

    // The stored time of the last run; the clock when none or no date is stored.
    for (const auto& [stored, expected] :
         std::vector<std::pair<QString, QDateTime>>{{"2003-04-27 23:59:10", lastRun},
                                                    {"", QDateTime(QDate(2003, 4, 28), QTime(14, 5, 0))},
                                                    {"yesterday", QDateTime(QDate(2003, 4, 28), QTime(14, 5, 0))}}) {
        env.writeFile("corvex.ini", "[general]\r\ndateOfLastBackup=" + stored + "\r\n");
        EXPECT_EQ(LastBackupTime(), expected) << stored.toStdString();
    }
}

// The last-backup window finds a run's dated folder from the stored moment,
// a local one, in every zone, also late in the evening and on a day that
// loses an hour.
TEST_F(FolderNameTest, TheStoredMomentNamesItsLocalDayInEveryZone) {
    for (const char* zone : kTestTimeZones) {
        const ScopedTimeZone tz(zone);
        env.setNow(QDateTime(QDate(2024, 3, 11), QTime(0, 30)));
        for (const auto& [stored, folder] :
             std::vector<std::pair<QString, QString>>{{"2024-03-10 23:59:10", "20240310_2359"},
                                                      {"2024-03-10 00:00:30", "20240310_0000"},
                                                      {"2024-03-10 03:30:00", "20240310_0330"}}) {
            env.writeFile("corvex.ini", "[general]\r\ndateOfLastBackup=" + stored + "\r\n");
            QString b = base;
            EXPECT_EQ(MakeBackupFolderName(b, 7, false, LastBackupTime()), base + "/" + folder + "/")
                << zone << " " << stored.toStdString();
            EXPECT_EQ(DateWindowStart(QDateTime(QDate(2024, 3, 11), QTime(0, 30))).date(), QDate(2024, 3, 10)) << zone;
        }
    }
}

TEST_F(FolderNameTest, TheDateWindowStartsAtTheLastBackupUnlessThatIsNoDateOrAhead) {
    const QDateTime now(QDate(2003, 4, 28), QTime(14, 5, 0));
    const QDateTime fallback = now.addDays(-62);
    const struct {
        const char* stored;
        QDateTime start;
        const char* logged;  // the level-0 line, or nullptr for none
    } cases[] = {
        {"", fallback, nullptr},
        {"2003-04-27 23:59:10", QDateTime(QDate(2003, 4, 27), QTime(23, 59, 10)), nullptr},
        {"2003-04-28 14:05:00", now, nullptr},
        {"2003-04-28", QDateTime(QDate(2003, 4, 28), QTime(0, 0)), nullptr},
        {"yesterday", fallback, "is not a date"},
        {"2003-04-28 14:05:01", fallback, "lies in the future"},
        {"2031-01-01 00:00:00", fallback, "lies in the future"},
    };
    for (const auto& c : cases) {
        QFile::remove(env.path("corvex.log"));
        env.writeFile("corvex.ini", QString("[general]\r\ndateOfLastBackup=") + c.stored + "\r\n");
        EXPECT_EQ(DateWindowStart(now), c.start) << c.stored;
        const QString log = QFileInfo::exists(env.path("corvex.log")) ? env.readFile("corvex.log") : QString();
        if (c.logged)
            EXPECT_TRUE(log.contains(QString("dateOfLastBackup '") + c.stored + "' " + c.logged +
                                     " - listing the last 62 days"))
                << c.stored;
        else
            EXPECT_TRUE(log.isEmpty()) << c.stored;
    }
}

TEST_F(FolderNameTest, WeeksBeginOnSundayAndTheFirstHoldsFirstJanuary) {
    // 2003 begins on a Wednesday.
    EXPECT_EQ(at(QDate(2003, 1, 1), 3), base + "/Week1/");
    EXPECT_EQ(at(QDate(2003, 1, 4), 3), base + "/Week1/");
    EXPECT_EQ(at(QDate(2003, 1, 5), 3), base + "/Week2/");
    // 2006 begins on a Sunday: the next Sunday starts week 2.
    EXPECT_EQ(at(QDate(2006, 1, 7), 3), base + "/Week1/");
    EXPECT_EQ(at(QDate(2006, 1, 8), 3), base + "/Week2/");
    // 2000 is a leap year beginning on a Saturday: its last day is in week 54.
    EXPECT_EQ(at(QDate(2000, 1, 1), 3), base + "/Week1/");
    EXPECT_EQ(at(QDate(2000, 1, 2), 3), base + "/Week2/");
    EXPECT_EQ(at(QDate(2000, 12, 31), 3), base + "/Week54/");
    EXPECT_EQ(WeekOfYear(QDate(2001, 12, 31)), 53);
}

TEST_F(FolderNameTest, QuartersAndTheMinuteChange) {
    EXPECT_EQ(at(QDate(2003, 3, 31), 6), base + "/2003-Q1/");
    EXPECT_EQ(at(QDate(2003, 7, 1), 6), base + "/2003-Q3/");
    EXPECT_EQ(at(QDate(2003, 12, 31), 6), base + "/2003-Q4/");

    env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 5, 59)));
    const QString first = name(7);
    env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 6, 0)));
    const QString second = name(7);
    EXPECT_EQ(first, base + "/20030428_1405/");
    EXPECT_EQ(second, base + "/20030428_1406/");
    env.setNow(QDateTime(QDate(2003, 4, 28), QTime(9, 7, 0)));
    EXPECT_EQ(name(7), base + "/20030428_0907/");
}

TEST_F(FolderNameTest, UnknownTypesGiveNoFolderAndCreateNothing) {
    for (int type : {8, -1, 100, -32768}) {
        EXPECT_EQ(name(type, true), QString()) << type;
        EXPECT_EQ(BackupTypeName(type), "Unknown Backup type");
    }
    EXPECT_FALSE(QFileInfo::exists(base));
    EXPECT_EQ(BackupTypeName(0), "All Files into the above directory");
    EXPECT_EQ(BackupTypeName(3), "cyclic weekly backup");
    EXPECT_EQ(BackupTypeName(7), "todays date and time as appended");
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(FolderNameTest, CreateMakesAMissingBaseSeveralLevelsDeep) {
    base = env.path("A/B/C");
    EXPECT_EQ(name(1, true), env.path("A/B/C/20030428/"));
    EXPECT_TRUE(QFileInfo(env.path("A/B/C/20030428")).isDir());
    // An existing folder is simply used again.
    EXPECT_EQ(name(1, true), env.path("A/B/C/20030428/"));
    EXPECT_EQ(boxes.count(), 0);
}

// A folder that cannot be made is left to the copy loop, which reports a
// destination it cannot write: the name is given all the same, without a box
// or a log line, and a link in the dated folder's place is never followed.
TEST_F(FolderNameTest, AFolderThatCannotBeMadeIsNamedAllTheSame) {
    env.writeFile("blocker", "a regular file where a folder should be");
    QDir().mkpath(env.path("elsewhere"));
    QDir().mkpath(env.path("linked/Backup"));
    ASSERT_TRUE(QFile::link(env.path("elsewhere"), env.path("linked/Backup/20030428")));
    const std::pair<QString, QString> cases[] = {
        {env.path("blocker/deeper"), env.path("blocker/deeper/20030428/")},
        {env.path("linked/Backup"), env.path("linked/Backup/20030428/")},
    };
    for (const auto& [folder, named] : cases) {
        base = folder;
        EXPECT_EQ(name(1, true), named);
    }
    EXPECT_TRUE(QDir(env.path("elsewhere")).isEmpty());
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(env.path("corvex.log")));
    // The destination itself may well be reached through a link.
    ASSERT_TRUE(QFile::link(env.path("elsewhere"), env.path("link")));
    base = env.path("link");
    EXPECT_EQ(name(1, true), env.path("link/20030428/"));
    EXPECT_TRUE(QFileInfo(env.path("elsewhere/20030428")).isDir());
}

TEST_F(FolderNameTest, TestDestinationIsNeverCreated) {
    base = "/dev/null";
    EXPECT_EQ(name(1, true), "/dev/null/20030428/");
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(FolderNameTest, KeepPathFolderPutsTheSourceFolderBelowTheDestination) {
    EXPECT_EQ(KeepPathFolder("/b/", "/home/anna/a.txt"), "/b/home/anna/");
    EXPECT_EQ(KeepPathFolder("/b/", "/home/anna/"), "/b/home/anna/");
    EXPECT_EQ(KeepPathFolder("/b/", "//server/share/d/a.txt"), "/b/server/share/d/");
    EXPECT_EQ(KeepPathFolder("/b/", "/x.txt"), "/b/");
    EXPECT_EQ(KeepPathFolder("/b", "/home/x.txt"), "/b/home/");
    // Parent levels never lead out of the destination.
    EXPECT_EQ(KeepPathFolder("/b/", "/home/anna/../../../etc/x"), "/b/etc/");
    EXPECT_EQ(boxes.count(), 0);

    boxes.answer(platform::Answer::OK);
    EXPECT_EQ(KeepPathFolder("/b/", "report.txt"), "/b/");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Not a path");
    EXPECT_EQ(boxes.last().title, platform::ProgramTitle());
}
