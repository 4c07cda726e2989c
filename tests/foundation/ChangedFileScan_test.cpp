// The changed-file scan over trees built with known modification times.
#include "foundation/ChangedFileScan.h"
#include "TreeBuilder.h"
#include "foundation/FileListModel.h"
#include "foundation/ListFiles.h"
#include "foundation/ProgramValues.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/Pointer.h"
#include "support/AsOrdinaryUser.h"
#include "support/ScopedTimeZone.h"
#include "support/ScriptedBoxes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

const QDate kToday(2024, 5, 10);
const QDateTime kNoon(kToday, QTime(12, 0));
const QDateTime kLongAgo(QDate(2020, 1, 1), QTime(12, 0));

// A main window stand-in: it owns the expanded folder list.
struct Host {
    QWidget window;
    QTreeWidget* allPaths = new QTreeWidget(&window);
    FileListModel files;
    QListWidget patterns;
    QTreeWidget excluded;
    Host() { patterns.addItem("*.*"); }
    QStringList expanded() const { return ListRowTexts(allPaths); }
    // The paths of the file list in its order.
    QStringList paths() const {
        QStringList rows;
        for (const FileListModel::Row& row : files.rows()) rows << row.path;
        return rows;
    }
    QStringList fileRows() const {
        QStringList rows = paths();
        rows.sort();
        return rows;
    }
    void scan(QWidget* folders, const QDateTime& from = QDateTime(kToday, QTime(0, 0)), const QDateTime& to = kNoon,
              bool detailed = true, bool checkAll = true, QProgressBar* bar = nullptr) {
        ListChangedFiles(from, to, folders, &patterns, &files, &excluded, allPaths, detailed, checkAll, bar);
    }
    void scanInto(QWidget* folders, const QString& backupFolder) {
        ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, folders, &patterns, &files, &excluded, allPaths, true,
                         true, nullptr, backupFolder);
    }
    void exclude(const QString& fragment) { excluded.addTopLevelItem(new QTreeWidgetItem(QStringList{fragment})); }
};

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

}  // namespace

class ScanTest : public ::testing::Test {
protected:
    TestEnvironment env;
    QString root = env.path("data");

    void SetUp() override {
        MakeFile(root + "/top.txt", kNoon);
        MakeFile(root + "/old.txt", kLongAgo);
        MakeFile(root + "/sub/mid.doc", kNoon);
        MakeFile(root + "/sub/deeper/low.TXT", kNoon);
        MakeFile(root + "/temp/scratch.txt", kNoon);
    }
};

TEST_F(ScanTest, PlainEntryScansItsFolderAloneAndStarEntryTheWholeTree) {
    Host host;
    QListWidget folders;
    folders.addItem(root + "/");
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), QStringList{root + "/top.txt"});
    EXPECT_EQ(host.expanded(), QStringList{root + "/"});

    folders.clear();
    folders.addItem(root + "/*");
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), (QStringList{root + "/sub/deeper/low.TXT", root + "/sub/mid.doc",
                                            root + "/temp/scratch.txt", root + "/top.txt"}));
    EXPECT_EQ(sorted(host.expanded()), (QStringList{root, root + "/sub", root + "/sub/deeper", root + "/temp"}));
    EXPECT_EQ(host.expanded().first(), root);
    EXPECT_EQ(sorted(env.readLines("folders.lis")), sorted(host.expanded()));
}

TEST_F(ScanTest, UntickedEntriesAreNotScannedNorWritten) {
    Host host;
    QTreeWidget folders;
    for (const auto& [text, ticked] : {std::pair{root + "/sub/", false}, std::pair{root + "/temp/", true}}) {
        auto* item = new QTreeWidgetItem(QStringList{text});
        item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
        folders.addTopLevelItem(item);
    }
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), QStringList{root + "/temp/scratch.txt"});
    EXPECT_EQ(env.readLines("folders.lis"), QStringList{root + "/temp/"});
}

TEST_F(ScanTest, ExclusionsApplyBeforeFilesAreReadAndShowInFoldersList) {
    Host host;
    QListWidget folders;
    folders.addItem(root + "/*");
    host.exclude("/temp");
    host.exclude("/SUB");  // letter case counts: excludes nothing
    host.exclude("/deeper");
    // Lines of blanks only exclude nothing (not every path with a blank).
    MakeFile(root + "/My Documents/letter.txt", kNoon);
    host.exclude(" ");
    host.exclude(" \t ");
    host.exclude("");
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), (QStringList{root + "/My Documents/letter.txt", root + "/sub/mid.doc", root + "/top.txt"}));
    EXPECT_EQ(sorted(env.readLines("folders.lis")), (QStringList{root, root + "/My Documents", root + "/sub"}));
    EXPECT_EQ(sorted(host.expanded()), (QStringList{root, root + "/My Documents", root + "/sub"}));
}

