// Times the changed-file scan over a tree of about 100,000 files in 2,000
// folders, 1% of them modified today, beside `find DIR -type f -newermt TODAY`
// over the same tree, and prints both times and their ratio.
//
//   bench_scan [folder]     (default: /tmp/corvex-bench-tree; built on first run)
#include "foundation/ChangedFileScan.h"
#include "foundation/FileListModel.h"
#include "platform/SystemInfo.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 49;      // 40 + 40 * 49 = 2,000 folders
constexpr int kFilesPerFolder = 50;  // 100,000 files
constexpr int kChangedEvery = 100;   // 1% modified today
constexpr int kRounds = 3;

int changedFilesIn(const QString& root) {
    QFile marker(root + "/.complete");
    if (marker.open(QIODevice::ReadOnly)) return marker.readAll().trimmed().toInt();
    return -1;
}

void makeFiles(const QString& folder, int& serial, int& changed, const timespec old[2]) {
    QDir().mkpath(folder);
    for (int i = 0; i < kFilesPerFolder; ++i, ++serial) {
        const QByteArray path = QFile::encodeName(folder + "/file" + QString::number(i) + (i % 3 ? ".txt" : ".dat"));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) continue;
        if (serial % kChangedEvery == 0)
            ++changed;  // left with today's time
        else
            ::futimens(fd, old);
        ::close(fd);
    }
}

// Builds the tree once; later runs reuse it.
int buildTree(const QString& root) {
    const int known = changedFilesIn(root);
    if (known >= 0) return known;
    QDir(root).removeRecursively();
    const qint64 monthAgo = QDateTime::currentSecsSinceEpoch() - 30 * 86400;
    const timespec old[2] = {{monthAgo, 0}, {monthAgo, 0}};
    int serial = 0, changed = 0;
    for (int t = 0; t < kTopFolders; ++t) {
        const QString top = root + "/top" + QString::number(t);
        makeFiles(top, serial, changed, old);
        for (int s = 0; s < kSubFolders; ++s) makeFiles(top + "/sub" + QString::number(s), serial, changed, old);
    }
    QFile marker(root + "/.complete");
    if (marker.open(QIODevice::WriteOnly)) marker.write(QByteArray::number(changed));
    return changed;
}

double timeFind(const QString& root, const QString& today, int& found) {
    QElapsedTimer timer;
    timer.start();
    QProcess find;
    find.start("find", {root, "-type", "f", "-newermt", today});
    find.waitForFinished(-1);
    const double secs = timer.nsecsElapsed() / 1e9;
    found = int(find.readAllStandardOutput().count('\n'));
    return secs;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/corvex-bench-tree");
    QTemporaryDir programFolder;  // folders.lis goes here, not beside the benchmark
    platform::SetProgramFolder(programFolder.path());

    std::printf("Building or reusing the tree in %s ...\n", qPrintable(root));
    std::fflush(stdout);
    const int changed = buildTree(root);

    QTreeWidget allPaths;
    QListWidget folders;
    folders.addItem(root + "/*");
    QListWidget patterns;
    patterns.addItem("*.*");
    QTreeWidget excluded;
    FileListModel files;

    const QDate today = QDate::currentDate();
    const QString todayText = today.toString("yyyy-MM-dd");
    int found = 0;
    timeFind(root, todayText, found);  // warms the caches for both

    double bestScan = 1e9, bestFind = 1e9;
    int rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        ListChangedFiles(today.startOfDay(), QDateTime::currentDateTime(), &folders, &patterns, &files, &excluded,
                         &allPaths, true, true, nullptr);
        bestScan = std::min(bestScan, timer.nsecsElapsed() / 1e9);
        rows = files.count();
        bestFind = std::min(bestFind, timeFind(root, todayText, found));
    }

    std::printf("tree: %d folders, %d files, %d modified today\n", int(allPaths.topLevelItemCount()),
                (kTopFolders + kTopFolders * kSubFolders) * kFilesPerFolder, changed);
    std::printf("scan: %.3f s (%d rows)\n", bestScan, rows);
    std::printf("find: %.3f s (%d files)\n", bestFind, found);
    std::printf("ratio scan/find: %.2f\n", bestScan / bestFind);
    if (rows != found) std::printf("WARNING: the scan and find disagree on the number of files\n");
    return rows == found ? 0 : 1;
}
