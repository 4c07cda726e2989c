// Walks and scans with folders read on worker threads give exactly what they
// give on one thread, stop when asked and leave no thread behind.
#include "foundation/FolderPrefetch.h"
#include "TreeBuilder.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/FileListModel.h"
#include "foundation/ListFiles.h"
#include "foundation/ProgramValues.h"
#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>
#include <optional>

namespace {

const QDate kToday(2024, 5, 10);
const QDateTime kNoon(kToday, QTime(12, 0));
const QDateTime kLongAgo(QDate(2020, 1, 1), QTime(12, 0));

// Each folder of the tree holds two changed files and an old one; a folder
// below the bottom level is made only where fanout allows.
void makeTree(const QString& folder, int fanout, int depth) {
    MakeFile(folder + "/f.txt", kNoon);
    MakeFile(folder + "/g.dat", kNoon);
    MakeFile(folder + "/old.txt", kLongAgo);
    if (depth == 0) return;
    for (int i = 0; i < fanout; ++i) makeTree(folder + "/n" + QString::number(i), fanout, depth - 1);
}

int threadCount() { return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

// What one scan leaves: the expanded list, folders.lis, the rows in the order
// they were added, the log lines it wrote (without date and names) and the
// errors it counted.
struct Outcome {
    QStringList expanded;
    QByteArray foldersList;
    QStringList rows;
    QStringList log;
    int errors = 0;
};

class ScanRecorder {
public:
    explicit ScanRecorder(TestEnvironment& env) : m_env(env) {
        m_patterns.addItems({"*.txt", "*.*"});
        // Rows reach the views in the order they were added, before the list sorts them.
        QObject::connect(&m_files, &QAbstractItemModel::rowsInserted, [this](const QModelIndex&, int first, int last) {
            for (int i = first; i <= last; ++i) m_rows << m_files.row(i).path;
        });
    }

    Outcome scan(QWidget* folderList, int threads, bool asOrdinaryUser) {
        m_rows.clear();
        const qsizetype logBefore = m_env.readLines("corvex.log").size();
        SetFolderReadThreads(threads);
        Outcome out;
        {
            std::optional<AsOrdinaryUser> ordinary;
            if (asOrdinaryUser) ordinary.emplace();
            out.errors = ListChangedFiles(QDateTime(kToday, QTime(0, 0)), kNoon, folderList, &m_patterns, &m_files,
                                          &m_excluded, &m_allPaths, true, true, nullptr);
        }
        ResetFolderReadThreads();
        out.expanded = ListRowTexts(&m_allPaths);
        out.foldersList = ReadBytes(m_env.path("folders.lis"));
        out.rows = m_rows;
        for (const QString& line : m_env.readLines("corvex.log").mid(logBefore))
            out.log << line.section(u',', 5);  // after date, time, program, user and host
        return out;
    }

    QTreeWidget& allPaths() { return m_allPaths; }
    int rowsAdded() const { return m_files.count(); }

private:
    TestEnvironment& m_env;
    QListWidget m_patterns;
    FileListModel m_files;
    QTreeWidget m_excluded;
    QTreeWidget m_allPaths;
    QStringList m_rows;
};

bool isPrefix(const QStringList& part, const QStringList& whole) {
    return part.size() <= whole.size() && whole.mid(0, part.size()) == part;
}

}  // namespace

TEST(FolderPrefetch, ThreadsGiveTheOneThreadRowsListsAndLogInItsOrder) {
    TestEnvironment env;
    const QString root = env.path("tree");
    makeTree(root, 4, 3);  // 85 folders on four levels
    // Links are files of their own, never walked: to a folder, back to the
    // root, to a file, dangling. A folder without permission keeps its row,
    // loses its subtree and is an error of the scan.
    MakeLink(root + "/n1", root + "/n0/toN1", kNoon);
    MakeLink(root, root + "/n1/n1/up", kNoon);
    MakeLink(root + "/n2/f.txt", root + "/n3/n3/n3/f-link.txt", kNoon);
    MakeLink(root + "/gone", root + "/n3/dangling.txt", kLongAgo);
    MakeFile(root + "/n2/locked/inside/deep.txt", kNoon);
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0777), 0);  // folders.lis is written as that user
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/n2/locked").constData(), 0), 0);

    QListWidget folders;
    // The whole tree, a folder of it again as a plain entry (scanned once), and one that is gone.
    folders.addItems({root + "/*", root + "/n3/", env.path("gone/")});
    ScanRecorder recorder(env);
    const Outcome one = recorder.scan(&folders, 0, true);
    const Outcome many = recorder.scan(&folders, 8, true);
    ::chmod(QFile::encodeName(root + "/n2/locked").constData(), 0755);

    ASSERT_EQ(one.expanded.size(), 85 + 1 + 1);  // the tree, locked, the folder that is gone
    EXPECT_FALSE(one.expanded.contains(root + "/n2/locked/inside"));
    EXPECT_FALSE(one.expanded.contains(root + "/n0/toN1"));
    EXPECT_EQ(one.errors, 2);  // locked and gone
    // f.txt twice (both patterns) and g.dat once per folder; the links to
    // folders once ("*.*"), the link to a file twice; the old link not at all.
    EXPECT_EQ(one.rows.size(), 85 * 3 + 2 + 2);
    EXPECT_EQ(one.rows.count(root + "/n3/n3/n3/f-link.txt"), 2);
    EXPECT_EQ(many.expanded, one.expanded);
    EXPECT_EQ(many.foldersList, one.foldersList);
    EXPECT_EQ(many.rows, one.rows);
    EXPECT_EQ(many.log, one.log);
    EXPECT_EQ(many.errors, one.errors);
}

TEST(FolderPrefetch, StopDuringTheWalkOrTheScanKeepsWhatOneThreadFoundSoFar) {
    TestEnvironment env;
    const QString root = env.path("tree");
    for (int i = 0; i < 100; ++i) MakeFile(root + "/d" + QString::number(i) + "/f.txt", kNoon);
    QListWidget folders;
    folders.addItem(root + "/*");
    ScanRecorder recorder(env);
    const Outcome whole = recorder.scan(&folders, 0, false);
    ASSERT_EQ(whole.rows.size(), 200);  // each file matches both patterns

    struct Case {
        const char* stage;
        bool duringWalk;
    };
    for (const Case& c : {Case{"walk", true}, Case{"scan", false}}) {
        SCOPED_TRACE(c.stage);
        const int threadsBefore = threadCount();
        QTimer stopper;
        stopper.setInterval(0);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (c.duringWalk ? recorder.allPaths().topLevelItemCount() >= 10 : recorder.rowsAdded() > 0)
                ScanStopRequested = true;
        });
        stopper.start();
        const Outcome stopped = recorder.scan(&folders, 8, false);
        stopper.stop();
        EXPECT_TRUE(ScanStopRequested);
        ScanStopRequested = false;
        EXPECT_EQ(threadCount(), threadsBefore);  // every worker has ended
        EXPECT_TRUE(isPrefix(stopped.expanded, whole.expanded));
        EXPECT_TRUE(isPrefix(stopped.rows, whole.rows));
        if (c.duringWalk) {
            EXPECT_LT(stopped.expanded.size(), whole.expanded.size());
            EXPECT_TRUE(stopped.rows.isEmpty());
        } else {
            EXPECT_EQ(stopped.expanded, whole.expanded);
            EXPECT_FALSE(stopped.rows.isEmpty());
            EXPECT_LT(stopped.rows.size(), whole.rows.size());
        }
    }
}