TEST_F(ScanTest, TheBackupFolderIsNeverScanned) {
    // Backups kept inside a scanned tree: earlier copies must not be copied again.
    MakeFile(root + "/Backup/flat-copy.txt", kNoon);
    MakeFile(root + "/Backup/20240509/data/top.txt", kNoon);
    Host host;
    QListWidget folders;
    folders.addItem(root + "/*");
    host.scanInto(&folders, root + "/Backup/");
    EXPECT_EQ(host.fileRows(), sorted({root + "/top.txt", root + "/sub/mid.doc", root + "/sub/deeper/low.TXT",
                                       root + "/temp/scratch.txt"}));
    EXPECT_FALSE(env.readFile("folders.lis").contains("/Backup"));
    // A folder whose name only begins like the backup folder is still scanned.
    MakeFile(root + "/Backups-old/keep.txt", kNoon);
    host.scanInto(&folders, root + "/Backup");
    EXPECT_TRUE(host.fileRows().contains(root + "/Backups-old/keep.txt"));
    EXPECT_FALSE(host.fileRows().contains(root + "/Backup/flat-copy.txt"));
    // The root as destination stands for the whole disk: it hides nothing.
    host.scanInto(&folders, "/");
    EXPECT_TRUE(host.fileRows().contains(root + "/Backup/flat-copy.txt"));
}

TEST_F(ScanTest, DateWindowEdges) {
    const QString edge = env.path("edge");
    MakeFile(edge + "/late-evening.txt", QDateTime(kToday, QTime(23, 59, 30)));
    MakeFile(edge + "/next-day.txt", QDateTime(kToday.addDays(1), QTime(0, 0, 10)));
    MakeFile(edge + "/first-moment.txt", QDateTime(kToday.addDays(-3), QTime(0, 0, 0)));
    MakeFile(edge + "/day-before.txt", QDateTime(kToday.addDays(-4), QTime(23, 59, 59)));
    Host host;
    QListWidget folders;
    folders.addItem(edge + "/");
    // From three days back (late in that day) to today (early in the day): only days count.
    host.scan(&folders, QDateTime(kToday.addDays(-3), QTime(22, 0)), QDateTime(kToday, QTime(0, 5)));
    EXPECT_EQ(host.fileRows(), (QStringList{edge + "/first-moment.txt", edge + "/late-evening.txt"}));
    // The same moment at both ends: that one day.
    host.scan(&folders, kNoon, kNoon);
    EXPECT_EQ(host.fileRows(), QStringList{edge + "/late-evening.txt"});
    // From after to: nothing.
    host.scan(&folders, kNoon.addDays(1), kNoon);
    EXPECT_TRUE(host.fileRows().isEmpty());
    // A window that ends today or later has no end: a file from a wrong clock
    // is listed; one that ended before today keeps its end.
    env.setNow(kNoon);
    host.scan(&folders, kNoon.addDays(-3), kNoon);
    EXPECT_EQ(host.fileRows(),
              (QStringList{edge + "/first-moment.txt", edge + "/late-evening.txt", edge + "/next-day.txt"}));
    host.scan(&folders, kNoon, kNoon.addDays(5));
    EXPECT_EQ(host.fileRows(), (QStringList{edge + "/late-evening.txt", edge + "/next-day.txt"}));
    host.scan(&folders, kNoon.addDays(-3), kNoon.addDays(-1));
    EXPECT_EQ(host.fileRows(), QStringList{edge + "/first-moment.txt"});
    EXPECT_TRUE(IsFileDateInRange(edge + "/next-day.txt", kNoon, kNoon));
    env.setNow(kNoon.addDays(2));

    EXPECT_TRUE(IsFileDateInRange(edge + "/late-evening.txt", kNoon, kNoon));
    EXPECT_FALSE(IsFileDateInRange(edge + "/next-day.txt", kNoon, kNoon));
    EXPECT_TRUE(IsFileDateInRange(edge + "/next-day.txt", kNoon, kNoon.addDays(1)));
    EXPECT_FALSE(IsFileDateInRange(edge + "/missing.txt", kLongAgo, kNoon));
}

