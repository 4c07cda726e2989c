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

// The stored time is the local time of the zone the last run ran in, whose
// offset is stored beside it: read further west it would start the window
// after that run's moment, so the window starts at the moment itself; read
// further east, or without an offset (an older settings file), it stands.
TEST_F(FolderNameTest, TheDateWindowStartsNoLaterThanTheLastBackupInAnotherZone) {
    constexpr const char* kUtc = "UTC0";
    constexpr const char* kLosAngeles = "PST8PDT,M3.2.0,M11.1.0";
    constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
    const struct {
        const char* what;
        const char* zone;
        const char* stored;
        const char* offset;  // nullptr: no key
        const char* now;     // local times of the zone
        const char* start;
        const char* logged;
    } cases[] = {
        {"from UTC to Los Angeles", kLosAngeles, "2024-01-11 02:30:00", "0", "2024-01-11 08:00", "2024-01-10 18:30",
         nullptr},
        {"there the same evening: no moment ahead", kLosAngeles, "2024-01-11 02:30:00", "0", "2024-01-10 20:00",
         "2024-01-10 18:30", nullptr},
        {"an older settings file", kLosAngeles, "2024-01-11 02:30:00", nullptr, "2024-01-11 08:00", "2024-01-11 02:30",
         nullptr},
        {"the same zone", kLosAngeles, "2024-01-11 02:30:00", "-28800", "2024-01-11 08:00", "2024-01-11 02:30",
         nullptr},
        {"from Los Angeles to UTC: wide already", kUtc, "2024-01-10 18:30:00", "-28800", "2024-01-11 08:00",
         "2024-01-10 18:30", nullptr},
        {"summer time ended in the same zone", kBerlin, "2024-07-01 12:00:00", "7200", "2024-11-04 08:00",
         "2024-07-01 12:00", nullptr},
        {"no offset", kLosAngeles, "2024-01-11 02:30:00", "west", "2024-01-11 08:00", "2024-01-11 02:30",
         "dateOfLastBackupUtcOffset 'west' is no offset from UTC - the date of the last backup is taken as local "
         "time"},
    };
    for (const auto& c : cases) {
        const ScopedTimeZone tz(c.zone);
        QFile::remove(env.path("corvex.log"));
        env.writeFile("corvex.ini", QString("[general]\r\ndateOfLastBackup=") + c.stored + "\r\n" +
                                        (c.offset ? QString("dateOfLastBackupUtcOffset=") + c.offset + "\r\n" : ""));
        const QDateTime start = DateWindowStart(QDateTime::fromString(c.now, "yyyy-MM-dd HH:mm"));
        EXPECT_EQ(start.toLocalTime().toString("yyyy-MM-dd HH:mm"), c.start) << c.what;
        const QString log = QFileInfo::exists(env.path("corvex.log")) ? env.readFile("corvex.log") : QString();
        EXPECT_EQ(log.contains(c.logged ? c.logged : "dateOf"), c.logged != nullptr) << c.what;
    }
}

// The time and its offset are stored together, in the zone of the moment.
TEST_F(FolderNameTest, TheLastBackupIsStoredWithItsOffsetFromUtc) {
    for (const auto& [zone, offset] : std::vector<std::pair<const char*, const char*>>{
             {"UTC0", "0"}, {"PST8PDT,M3.2.0,M11.1.0", "-28800"}, {"IST-5:30", "19800"}}) {
        const ScopedTimeZone tz(zone);
        ASSERT_TRUE(StoreLastBackupTime(QDateTime(QDate(2024, 1, 11), QTime(2, 30))));
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2024-01-11 02:30:00") << zone;
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackupUtcOffset"), offset) << zone;
    }
    // A settings file that cannot be written keeps both.
    QFile::remove(env.ini());
    ASSERT_TRUE(QDir().mkpath(env.ini()));
    EXPECT_FALSE(StoreLastBackupTime(QDateTime(QDate(2024, 1, 12), QTime(2, 30))));
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
