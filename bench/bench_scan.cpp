// Times the built corvex listing the changed files of a tree in a silent test
// run (destination "/dev/null": the files are listed, nothing is copied)
// beside the tools a user would pick instead, over the same files in the same
// run:
//   scan-100k  100,000 files, 1% changed: find -type f -newermt
//   scan-500k  500,000 files, 1% changed: find -type f -newermt, rsync -an
//   list-500k  500,000 files all listed: time and peak memory per listed file
//
//   bench_scan [--rounds N] [--bin FOLDER] [--trees FOLDER] [CASE ...]
#include "bench/BenchSupport.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

using namespace bench;

namespace {

// Five parts of 100,000 files in 2,000 folders (50 files a folder), empty,
// every 100th changed. scan-100k reads the first part.
const TreeSpec kTree{"corvex-bench-500k", 5, 40, 49, 50, 0, 100};

bool haveRsync() { return Run({"rsync", "--version"}).ok(); }

// The regular files rsync's --stats says it went through: "Number of files: 510,001 (reg: 500,000, dir: 10,001)".
qint64 rsyncFiles(const QString& out) {
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression reg("reg: ([0-9,.]+)");
    const QRegularExpressionMatch m = reg.match(QString::fromLocal8Bit(file.readAll()));
    return m.hasMatch() ? m.captured(1).remove(QRegularExpression("[^0-9]")).toLongLong() : -1;
}

bool scan(Context& context, int parts) {
    Tree tree;
    if (!EnsureTree(context, kTree, 0, tree)) return true;
    const QString sources = parts == kTree.parts ? tree.root : tree.part(0);
    const qint64 files = tree.files / kTree.parts * parts;
    const qint64 expected = tree.changed / kTree.parts * parts;
    const bool rsync = parts == kTree.parts && haveRsync();
    if (parts == kTree.parts && !rsync) Say("rsync is not installed: its figure is left out");

    const QString out = context.work + "/peer-output.txt";
    const auto find = [&] { return Run({"find", sources, "-type", "f", "-newermt", tree.since()}, {}, out); };
    const auto corvex = [&] { return RunCorvex(context, {sources, "/dev/null", tree.built}); };
    // Warm the cache: every tool goes through the tree once, untimed.
    find();
    const CorvexRun first = corvex();
    Say("  a silent test run leaves: " + DescribeProgramFolder(first.programFolder));

    bool ok = true;
    Figures corvexTimes, findTimes, rsyncTimes;
    long peakKb = 0;
    for (int round = 0; round < context.rounds; ++round) {
        const CorvexRun run = corvex();
        corvexTimes.add(run.seconds);
        peakKb = std::max(peakKb, run.peakKb);
        if (!run.ok() || run.listed != expected) {
            Say(QString("corvex listed %1 files, status %2; expected %3")
                    .arg(run.listed)
                    .arg(run.status)
                    .arg(expected));
            ok = false;
        }
        const Timing f = find();
        findTimes.add(f.seconds);
        const qint64 found = CountLines(out);
        if (!f.ok() || found != expected) {
            Say(QString("find found %1 files, status %2: %3").arg(found).arg(f.status).arg(ErrorLines(out)));
            ok = false;
        }
        if (!rsync) continue;
        const Timing r = Run({"rsync", "-an", "--stats", sources + "/", context.freshFolder("rsync") + "/"}, {}, out);
        rsyncTimes.add(r.seconds);
        if (!r.ok() || rsyncFiles(out) != files) {
            Say(QString("rsync went through %1 files, status %2: %3")
                    .arg(rsyncFiles(out))
                    .arg(r.status)
                    .arg(ErrorLines(out)));
            ok = false;
        }
    }

    const double ratio = corvexTimes.median() / findTimes.median();
    Say(QString("tree: %1 files in %2 folders, %3 of them changed")
            .arg(Grouped(files), Grouped(tree.folders / kTree.parts * parts), Grouped(expected)));
    Say(QString("corvex silent test run   %1, peak memory %2 MB (start-up %3 s)")
            .arg(Seconds(corvexTimes))
            .arg(peakKb / 1024)
            .arg(context.startup.seconds, 0, 'f', 3));
    Say(QString("find -type f -newermt    %1   ratio corvex/find %2").arg(Seconds(findTimes)).arg(ratio, 0, 'f', 2));
    QString beside = QString("`find -newermt` %1 s").arg(findTimes.median(), 0, 'f', 2);
    QString ratios = QString::number(ratio, 'f', 2);
    if (rsync) {
        const double r = corvexTimes.median() / rsyncTimes.median();
        Say(QString("rsync -an                %1   ratio corvex/rsync %2").arg(Seconds(rsyncTimes)).arg(r, 0, 'f', 2));
        beside += QString("; `rsync -an` %1 s").arg(rsyncTimes.median(), 0, 'f', 2);
        ratios += QString(" (%1 of rsync)").arg(r, 0, 'f', 2);
    }
    Say(QString("README: | scan, %1 files (1% changed) | %2 s | %3 | %4 |")
            .arg(parts == 1 ? "100k" : "500k")
            .arg(corvexTimes.median(), 0, 'f', 2)
            .arg(beside, ratios));
    return ok;
}

bool listAll(Context& context) {
    Tree tree;
    if (!EnsureTree(context, kTree, 0, tree)) return true;
    Run({"find", tree.root, "-type", "f"});  // warms the cache
    Figures times;
    long peakKb = 0;
    bool ok = true;
    for (int round = 0; round < context.rounds; ++round) {
        // Every file of the tree is 30 days old or from the day it was built.
        const CorvexRun run = RunCorvex(context, {tree.root, "/dev/null", tree.built.addDays(-60)});
        times.add(run.seconds);
        peakKb = std::max(peakKb, run.peakKb);
        if (round == 0) Say("  a silent test run leaves: " + DescribeProgramFolder(run.programFolder));
        if (!run.ok() || run.listed != tree.files) {
            Say(QString("corvex listed %1 files, status %2; expected %3")
                    .arg(run.listed)
                    .arg(run.status)
                    .arg(tree.files));
            ok = false;
        }
    }
    const double perRow = double(peakKb - context.startup.peakKb) * 1024 / double(tree.files);
    Say(QString("corvex silent test run listing %1 files: %2, peak memory %3 MB (start-up %4 s, %5 MB)")
            .arg(Grouped(tree.files), Seconds(times))
            .arg(peakKb / 1024)
            .arg(context.startup.seconds, 0, 'f', 3)
            .arg(context.startup.peakKb / 1024));
    Say(QString("memory per listed file beyond the start-up: %1 bytes").arg(perRow, 0, 'f', 0));
    // The row gives the seconds as the table's other rows do, and the bytes
    // rounded as the line above gives them.
    Say(QString("README: | 500,000 changed files listed in test mode | %1 s, %2 MB | — | %3 bytes a row |")
            .arg(times.median(), 0, 'f', 2)
            .arg(peakKb / 1024)
            .arg(Grouped(qRound64(perRow))));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    return Main(argc, argv,
                {{"scan-100k", "a silent test run over 100,000 files, 1% changed, beside find -newermt",
                  [](Context& c) { return scan(c, 1); }},
                 {"scan-500k", "a silent test run over 500,000 files, 1% changed, beside find -newermt and rsync -an",
                  [](Context& c) { return scan(c, kTree.parts); }},
                 {"list-500k", "a silent test run listing all of 500,000 files: time and peak memory", listAll, 3}});
}