// The window's days are local calendar days, in every zone and whatever zone
// the moments are handed in: early in the local day the UTC date is often
// another one.
TEST_F(ScanTest, TheDateWindowCountsLocalDaysInEveryZone) {
    for (const char* zone : kTestTimeZones) {
        const ScopedTimeZone tz(zone);
        const QString dir = env.path(QString("zone-%1").arg(QString(zone).left(3)));
        const QDate yesterday = kToday.addDays(-1);
        MakeFile(dir + "/before.txt", QDateTime(yesterday.addDays(-1), QTime(23, 50)));
        MakeFile(dir + "/early-yesterday.txt", QDateTime(yesterday, QTime(0, 10)));
        MakeFile(dir + "/after-the-run.txt", QDateTime(yesterday, QTime(21, 0)));
        MakeFile(dir + "/after-midnight.txt", QDateTime(kToday, QTime(0, 20)));
        const QDateTime now(kToday, QTime(0, 45));
        env.setNow(now);
        const QDateTime lastRun(yesterday, QTime(20, 0));
        Host host;
        QListWidget folders;
        folders.addItem(dir + "/");
        for (const QDateTime& from : {lastRun, lastRun.toUTC(), lastRun.toOffsetFromUtc(-11 * 3600)}) {
            host.scan(&folders, from, now.toUTC());
            EXPECT_EQ(host.fileRows(), (QStringList{dir + "/after-midnight.txt", dir + "/after-the-run.txt",
                                                    dir + "/early-yesterday.txt"}))
                << zone << " from " << from.toString(Qt::ISODate).toStdString();
            // A window that ended yesterday ends at the local midnight.
            host.scan(&folders, from, lastRun.toUTC());
            EXPECT_EQ(host.fileRows(), (QStringList{dir + "/after-the-run.txt", dir + "/early-yesterday.txt"}))
                << zone << " from " << from.toString(Qt::ISODate).toStdString();
        }
        EXPECT_TRUE(IsFileDateInRange(dir + "/after-midnight.txt", QDateTime(kToday, QTime(0, 0)).toUTC(),
                                      QDateTime(kToday, QTime(0, 1)).toUTC()))
            << zone;
        EXPECT_FALSE(IsFileDateInRange(dir + "/before.txt", lastRun.toUTC(), lastRun.toUTC())) << zone;
    }
}

// A day that begins or loses an hour to summer time still runs from its first
// moment to the next day's.
TEST_F(ScanTest, TheDateWindowFollowsSummerTimeChanges) {
    const struct {
        const char* zone;
        QDate day;
        QTime lastRun;
        QDateTime firstMoment;  // of the day, local
    } cases[] = {
        // New York: 02:00 becomes 03:00, and later 02:00 comes twice.
        {"EST5EDT,M3.2.0,M11.1.0", QDate(2024, 3, 10), QTime(1, 30), QDateTime(QDate(2024, 3, 10), QTime(0, 0))},
        {"EST5EDT,M3.2.0,M11.1.0", QDate(2024, 11, 3), QTime(1, 30), QDateTime(QDate(2024, 11, 3), QTime(0, 0))},
        // A zone whose clocks go on at midnight: the day begins at 01:00.
        {"<-04>4<-03>,M9.1.6/24,M4.1.6/24", QDate(2024, 9, 8), QTime(12, 0), QDateTime(QDate(2024, 9, 8), QTime(1, 0))},
        // Adelaide, half an hour from the hour, in the southern spring.
        {"ACST-9:30ACDT,M10.1.0,M4.1.0/3", QDate(2024, 10, 6), QTime(2, 15),
         QDateTime(QDate(2024, 10, 6), QTime(0, 0))},
    };
    for (const auto& c : cases) {
        const ScopedTimeZone tz(c.zone);
        const QString dir = env.path("dst-" + c.day.toString("yyyyMMdd"));
        const QDateTime first = c.firstMoment;
        ASSERT_TRUE(first.isValid()) << c.zone;
        MakeFile(dir + "/last-second-before.txt", QDateTime::fromSecsSinceEpoch(first.toSecsSinceEpoch() - 1));
        MakeFile(dir + "/first-second.txt", first);
        MakeFile(dir + "/late.txt", QDateTime(c.day, QTime(23, 59, 59)));
        MakeFile(dir + "/next-day.txt", QDateTime(c.day.addDays(1), QTime(0, 30)));
        env.setNow(QDateTime(c.day.addDays(3), QTime(12, 0)));
        Host host;
        QListWidget folders;
        folders.addItem(dir + "/");
        const QDateTime lastRun(c.day, c.lastRun);
        host.scan(&folders, lastRun.toUTC(), lastRun.toUTC());
        EXPECT_EQ(host.fileRows(), (QStringList{dir + "/first-second.txt", dir + "/late.txt"})) << c.zone;
    }
}

