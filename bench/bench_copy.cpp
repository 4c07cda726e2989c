// Times a silent run of the built backup program over a tree of 100,000 files
// in 2,000 folders, 1,000 of them changed today with mixed sizes (about 200 MB
// in all), beside `find TREE -type f -newermt TODAY | xargs cp -p --parents`
// copying the same files, and prints both times and their ratio.
//
//   bench_copy [tree folder] [program folder holding corvex]
//   (defaults: /tmp/corvex-bench-copy-tree, built on first run; ../bin)
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 49;      // 40 + 40 * 49 = 2,000 folders
constexpr int kFilesPerFolder = 50;  // 100,000 files
constexpr int kChangedEvery = 100;   // 1,000 changed today
constexpr int kRounds = 3;

// Mixed sizes of the changed files: many small, some medium, a few large.
qint64 changedSize(int n) {
    if (n % 20 == 0) return 2'500'000;  // 50 files
    if (n % 4 == 0) return 300'000;     // 200 files
    return 20'000;                      // 750 files
}

struct Tree {
    int changed = 0;
    qint64 changedBytes = 0;
};

bool readMarker(const QString& root, Tree& tree) {
    QFile marker(root + "/.complete");
    if (!marker.open(QIODevice::ReadOnly)) return false;
    const QList<QByteArray> parts = marker.readAll().trimmed().split(' ');
    if (parts.size() != 2) return false;
    tree.changed = parts[0].toInt();
    tree.changedBytes = parts[1].toLongLong();
    return true;
}

void writeFile(const QByteArray& path, qint64 size, const timespec* times) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (size > 0) {
        std::vector<char> block(64 * 1024);
        for (size_t i = 0; i < block.size(); ++i) block[i] = char((i * 7 + size) % 251);
        for (qint64 left = size; left > 0;) {
            const ssize_t w = ::write(fd, block.data(), size_t(std::min<qint64>(left, qint64(block.size()))));
            if (w <= 0) break;
            left -= w;
        }
    }
    if (times) ::futimens(fd, times);
    ::close(fd);
}

// The path of file number serial (0 to 99,999) of the tree.
QString filePath(const QString& root, int serial) {
    const int folder = serial / kFilesPerFolder;  // 0 .. 1,999
    const int top = folder / (kSubFolders + 1);
    const int sub = folder % (kSubFolders + 1);  // 0 = the top folder itself
    QString path = root + "/top" + QString::number(top);
    if (sub > 0) path += "/sub" + QString::number(sub - 1);
    return path + "/file" + QString::number(serial % kFilesPerFolder) + ".dat";
}

// Builds the tree once; later runs reuse it. The changed files carry the
// current time (set again on every run, so a tree built on another day still
// has today's 1,000), the rest and the marker a month-old one.
Tree buildTree(const QString& root) {
    Tree tree;
    const int total = kTopFolders * (kSubFolders + 1) * kFilesPerFolder;
    if (readMarker(root, tree)) {
        for (int serial = 0; serial < total; serial += kChangedEvery)
            ::utimensat(AT_FDCWD, QFile::encodeName(filePath(root, serial)).constData(), nullptr, 0);
        return tree;
    }
    QDir(root).removeRecursively();
    const qint64 monthAgo = QDateTime::currentSecsSinceEpoch() - 30 * 86400;
    const timespec old[2] = {{monthAgo, 0}, {monthAgo, 0}};
    for (int serial = 0; serial < total; ++serial) {
        const QString path = filePath(root, serial);
        if (serial % kFilesPerFolder == 0) QDir().mkpath(path.left(path.lastIndexOf('/')));
        if (serial % kChangedEvery == 0) {
            const qint64 size = changedSize(tree.changed);
            writeFile(QFile::encodeName(path), size, nullptr);
            ++tree.changed;
            tree.changedBytes += size;
        } else {
            writeFile(QFile::encodeName(path), 100, old);
        }
    }
    QFile marker(root + "/.complete");
    if (marker.open(QIODevice::WriteOnly))
        marker.write(QByteArray::number(tree.changed) + ' ' + QByteArray::number(tree.changedBytes));
    marker.close();
    ::utimensat(AT_FDCWD, QFile::encodeName(root + "/.complete").constData(), old, 0);
    return tree;
}

