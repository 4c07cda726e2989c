// Times a silent run of the built backup program that copies 1,000 changed
// files and records each of them into the planner's month file, which already
// holds 40,000 records, beside the same run without recording, and prints
// both times and their ratio (the recording run should take at most 1.5 times
// as long).
//
//   bench_planner [tree folder] [program folder holding corvex]
//   (defaults: /tmp/corvex-bench-planner-tree, built on first run; ../bin)
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 50;  // 1,000 files, all changed today
constexpr int kRecords = 40'000;     // already in the month's file
constexpr int kRounds = 3;
const char kSep = 31;

void buildTree(const QString& root) {
    QDir(root).removeRecursively();
    const QByteArray content(1000, 'x');
    for (int folder = 0; folder < kFolders; ++folder) {
        const QString dir = root + "/folder" + QString::number(folder);
        QDir().mkpath(dir);
        for (int n = 0; n < kFilesPerFolder; ++n) {
            QFile f(dir + "/changed" + QString::number(folder * kFilesPerFolder + n) + ".txt");
            if (f.open(QIODevice::WriteOnly)) f.write(content);
        }
    }
}

// The month's data file with kRecords file records spread over its days.
QByteArray monthFile(const QDate& today) {
    QByteArray data = "\r\n";
    const QDate first(today.year(), today.month(), 1);
    const int days = today.daysInMonth();
    QList<int> sequence(days + 1, 0);
    for (int n = 0; n < kRecords; ++n) {
        const int day = 1 + n % days;
        const QByteArray date = first.addDays(day - 1).toString("yyyyMMdd").toLatin1();
        const QByteArray time = QByteArray::number(1000 + n % 1300).rightJustified(4, '0');
        const QByteArray id = "D" + date + QByteArray::number(++sequence[day]).rightJustified(4, '0');
        const QByteArray name = "earlier" + QByteArray::number(n) + ".doc";
        QByteArray line = id + kSep + date + kSep + "Edit" + kSep + time + kSep + kSep + "PCFile" + kSep + kSep +
                          "/home/anna/work/" + name + kSep;
        for (int k = 0; k < 6; ++k) line += kSep;
        data += line + name + " (12,345 bytes)" + kSep + "\r\n";
    }
    return data;
}

struct Run {
    double seconds = 0;
    int records = 0;  // record lines in the month's file afterwards
};

Run timeCorvex(const QString& corvex, const QString& root, bool recording, const QByteArray& month,
               const QString& monthName) {
    QTemporaryDir programFolder;
    const QString prog = programFolder.path();
    QFile::copy(corvex, prog + "/corvex");
    QFile paths(prog + "/MyPaths.txt");
    if (paths.open(QIODevice::WriteOnly)) paths.write(QFile::encodeName(root + "/*\r\n"));
    paths.close();
    QFile data(prog + "/" + monthName);
    if (data.open(QIODevice::WriteOnly)) data.write(month);
    data.close();
    QFile ini(prog + "/corvex.ini");
    if (ini.open(QIODevice::WriteOnly)) {
        const QString text = "[general]\r\nrunSilently=1\r\nbackupTo=" + prog + "/dest" +
                             "\r\nbackupType=0\r\nkeepPaths=1\r\nRecordToPlandel=" + (recording ? "1" : "0") +
                             "\r\ndateOfLastBackup=" + QDate::currentDate().toString("yyyy-MM-dd") +
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
    Run result;
    result.seconds = timer.nsecsElapsed() / 1e9;
    if (data.open(QIODevice::ReadOnly)) result.records = int(data.readAll().count("\r\nD"));
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/corvex-bench-planner-tree");
    const QString bin =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    const QString corvex = QDir(bin).absoluteFilePath("corvex");
    if (!QFile::exists(corvex)) {
        std::fprintf(stderr, "corvex not found in %s\n", qPrintable(bin));
        return 2;
    }
    buildTree(root);
    const QDate today = QDate::currentDate();
    const QByteArray month = monthFile(today);
    const QString monthName = "D" + today.toString("yyyyMM") + ".dat";

    Run withRecords, without;
    withRecords.seconds = without.seconds = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const Run a = timeCorvex(corvex, root, true, month, monthName);
        const Run b = timeCorvex(corvex, root, false, month, monthName);
        if (a.seconds < withRecords.seconds) withRecords = a;
        if (b.seconds < without.seconds) without = b;
    }
    std::printf("month file: %d records (%.1f MB); %d files changed today\n", kRecords, month.size() / 1e6,
                kFolders * kFilesPerFolder);
    std::printf("corvex silent run recording each file: %.3f s (%d records afterwards)\n", withRecords.seconds,
                withRecords.records);
    std::printf("corvex silent run without recording: %.3f s (%d records afterwards)\n", without.seconds,
                without.records);
    std::printf("ratio recording/not: %.2f\n", withRecords.seconds / without.seconds);
    // One record per file and one for the run; without recording only the run's.
    const bool agree =
        withRecords.records == kRecords + kFolders * kFilesPerFolder + 1 && without.records == kRecords + 1;
    if (!agree) std::printf("WARNING: the month file does not hold the expected records\n");
    return agree ? 0 : 1;
}