TEST_F(ScanTest, PatternsWithAndWithoutDot) {
    const QString dir = env.path("pat");
    for (const char* name : {"a.txt", "b.TXT", "c.text", "d.doc", "Makefile", "e.txt.bak"})
        MakeFile(dir + '/' + name, kNoon);
    Host host;
    QListWidget folders;
    folders.addItem(dir + "/");
    host.patterns.clear();
    host.patterns.addItems({"txt", "", "*.doc"});
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), (QStringList{dir + "/a.txt", dir + "/b.TXT", dir + "/d.doc"}));
    // "*." takes the names without a dot; "*" stands for "*.*".
    host.patterns.clear();
    host.patterns.addItem("*.");
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), QStringList{dir + "/Makefile"});
    host.patterns.clear();
    host.patterns.addItem("*");
    host.scan(&folders);
    EXPECT_EQ(host.files.count(), 6);
    // A file matching two masks is listed twice.
    host.patterns.clear();
    host.patterns.addItems({"a.*", "*.txt"});
    host.scan(&folders);
    EXPECT_EQ(host.paths().count(dir + "/a.txt"), 2);
    // No patterns: no files, but the folder list is still written.
    QFile::remove(env.path("folders.lis"));
    host.patterns.clear();
    host.scan(&folders);
    EXPECT_EQ(host.files.count(), 0);
    EXPECT_EQ(env.readLines("folders.lis"), QStringList{dir + "/"});
}

TEST_F(ScanTest, MoreThanAHundredPatternsReportsAndUsesTheFirstHundred) {
    const QString dir = env.path("many");
    MakeFile(dir + "/f.x100", kNoon);
    MakeFile(dir + "/f.x99", kNoon);
    Host host;
    QListWidget folders;
    folders.addItem(dir + "/");
    host.patterns.clear();
    for (int i = 0; i <= 100; ++i) host.patterns.addItem("x" + QString::number(i));
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    host.scan(&folders);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Error #  9 occurred. = Subscript out of range");
    EXPECT_TRUE(
        env.readFile("corvex.log").contains(",ListChangedFiles : Error #  9 occurred. = Subscript out of range"));
    EXPECT_EQ(host.fileRows(), QStringList{dir + "/f.x99"});
}

TEST_F(ScanTest, FullRowTexts) {
    const QString dir = env.path("v1.2");
    MakeFile(dir + "/empty.dat", QDateTime(kToday, QTime(7, 5, 59)));
    MakeFile(dir + "/grouped.bin", QDateTime(kToday, QTime(21, 30)), 1234567);
    MakeFile(dir + "/Makefile", kNoon, 10);
    MakeFile(dir + "/huge.iso", kNoon, qint64(3) * 1024 * 1024 * 1024);
    Host host;
    QListWidget folders;
    folders.addItem(dir);  // no trailing "/": the rows get one all the same
    host.scan(&folders);
    ASSERT_EQ(host.files.count(), 4);
    // The text of a column of the named file's row.
    auto text = [&](const QString& name, int column) {
        const int row = int(host.paths().indexOf(dir + '/' + name));
        return row < 0 ? QStringLiteral("<no row>") : host.files.text(row, column);
    };
    const int empty = int(host.paths().indexOf(dir + "/empty.dat"));
    ASSERT_GE(empty, 0);
    EXPECT_TRUE(host.files.hasText(empty, 13));
    EXPECT_EQ(text("empty.dat", 1), "empty.dat");
    EXPECT_EQ(text("empty.dat", 2), dir + '/');
    EXPECT_EQ(text("empty.dat", 3), "0          ");
    EXPECT_EQ(text("empty.dat", 4), "DAT");
    EXPECT_EQ(text("empty.dat", 5), "2024-05-10 07:05");
    for (int i = 6; i <= 13; ++i) EXPECT_EQ(text("empty.dat", i), "") << i;

    QLocale locale = QLocale::system();
    const QString sep = locale.groupSeparator();
    EXPECT_EQ(text("grouped.bin", 3), "1" + sep + "234" + sep + "567  ");
    EXPECT_EQ(text("grouped.bin", 5), "2024-05-10 21:30");
    // A size beyond 32 bits, longer than the padding, is not cut.
    EXPECT_EQ(text("huge.iso", 3), "3" + sep + "221" + sep + "225" + sep + "472");
    // No dot in the name: the extension is what follows the folder's dot.
    EXPECT_EQ(text("Makefile", 4), "2/MAKEFILE");

    // Short rows: the path and the name only.
    host.scan(&folders, QDateTime(kToday, QTime(0, 0)), kNoon, false);
    const int shortRow = int(host.paths().indexOf(dir + "/empty.dat"));
    ASSERT_GE(shortRow, 0);
    EXPECT_TRUE(host.files.hasText(shortRow, 1));
    EXPECT_FALSE(host.files.hasText(shortRow, 2));
    EXPECT_EQ(text("empty.dat", 1), "empty.dat");

    // One row added by hand.
    FileListModel list;
    AddFileToList(dir, "grouped.bin", &list);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.row(0).path, dir + "/grouped.bin");
    EXPECT_EQ(list.text(0, 4), "BIN");
    EXPECT_FALSE(list.row(0).ticked);
}

