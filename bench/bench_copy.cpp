// Times a silent backup run of the built corvex (the scan, the copies and the
// lists, from start to end) beside the tools a user would pick instead,
// copying the same changed files in the same run:
//   copy-200kb  1,000 files of 200 KB: find | cp -p --parents
//   copy-4kb    20,000 files of 4 KB: find | cp -p --parents
//   copy-1kb    100,000 files of 1 KB: find | cp -p --parents, rsync -a
//   copy-2gib   one file of 2 GiB: cp -p, cat
// Every run copies into a fresh folder; the copies are deleted only after the
// last round, so that no run pays for the deletions of another.
//
//   bench_copy [--rounds N] [--bin FOLDER] [--trees FOLDER] [CASE ...]
#include "bench/BenchSupport.h"

#include <algorithm>

using namespace bench;

namespace {

enum class Peer { FindCp, Rsync, Cp, Cat };

struct CopyCase {
    TreeSpec tree;  // every file changed
    QString row;    // the README row's name
    std::vector<Peer> peers;
};

QString label(Peer peer) {
    switch (peer) {
    case Peer::FindCp: return QStringLiteral("find | cp -p --parents");
    case Peer::Rsync: return QStringLiteral("rsync -a");
    case Peer::Cp: return QStringLiteral("cp -p");
    case Peer::Cat: return QStringLiteral("cat");
    }
    return {};
}

QString shortLabel(Peer peer) {
    switch (peer) {
    case Peer::FindCp: return QStringLiteral("`find … \\| cp -p --parents`");
    case Peer::Rsync: return QStringLiteral("`rsync -a`");
    case Peer::Cp: return QStringLiteral("`cp -p`");
    case Peer::Cat: return QStringLiteral("`cat`");
    }
    return {};
}

// The only file of a one-file tree.
QString onlyFile(const Tree& tree) { return tree.part(0) + "/top0/file0.dat"; }

Timing runPeer(Peer peer, const Tree& tree, const QString& dest, const QString& out) {
    // cp --parents runs from "/" with relative paths: given absolute ones it
    // reports an error for every parent folder.
    const QString relative = tree.root.mid(1);
    switch (peer) {
    case Peer::FindCp:
        return RunShell("find \"$1\" -type f -newermt \"$2\" -print0 | xargs -0 -r cp -p --parents -t \"$3\"",
                        {relative, tree.since(), dest}, "/", out);
    case Peer::Rsync: return Run({"rsync", "-a", tree.root + "/", dest + "/"}, {}, out);
    case Peer::Cp: return Run({"cp", "-p", onlyFile(tree), dest + "/"}, {}, out);
    case Peer::Cat: return RunShell("cat \"$1\" > \"$2\"/file0.dat", {onlyFile(tree), dest}, {}, out);
    }
    return {};
}

bool copy(Context& context, const CopyCase& given) {
    // A peer that is not installed is left out; the case runs with the others.
    CopyCase c = given;
    if (std::find(c.peers.begin(), c.peers.end(), Peer::Rsync) != c.peers.end() && !Run({"rsync", "--version"}).ok()) {
        Say("rsync is not installed: its figure is left out");
        c.peers.erase(std::remove(c.peers.begin(), c.peers.end(), Peer::Rsync), c.peers.end());
    }
    // Every round of every tool keeps its copy until the end.
    const qint64 copies = qint64(context.rounds) * qint64(1 + c.peers.size());
    Tree tree;
    if (!EnsureTree(context, c.tree, TreeDiskBytes(c.tree) * copies, tree)) return true;
    // Warm the cache: the files are read once, untimed.
    RunShell("find \"$1\" -type f -exec cat {} + > /dev/null", {tree.root});

    bool ok = true;
    const auto check = [&](const QString& who, const Timing& t, const QString& dest, const QString& out) {
        qint64 files = 0, bytes = 0;
        CountFiles(dest, files, bytes);
        if (t.ok() && files == tree.files && bytes == tree.changedBytes) return;
        Say(QString("%1 copied %2 files, %3 bytes, status %4 (expected %5 files, %6 bytes) %7")
                .arg(who, Grouped(files), Grouped(bytes))
                .arg(t.status)
                .arg(Grouped(tree.files), Grouped(tree.changedBytes), out.isEmpty() ? QString() : ErrorLines(out)));
        ok = false;
    };

    Figures corvexTimes;
    std::vector<Figures> peerTimes(c.peers.size());
    long peakKb = 0;
    const QString out = context.work + "/peer-output.txt";
    for (int round = 0; round < context.rounds; ++round) {
        const QString dest = context.freshFolder("corvex");
        const CorvexRun run = RunCorvex(context, {tree.root, dest, tree.built});
        corvexTimes.add(run.seconds);
        peakKb = std::max(peakKb, run.peakKb);
        if (round == 0) Say("  a silent run leaves: " + DescribeProgramFolder(run.programFolder));
        check("corvex", run, dest, {});
        if (run.listed != tree.files || run.errors != 0) {
            Say(QString("corvex's events.log: %1 files with %2 errors").arg(run.listed).arg(run.errors));
            ok = false;
        }
        for (size_t p = 0; p < c.peers.size(); ++p) {
            const QString peerDest = context.freshFolder("peer");
            const Timing t = runPeer(c.peers[p], tree, peerDest, out);
            peerTimes[p].add(t.seconds);
            check(label(c.peers[p]), t, peerDest, out);
        }
    }

    Say(QString("tree: %1 files in %2 folders, %3 MB, all changed")
            .arg(Grouped(tree.files), Grouped(tree.folders))
            .arg(tree.changedBytes / 1e6, 0, 'f', 1));
    Say(QString("%1 %2, peak memory %3 MB (start-up %4 s)")
            .arg(QStringLiteral("corvex silent run").leftJustified(24), Seconds(corvexTimes))
            .arg(peakKb / 1024)
            .arg(context.startup.seconds, 0, 'f', 3));
    QStringList beside;
    QString ratios;
    for (size_t p = 0; p < c.peers.size(); ++p) {
        const double ratio = corvexTimes.median() / peerTimes[p].median();
        Say(QString("%1 %2   ratio corvex/it %3")
                .arg(label(c.peers[p]).leftJustified(24), Seconds(peerTimes[p]))
                .arg(ratio, 0, 'f', 2));
        beside << QString("%1 %2 s").arg(shortLabel(c.peers[p])).arg(peerTimes[p].median(), 0, 'f', 2);
        ratios += p == 0 ? QString::number(ratio, 'f', 2)
                         : QString(" (%1 of %2)").arg(QString::number(ratio, 'f', 2), shortLabel(c.peers[p]));
    }
    Say(QString("README: | copy %1 | %2 s, %3 MB | %4 | %5 |")
            .arg(c.row)
            .arg(corvexTimes.median(), 0, 'f', 2)
            .arg(peakKb / 1024)
            .arg(beside.join("; "), ratios));
    return ok;
}

const CopyCase k200kb{{"corvex-bench-200kb", 1, 1, 19, 50, 200 * 1024, 1}, "1,000 × 200 KB", {Peer::FindCp}};
const CopyCase k4kb{{"corvex-bench-4kb", 1, 8, 49, 50, 4 * 1024, 1}, "20,000 × 4 KB", {Peer::FindCp}};
const CopyCase k1kb{{"corvex-bench-1kb", 1, 40, 49, 50, 1024, 1}, "100,000 × 1 KB", {Peer::FindCp, Peer::Rsync}};
const CopyCase k2gib{{"corvex-bench-2gib", 1, 1, 0, 1, qint64(2) << 30, 1}, "one 2 GiB file", {Peer::Cp, Peer::Cat}};

}  // namespace

int main(int argc, char** argv) {
    return Main(argc, argv,
                {{"copy-200kb", "1,000 files of 200 KB in 20 folders", [](Context& c) { return copy(c, k200kb); }},
                 {"copy-4kb", "20,000 files of 4 KB in 400 folders", [](Context& c) { return copy(c, k4kb); }},
                 {"copy-1kb", "100,000 files of 1 KB in 2,000 folders", [](Context& c) { return copy(c, k1kb); }, 3},
                 {"copy-2gib", "one file of 2 GiB", [](Context& c) { return copy(c, k2gib); }, 3}});
}