// Files below folder, and their bytes.
void countFiles(const QString& folder, int& files, qint64& bytes) {
    files = 0;
    bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().startsWith('_')) continue;  // the run's own lists
        ++files;
        bytes += it.fileInfo().size();
    }
}

double timeCorvex(const QString& corvex, const QString& root, const QString& dest) {
    QTemporaryDir programFolder;
    const QString prog = programFolder.path();
    QFile::copy(corvex, prog + "/corvex");
    QFile paths(prog + "/MyPaths.txt");
    if (paths.open(QIODevice::WriteOnly)) paths.write(QFile::encodeName(root + "/*\r\n"));
    paths.close();
    QFile ini(prog + "/corvex.ini");
    if (ini.open(QIODevice::WriteOnly)) {
        const QString text = "[general]\r\nrunSilently=1\r\nbackupTo=" + dest +
                             "\r\nbackupType=0\r\nkeepPaths=1\r\nRecordToPlandel=0\r\ndateOfLastBackup=" +
                             QDate::currentDate().toString("yyyy-MM-dd") +
                             " 00:00:00\r\n[Plandel]\r\ndataPath=" + prog + "\r\n";
        ini.write(text.toUtf8());
    }
    ini.close();
    QElapsedTimer timer;
    timer.start();
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    run.setProcessEnvironment(env);
    run.start(prog + "/corvex", {});
    run.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

double timeFindCopy(const QString& root, const QString& dest, const QString& today) {
    QDir().mkpath(dest);
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start("bash", {"-c", "find \"$1\" -type f -newermt \"$2\" -print0 | xargs -0 -r cp -p --parents -t \"$3\"",
                         "bench", root, today, dest});
    shell.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/corvex-bench-copy-tree");
    const QString bin =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    const QString corvex = QDir(bin).absoluteFilePath("corvex");
    if (!QFile::exists(corvex)) {
        std::fprintf(stderr, "corvex not found in %s\n", qPrintable(bin));
        return 2;
    }

    std::printf("Building or reusing the tree in %s ...\n", qPrintable(root));
    std::fflush(stdout);
    const Tree tree = buildTree(root);
    // The changed files must carry today's date for both copiers to pick them.
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");

    QTemporaryDir out;
    double bestCorvex = 1e9, bestCopy = 1e9;
    int corvexFiles = 0, copyFiles = 0;
    qint64 corvexBytes = 0, copyBytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        const QString destCorvex = out.path() + "/corvex" + QString::number(round);
        const QString destCopy = out.path() + "/cp" + QString::number(round);
        bestCorvex = std::min(bestCorvex, timeCorvex(corvex, root, destCorvex));
        bestCopy = std::min(bestCopy, timeFindCopy(root, destCopy, today));
        countFiles(destCorvex, corvexFiles, corvexBytes);
        countFiles(destCopy, copyFiles, copyBytes);
        QDir(destCorvex).removeRecursively();
        QDir(destCopy).removeRecursively();
    }

    std::printf("tree: %d folders, %d files, %d changed today (%.1f MB)\n", kTopFolders + kTopFolders * kSubFolders,
                (kTopFolders + kTopFolders * kSubFolders) * kFilesPerFolder, tree.changed, tree.changedBytes / 1e6);
    std::printf("corvex silent run: %.3f s (%d files, %.1f MB)\n", bestCorvex, corvexFiles, corvexBytes / 1e6);
    std::printf("find | cp -p --parents: %.3f s (%d files, %.1f MB)\n", bestCopy, copyFiles, copyBytes / 1e6);
    std::printf("ratio corvex/find+cp: %.2f\n", bestCorvex / bestCopy);
    const bool agree = corvexFiles == copyFiles && corvexBytes == copyBytes;
    if (!agree) std::printf("WARNING: the two copies differ\n");
    return agree ? 0 : 1;
}