TEST_F(ScanTest, RegularFilesAndLinksAreListedEachLinkAsItself) {
    const QString dir = env.path("odd");
    const QString secret = env.path("secret");
    MakeFile(dir + "/.hidden", kNoon);
    MakeFile(dir + "/plain.txt", kNoon);
    MakeFile(secret + "/old.txt", kLongAgo);
    MakeFile(secret + "/new.txt", kNoon);
    MakeFile(secret + "/inner/x.txt", kNoon);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/pipe").constData(), 0644), 0);
    MakeFolder(dir + "/folder.txt");
    // A link is one row with its own time and size, whatever it points to.
    MakeLink(dir + "/plain.txt", dir + "/link.txt", kNoon);
    MakeLink(secret + "/old.txt", dir + "/to-old", kNoon);
    MakeLink(secret + "/new.txt", dir + "/old-link", kLongAgo);
    MakeLink(secret, dir + "/to-folder", kNoon);
    MakeLink(dir + "/nowhere", dir + "/dangling", kNoon);
    Host host;
    QListWidget folders;
    for (const char* entry : {"/", "/*"}) {
        folders.clear();
        folders.addItem(dir + entry);
        host.scan(&folders);
        EXPECT_EQ(host.fileRows(), (QStringList{dir + "/.hidden", dir + "/dangling", dir + "/link.txt",
                                                dir + "/plain.txt", dir + "/to-folder", dir + "/to-old"}))
            << entry;
        EXPECT_FALSE(host.expanded().contains(dir + "/to-folder")) << entry;
    }
    const int row = int(host.paths().indexOf(dir + "/to-folder"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(host.files.row(row).size, QFile::encodeName(secret).size());
    FileListModel one;
    AddFileToList(dir, "old-link", &one);
    EXPECT_EQ(one.row(0).modifiedSecs, kLongAgo.toSecsSinceEpoch());
    EXPECT_FALSE(IsFileDateInRange(dir + "/old-link", kNoon, kNoon));

    // An entry the user wrote may itself be a link: it is followed.
    folders.clear();
    folders.addItem(dir + "/to-folder/*");
    host.scan(&folders);
    EXPECT_EQ(host.fileRows(), (QStringList{dir + "/to-folder/inner/x.txt", dir + "/to-folder/new.txt"}));
}

TEST_F(ScanTest, CheckAllSortingProgressAndPointer) {
    Host host;
    host.files.sort(0, Qt::DescendingOrder);
    host.files.setSortingEnabled(false);
    QListWidget folders;
    folders.addItem(root + "/*");
    QProgressBar bar;
    host.scan(&folders, QDateTime(kToday, QTime(0, 0)), kNoon, true, true, &bar);
    ASSERT_EQ(host.files.count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(host.files.row(i).ticked);
    EXPECT_TRUE(host.files.isSortingEnabled());
    EXPECT_EQ(host.files.row(0).path, root + "/top.txt");  // sorted descending
    EXPECT_EQ(bar.value(), 100);
    EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);

    // Without check-all the rows keep their boxes, unticked; the next scan still has boxes.
    host.scan(&folders, QDateTime(kToday, QTime(0, 0)), kNoon, true, false);
    ASSERT_EQ(host.files.count(), 4);
    EXPECT_FALSE(host.files.row(0).ticked);
    EXPECT_EQ(host.files.data(host.files.index(0, 0), Qt::CheckStateRole), Qt::Unchecked);

    // A list without check boxes gets none, even with check-all.
    Host plain;
    plain.files.setCheckBoxes(false);
    plain.scan(&folders);
    ASSERT_EQ(plain.files.count(), 4);
    EXPECT_FALSE(plain.files.row(0).ticked);
    EXPECT_FALSE(plain.files.data(plain.files.index(0, 0), Qt::CheckStateRole).isValid());
}

TEST_F(ScanTest, HostWithoutExpandedListStillScans) {
    FileListModel files;
    QListWidget patterns;
    patterns.addItem("*.*");
    QListWidget folders;
    folders.addItem(root + "/sub/*");
    ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &patterns, &files, nullptr, nullptr, true, false,
                     nullptr);
    EXPECT_EQ(files.count(), 2);
    EXPECT_EQ(sorted(env.readLines("folders.lis")), (QStringList{root + "/sub", root + "/sub/deeper"}));
}

TEST_F(ScanTest, StopRequestEndsTheScanWithRowsSoFar) {
    Host host;
    QListWidget folders;
    folders.addItem(root + "/*");
    QTimer::singleShot(0, [] { ScanStopRequested = true; });
    host.scan(&folders);
    EXPECT_TRUE(ScanStopRequested);
    EXPECT_LT(host.files.count(), 4);
    EXPECT_TRUE(host.files.isSortingEnabled());
    // The next scan starts afresh.
    host.scan(&folders);
    EXPECT_EQ(host.files.count(), 4);
    ScanStopRequested = false;
}

TEST_F(ScanTest, AFolderCoveredTwiceIsScannedOnceAtItsFirstPlace) {
    ASSERT_TRUE(QFile::link(root + "/sub", env.path("alias")));
    Host host;
    QListWidget folders;
    // Inside a tree listed after it, the tree itself, a subtree of it, and the
    // same subtree through a link, plain and whole.
    folders.addItems({root + "/sub/deeper", root + "/*", root + "/sub/*", env.path("alias/"), env.path("alias/*")});
    host.scan(&folders);
    EXPECT_EQ(host.paths().size(), 4);
    EXPECT_EQ(host.fileRows(), (QStringList{root + "/sub/deeper/low.TXT", root + "/sub/mid.doc",
                                            root + "/temp/scratch.txt", root + "/top.txt"}));
    const QStringList expanded = host.expanded();
    EXPECT_EQ(expanded.mid(0, 2), (QStringList{root + "/sub/deeper", root}));
    EXPECT_EQ(sorted(expanded), sorted({root + "/sub/deeper", root, root + "/sub", root + "/temp"}));
    EXPECT_EQ(env.readLines("folders.lis"), expanded);
}

TEST_F(ScanTest, OddNamesAreListedExactlyAsTheyAreOnDisk) {
    const QString dir = env.path(QString::fromUtf8("odd, names -x ü"));
    const QStringList names{
        "a b.txt",         "comma,name.txt", "-leading-dash.txt",    QString::fromUtf8("Grüße ✓.txt"),
        "trailing space ", "report,",        "'quoted' \"both\".txt"};
    for (const QString& name : names) MakeFile(dir + '/' + name, kNoon);
    MakeFile(dir + "/sub/x.txt", kNoon);
    Host host;
    QListWidget folders;
    folders.addItem(dir + "/*");
    host.scan(&folders);
    QStringList expected;
    for (const QString& name : names) expected << dir + '/' + name;
    expected << dir + "/sub/x.txt";
    expected.sort();
    EXPECT_EQ(host.fileRows(), expected);
    for (int i = 0; i < host.files.count(); ++i) {
        const QString path = host.files.text(i, 0);
        EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
        EXPECT_EQ(host.files.text(i, 2) + host.files.text(i, 1), path);
    }
    EXPECT_EQ(sorted(env.readLines("folders.lis")), (QStringList{dir, dir + "/sub"}));
}

TEST_F(ScanTest, ListsGoingAwayDuringWindowEventsEndTheScanQuietly) {
    const QString many = env.path("many");
    for (int i = 0; i < 40; ++i) MakeFile(many + QStringLiteral("/f%1.txt").arg(i), kNoon);
    QListWidget folders;
    folders.addItems({root + "/*", many + "/"});

    // The file list goes away while rows are being added (the yield at the 33rd row).
    {
        Host host;
        auto* files = new FileListModel;
        QPointer<FileListModel> guard(files);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (guard && guard->count() > 0) delete guard.data();
        });
        timer.start(0);
        ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &host.patterns, files, &host.excluded,
                         host.allPaths, true, true, nullptr);
        EXPECT_TRUE(guard.isNull());
        EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);
    }
    // The host window, with its expanded list, goes away during the folder walk.
    {
        auto* window = new QWidget;
        auto* allPaths = new QTreeWidget(window);
        QPointer<QWidget> guard(window);
        FileListModel files;
        QListWidget patterns;
        patterns.addItem("*.*");
        QTimer::singleShot(0, [&] { delete guard.data(); });
        ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &patterns, &files, nullptr, allPaths, true,
                         true, nullptr);
        EXPECT_TRUE(guard.isNull());
        EXPECT_TRUE(files.isSortingEnabled());
        EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);
    }
    // A later scan works as ever.
    Host host;
    host.scan(&folders);
    EXPECT_EQ(host.files.count(), 44);
}

