// What the benchmarks share: timing a program started from here, the trees of
// files they time over (built once, kept under /tmp), a program folder with a
// copy of the built corvex and its settings for a silent run, the rounds and
// their median, and the command line that picks the cases to run.
//
// Every benchmark program takes the same arguments:
//   bench_x [--rounds N] [--bin FOLDER] [--trees FOLDER] [CASE ...]
//   bench_x --cases        (prints the names of its cases)
// Without a case it runs all of its cases. --rounds sets the timed rounds of
// every case (default: 5, fewer for the long ones). --bin is the program folder holding
// corvex (default: ../bin beside the benchmark), --trees the folder the trees
// are kept in (default: /tmp).
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bench {

// One run of a program: wall time from start to end, how it ended, its peak memory.
struct Timing {
    double seconds = 0;
    int status = -1;  // exit status; -1 when it did not end by exit
    long peakKb = 0;  // the largest resident set, in KiB
    bool ok() const { return status == 0; }
};

// Starts argv[0] (found in PATH) with the rest as its arguments in folder
// (empty: the current one), its output into outFile and its error output into
// outFile + ".err" (both /dev/null when outFile is empty), waits for it and
// times it. Dirty pages of earlier runs are written out first, untimed, so
// that their write-back does not fall into this run.
Timing Run(const QStringList& argv, const QString& folder = {}, const QString& outFile = {});

// Runs script with bash under pipefail (so a failing part of a pipe fails the
// run), args as $1, $2 ...
Timing RunShell(const QString& script, const QStringList& args, const QString& folder = {},
                const QString& outFile = {});

// The first lines of a run's error output, for a run that failed.
QString ErrorLines(const QString& outFile);

// The lines of a text file; -1 when it cannot be read.
qint64 CountLines(const QString& path);

// A tree of files: parts x tops x (1 + subs) folders of filesPerFolder files
// each. Every changedEvery-th file carries the time the tree was built; the
// others are 30 days older. A tree is built once; a marker file beside it,
// written when it is complete, lets later runs reuse it.
struct TreeSpec {
    QString name;  // folder in the trees folder
    int parts = 1;
    int tops = 1;
    int subs = 0;  // folders below each top folder
    int filesPerFolder = 50;
    qint64 fileSize = 0;
    int changedEvery = 1;  // 1: every file changed
};

struct Tree {
    QString root;
    QDate built;  // the day of the changed files' time; the day before holds none of the tree's files
    qint64 folders = 0;
    qint64 files = 0;
    qint64 changed = 0;
    qint64 changedBytes = 0;
    QString part(int n) const { return root + "/part" + QString::number(n); }
    // The changed files are those of the built day onwards, as find's -newermt reads it.
    QString since() const { return built.toString("yyyy-MM-dd") + " 00:00:00"; }
};

// The disk space the files of a spec take (blocks of 4 KiB), and their count.
qint64 TreeDiskBytes(const TreeSpec& spec);
qint64 TreeFiles(const TreeSpec& spec);

struct Context;

// Builds the tree, or finds it built. False (with a message) when there is not
// room for it and extraBytes more.
bool EnsureTree(const Context& context, const TreeSpec& spec, qint64 extraBytes, Tree& tree);

// Files below folder and their bytes; the run's own lists (_files.txt and
// _fileDetails.txt) in folder itself are left out.
void CountFiles(const QString& folder, qint64& files, qint64& bytes);

// A silent run of corvex from a fresh program folder.
struct CorvexSettings {
    QString sources;      // backed up with all of its subfolders
    QString destination;  // "/dev/null" for a test run
    QDate since;          // the day of the last backup: files of this day onwards are listed
    bool recording = false;
};

struct CorvexRun : Timing {
    QString programFolder;
    // From the run's line in events.log; -1 when there is none.
    qint64 listed = -1;
    qint64 bytes = -1;
    qint64 errors = -1;
};

// prepare, when given, adds files to the program folder before the run.
CorvexRun RunCorvex(Context& context, const CorvexSettings& settings,
                    const std::function<void(const QString& programFolder)>& prepare = {});

// The files a run left in its program folder, with their sizes and line counts.
QString DescribeProgramFolder(const QString& programFolder);

// Seconds of several rounds.
struct Figures {
    std::vector<double> seconds;
    void add(double s) { seconds.push_back(s); }
    double median() const;
    double best() const;
};

// "1.234 s (best 1.200; rounds 1.234 1.200 1.300)"
QString Seconds(const Figures& figures);
// "1,234,567"
QString Grouped(qint64 n);

struct Context {
    int rounds = 5;
    QString bin;     // holds corvex
    QString trees;   // holds the trees
    QString work;    // this case's scratch folder, removed when the case ends
    Timing startup;  // the median empty silent run
    int fresh = 0;
    // A new empty folder in the scratch folder.
    QString freshFolder(const QString& stem);
    // Free bytes where the trees lie; false, with a message, when fewer than needed.
    bool roomFor(qint64 bytes, const QString& what) const;
};

struct Case {
    QString name;
    QString what;  // what it times, one line
    // Prints its figures; false when a figure cannot be trusted (a run failed,
    // the copies disagree).
    std::function<bool(Context&)> run;
    int rounds = 5;  // timed rounds of each figure, unless the command line sets them
};

// Parses the command line, prints the machine, times an empty silent run, and
// runs the chosen cases. 0 when every case ran and agreed, 1 when one did not,
// 2 on a bad command line.
int Main(int argc, char** argv, const std::vector<Case>& cases);

// Prints a line and flushes, so progress shows while a long run goes on.
void Say(const QString& line);

}  // namespace bench