TEST_F(ScanTest, NamesInOtherEncodingsAreScannedAndListedWithoutLoss) {
    // A folder and files named in Latin-1 (unpacked from an old archive), and
    // a file really named U+FFFD beside one named with the byte 0xFF.
    const QByteArray odd = platform::BytesFromText(root) +
                           "/B\xfc"
                           "cher";
    ASSERT_EQ(::mkdir(odd.constData(), 0755), 0);
    for (const QByteArray& name : {QByteArray("/caf\xe9.txt"), QByteArray("/\xff"), QByteArray("/\xef\xbf\xbd")}) {
        const QByteArray path = odd + name;
        ASSERT_EQ(::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644)), 0);
        const struct timespec times[2] = {{kNoon.toSecsSinceEpoch(), 0}, {kNoon.toSecsSinceEpoch(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    }
    Host host;
    QListWidget folders;
    folders.addItems({root + "/*", env.path("missing/")});
    EXPECT_EQ(ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &host.patterns, &host.files,
                               &host.excluded, host.allPaths, true, true, nullptr),
              1);
    QList<QByteArray> listed;
    for (const QString& row : host.fileRows())
        if (row.contains(u"/B")) listed << platform::BytesFromText(row);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (QList<QByteArray>{odd + "/caf\xe9.txt", odd + "/\xef\xbf\xbd", odd + "/\xff"}));
    // folders.lis holds the folder's own bytes.
    EXPECT_TRUE(ReadBytes(env.path("folders.lis")).contains(odd + "\r\n"));
    EXPECT_TRUE(
        env.readFile("corvex.log").contains(",ProcessFolderFiles : cant read folder " + env.path("missing/") + "\r\n"));
}

TEST_F(ScanTest, FoldersThatCannotBeFoundOrReadAreCountedErrors) {
    // A "*" entry whose folder has gone, a plain entry whose folder has gone,
    // and a subfolder of a walked tree without permission: three errors.
    MakeFile(root + "/locked/inside.txt", kNoon);
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/locked").constData(), 0), 0);
    Host host;
    QListWidget folders;
    folders.addItems({env.path("unplugged/*"), root + "/*", env.path("renamed/")});
    int errors = 0;
    {
        AsOrdinaryUser ordinary;
        errors = ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &host.patterns, &host.files,
                                  &host.excluded, host.allPaths, true, true, nullptr);
    }
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
    EXPECT_EQ(errors, 3);
    EXPECT_TRUE(host.fileRows().contains(root + "/sub/mid.doc"));
    const QString log = env.readFile("corvex.log");
    EXPECT_TRUE(log.contains(",BuildFolderList : cant find folder " + env.path("unplugged/") + "\r\n"))
        << log.toStdString();
    EXPECT_TRUE(log.contains(",ProcessFolderFiles : cant read folder " + root + "/locked\r\n"));
    EXPECT_TRUE(log.contains(",ProcessFolderFiles : cant read folder " + env.path("renamed/") + "\r\n"));
    // An excluded folder that cannot be read is no error: it is not wanted.
    host.exclude("/locked");
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0);
    {
        AsOrdinaryUser ordinary;
        QListWidget tree;
        tree.addItem(root + "/*");
        errors = ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &tree, &host.patterns, &host.files,
                                  &host.excluded, host.allPaths, true, true, nullptr);
    }
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
    EXPECT_EQ(errors, 0);
}

TEST_F(ScanTest, TheReportNamesTheListedEntriesThatWereAwayAndTheScansStart) {
    // Away: a "*" entry and a plain entry whose folders have gone, a listed
    // folder without permission. Not away: a subfolder without permission
    // below a listed folder, and a listed folder that is there.
    MakeFile(root + "/locked/inside.txt", kNoon);
    MakeFile(env.path("private/own.txt"), kNoon);
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0777), 0);
    for (const QString& folder : {root + "/locked", env.path("private")})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0), 0);
    Host host;
    QListWidget folders;
    folders.addItems({env.path("unplugged/*"), root + "/*", env.path("renamed/"), env.path("private/*"),
                      env.path("private/"), root + "/sub/"});
    // Every look at the clock is a second later than the one before.
    QDateTime clock(kToday, QTime(23, 59, 58));
    platform::SetClock([&clock] {
        clock = clock.addSecs(1);
        return clock;
    });
    ScanReport report;
    int errors = 0;
    {
        AsOrdinaryUser ordinary;
        errors = ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &host.patterns, &host.files,
                                  &host.excluded, host.allPaths, true, true, nullptr, {}, &report);
    }
    platform::SetClock({});
    for (const QString& folder : {root + "/locked", env.path("private")})
        ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_EQ(errors, 4);
    EXPECT_EQ(report.awayEntries, (QStringList{env.path("unplugged/*"), env.path("renamed/"), env.path("private/*")}));
    EXPECT_EQ(report.startedAt, QDateTime(kToday, QTime(23, 59, 59))) << "the first look at the clock";
    // Without a report the scan runs as before.
    EXPECT_EQ(ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, &folders, &host.patterns, &host.files,
                               &host.excluded, host.allPaths, true, true, nullptr),
              2);
}

TEST_F(ScanTest, TheDestinationIsKnownByIdentityAndSourcesInsideItAreStillScanned) {
    MakeFile(root + "/Backup/20240509/data/top.txt", kNoon);
    MakeFile(root + "/Backup/keep/own.txt", kNoon);
    ASSERT_TRUE(QFile::link(root + "/Backup", env.path("dest")));
    Host host;
    QListWidget folders;
    folders.addItems({root + "/*", env.path("dest/keep/*")});
    // The destination spelled through a link and a relative path.
    ASSERT_TRUE(QDir::setCurrent(env.folder()));
    host.scanInto(&folders, "dest");
    EXPECT_EQ(host.fileRows(), sorted({root + "/top.txt", root + "/sub/mid.doc", root + "/sub/deeper/low.TXT",
                                       root + "/temp/scratch.txt", env.path("dest/keep/own.txt")}));
    EXPECT_FALSE(host.expanded().contains(root + "/Backup"));
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",BuildFolderList : " + env.path("dest/keep/") +
                              " lies inside the backup destination dest - scanned all the same\r\n"));
    ASSERT_TRUE(QDir::setCurrent(QDir::rootPath()));
}

TEST_F(ScanTest, VirtualFileSystemsAreNotScanned) {
    Host host;
    QListWidget folders;
    // Whole trees, and plain entries (one reached through a link).
    ASSERT_TRUE(QFile::link("/proc/self", env.path("mine")));
    folders.addItems({"/proc/*", "/sys/*", "/proc/", "/sys/kernel/", env.path("mine/")});
    EXPECT_EQ(ListChangedFiles(QDateTime(kToday, QTime(0, 0)), QDateTime::currentDateTime(), &folders,
                               &host.patterns, &host.files, &host.excluded, host.allPaths, true, true, nullptr),
              0);
    EXPECT_TRUE(host.expanded().isEmpty());
    EXPECT_EQ(host.files.count(), 0);
    const QString log = env.readFile("corvex.log");
    for (const QString& plain : {QString("/proc/"), QString("/sys/kernel/"), env.path("mine/")})
        EXPECT_TRUE(log.contains(",BuildFolderList : " + plain + " is a virtual file system - not scanned\r\n"))
            << plain.toStdString();
}
