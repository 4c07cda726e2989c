#include "bench/BenchSupport.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace bench {

namespace {

QByteArray bytes(const QString& text) { return QFile::encodeName(text); }

double now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(file.readAll());
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() && file.flush();
}

qint64 digits(QString text) {
    text.remove(QRegularExpression("[^0-9]"));
    return text.isEmpty() ? -1 : text.toLongLong();
}

QString loadAverage() {
    const QStringList parts = readAll("/proc/loadavg").split(' ');
    return parts.size() >= 3 ? parts[0] + " " + parts[1] + " " + parts[2] : QStringLiteral("?");
}

QString cpuModel() {
    for (const QString& line : readAll("/proc/cpuinfo").split('\n'))
        if (line.startsWith("model name")) return line.section(':', 1).trimmed();
    return QStringLiteral("unknown CPU");
}

// The file system of the mount that holds path.
QString fileSystemOf(const QString& path) {
    const QString canonical = QString::fromStdString(fs::weakly_canonical(bytes(path).toStdString()).string());
    QString best, type = QStringLiteral("?");
    for (const QString& line : readAll("/proc/mounts").split('\n')) {
        const QStringList f = line.split(' ');
        if (f.size() < 3) continue;
        const QString& mount = f[1];
        const bool holds = canonical == mount || mount == "/" || canonical.startsWith(mount + '/');
        if (holds && mount.size() >= best.size()) {
            best = mount;
            type = f[2];
        }
    }
    return type;
}

QString sizeText(qint64 n) {
    if (n < 10'000) return QString::number(n) + " B";
    if (n < 1'000'000) return QString::number(n / 1e3, 'f', 1) + " kB";
    return QString::number(n / 1e6, 'f', 1) + " MB";
}

// The pattern every tree file is written with.
const std::vector<char>& block() {
    static const std::vector<char> data = [] {
        std::vector<char> b(1 << 20);
        quint32 x = 2463534242u;
        for (char& c : b) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x);
        }
        return b;
    }();
    return data;
}

bool writeTreeFile(const QByteArray& path, qint64 size, const timespec times[2]) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (qint64 left = size; ok && left > 0;) {
        const ssize_t w = ::write(fd, block().data(), size_t(std::min<qint64>(left, qint64(block().size()))));
        ok = w > 0;
        left -= w;
    }
    ok = ok && ::futimens(fd, times) == 0;
    return ::close(fd) == 0 && ok;
}

QString specSignature(const TreeSpec& s) {
    return QString("v2 %1 %2 %3 %4 %5 %6")
        .arg(s.parts)
        .arg(s.tops)
        .arg(s.subs)
        .arg(s.filesPerFolder)
        .arg(s.fileSize)
        .arg(s.changedEvery);
}

bool readMarker(const QString& path, const TreeSpec& spec, Tree& tree) {
    const QStringList f = readAll(path).trimmed().split('\n');
    if (f.size() != 6 || f[0] != specSignature(spec)) return false;
    tree.built = QDate::fromString(f[1], "yyyy-MM-dd");
    tree.folders = f[2].toLongLong();
    tree.files = f[3].toLongLong();
    tree.changed = f[4].toLongLong();
    tree.changedBytes = f[5].toLongLong();
    return tree.built.isValid();
}

}  // namespace

void Say(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

Timing Run(const QStringList& argv, const QString& folder, const QString& outFile) {
    std::vector<QByteArray> args;
    for (const QString& a : argv) args.push_back(bytes(a));
    std::vector<char*> argp;
    for (QByteArray& a : args) argp.push_back(a.data());
    argp.push_back(nullptr);
    const QByteArray dir = bytes(folder);
    const QByteArray out = outFile.isEmpty() ? QByteArray("/dev/null") : bytes(outFile);
    const QByteArray err = outFile.isEmpty() ? QByteArray("/dev/null") : bytes(outFile + ".err");

    ::sync();
    Timing timing;
    const double start = now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
        if (!dir.isEmpty() && ::chdir(dir.constData()) != 0) ::_exit(126);
        ::execvp(argp[0], argp.data());
        ::_exit(127);
    }
    if (pid < 0) return timing;
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    timing.seconds = now() - start;
    timing.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    timing.peakKb = usage.ru_maxrss;
    return timing;
}

Timing RunShell(const QString& script, const QStringList& args, const QString& folder, const QString& outFile) {
    return Run(QStringList{"bash", "-o", "pipefail", "-c", script, "bench"} + args, folder, outFile);
}

QString ErrorLines(const QString& outFile) {
    const QStringList lines = readAll(outFile + ".err").split('\n', Qt::SkipEmptyParts);
    return lines.mid(0, 3).join(" | ") + (lines.size() > 3 ? QString(" ... (%1 lines)").arg(lines.size()) : QString());
}

qint64 CountLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    qint64 lines = 0;
    while (!file.atEnd()) lines += file.read(1 << 20).count('\n');
    return lines;
}

qint64 TreeFiles(const TreeSpec& s) { return qint64(s.parts) * s.tops * (1 + s.subs) * s.filesPerFolder; }

qint64 TreeDiskBytes(const TreeSpec& s) {
    const qint64 folders = qint64(s.parts) * s.tops * (1 + s.subs);
    return TreeFiles(s) * ((s.fileSize + 4095) / 4096 * 4096) + folders * 4096;
}

bool EnsureTree(const Context& context, const TreeSpec& spec, qint64 extraBytes, Tree& tree) {
    tree = Tree{};
    tree.root = context.trees + "/" + spec.name;
    const QString marker = tree.root + ".complete";
    if (readMarker(marker, spec, tree)) {
        Say("tree " + tree.root + ": reused (built " + tree.built.toString("yyyy-MM-dd") + ")");
        return context.roomFor(extraBytes, spec.name);
    }
    if (!context.roomFor(TreeDiskBytes(spec) + extraBytes, spec.name)) return false;
    Say("tree " + tree.root + ": building " + Grouped(TreeFiles(spec)) + " files of " + Grouped(spec.fileSize) +
        " bytes ...");
    QFile::remove(marker);
    std::error_code ignored;
    fs::remove_all(bytes(tree.root).toStdString(), ignored);

    const QDateTime built = QDateTime::currentDateTime();
    const qint64 changedSecs = built.toSecsSinceEpoch();
    const qint64 oldSecs = changedSecs - 30 * 86400;
    const timespec changedTimes[2] = {{changedSecs, 0}, {changedSecs, 0}};
    const timespec oldTimes[2] = {{oldSecs, 0}, {oldSecs, 0}};
    tree.built = built.date();
    qint64 serial = 0;
    for (int p = 0; p < spec.parts; ++p) {
        for (int t = 0; t < spec.tops; ++t) {
            for (int s = -1; s < spec.subs; ++s) {
                QString folder = tree.part(p) + "/top" + QString::number(t);
                if (s >= 0) folder += "/sub" + QString::number(s);
                if (!fs::create_directories(bytes(folder).toStdString(), ignored) && ignored) {
                    Say("cannot make " + folder + ": " + QString::fromStdString(ignored.message()));
                    return false;
                }
                ++tree.folders;
                for (int i = 0; i < spec.filesPerFolder; ++i, ++serial) {
                    const bool changed = serial % spec.changedEvery == 0;
                    const QString path = folder + "/file" + QString::number(serial) + ".dat";
                    if (!writeTreeFile(bytes(path), spec.fileSize, changed ? changedTimes : oldTimes)) {
                        Say("cannot write " + path + ": " + QString::fromLocal8Bit(std::strerror(errno)));
                        return false;
                    }
                    ++tree.files;
                    if (changed) {
                        ++tree.changed;
                        tree.changedBytes += spec.fileSize;
                    }
                }
            }
        }
    }
    ::sync();
    const QString text = specSignature(spec) + "\n" + tree.built.toString("yyyy-MM-dd") + "\n" +
                         QString::number(tree.folders) + "\n" + QString::number(tree.files) + "\n" +
                         QString::number(tree.changed) + "\n" + QString::number(tree.changedBytes) + "\n";
    if (!writeAll(marker, text.toUtf8())) Say("cannot write " + marker + ": the tree will be built again next time");
    return true;
}

void CountFiles(const QString& folder, qint64& files, qint64& bytesOut) {
    files = 0;
    bytesOut = 0;
    const fs::path top = bytes(folder).toStdString();
    std::error_code error;
    for (fs::recursive_directory_iterator it(top, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const fs::path& path = it->path();
        if (path.parent_path() == top && (path.filename() == "_files.txt" || path.filename() == "_fileDetails.txt"))
            continue;
        ++files;
        bytesOut += qint64(it->file_size(error));
    }
}

CorvexRun RunCorvex(Context& context, const CorvexSettings& settings,
                    const std::function<void(const QString& programFolder)>& prepare) {
    CorvexRun run;
    const QString prog = context.freshFolder("prog");
    run.programFolder = prog;
    std::error_code error;
    fs::copy_file(bytes(context.bin + "/corvex").toStdString(), bytes(prog + "/corvex").toStdString(), error);
    const QString ini = "[general]\r\nrunSilently=1\r\nbackupTo=" + settings.destination +
                        "\r\nbackupType=0\r\nkeepPaths=1\r\nRecordToPlandel=" + (settings.recording ? "1" : "0") +
                        "\r\ndateOfLastBackup=" + settings.since.toString("yyyy-MM-dd") +
                        " 00:00:00\r\n[Plandel]\r\ndataPath=" + prog + "\r\n";
    if (error || !writeAll(prog + "/MyPaths.txt", bytes(settings.sources + "/*\r\n")) ||
        !writeAll(prog + "/ExcludedPaths.txt", {}) || !writeAll(prog + "/corvex.ini", ini.toUtf8())) {
        Say("cannot set up the program folder " + prog);
        return run;
    }
    if (prepare) prepare(prog);
    const QString out = context.work + "/corvex-output" + QString::number(++context.fresh) + ".txt";
    static_cast<Timing&>(run) = Run({prog + "/corvex"}, prog, out);
    if (!run.ok()) Say("corvex ended with status " + QString::number(run.status) + ": " + ErrorLines(out));

    // "Corvex-Pro 3.0.1 copied 1,000 files (204,800,000 bytes) to /x/ with 0 errors"
    static const QRegularExpression summary(" copied (\\S+) files \\((\\S+) bytes\\) to .* with (\\S+) errors");
    const QStringList lines = readAll(prog + "/events.log").split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) {
        const QRegularExpressionMatch m = summary.match(lines.last());
        if (m.hasMatch()) {
            run.listed = digits(m.captured(1));
            run.bytes = digits(m.captured(2));
            run.errors = digits(m.captured(3));
        }
    }
    return run;
}

QString DescribeProgramFolder(const QString& programFolder) {
    QStringList parts;
    std::vector<fs::path> names;
    std::error_code error;
    for (fs::directory_iterator it(bytes(programFolder).toStdString(), error), end; !error && it != end;
         it.increment(error))
        if (it->path().filename() != "corvex") names.push_back(it->path());
    std::sort(names.begin(), names.end());
    for (const fs::path& p : names) {
        const QString name = QString::fromStdString(p.filename().string());
        QString text = name + " " + sizeText(qint64(fs::file_size(p, error)));
        if (name.endsWith(".log") || name.endsWith(".txt") || name.endsWith(".lis"))
            text += " (" + Grouped(CountLines(QString::fromStdString(p.string()))) + " lines)";
        parts << text;
    }
    return parts.join(", ");
}

double Figures::median() const {
    if (seconds.empty()) return 0;
    std::vector<double> s = seconds;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

double Figures::best() const { return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }

QString Seconds(const Figures& f) {
    QStringList rounds;
    for (const double s : f.seconds) rounds << QString::number(s, 'f', 3);
    return QString::asprintf("%.3f s (best %.3f; rounds %s)", f.median(), f.best(), qPrintable(rounds.join(' ')));
}

QString Grouped(qint64 n) { return QLocale(QLocale::English).toString(n); }

QString Context::freshFolder(const QString& stem) {
    const QString folder = work + "/" + stem + QString::number(++fresh);
    std::error_code error;
    fs::create_directories(bytes(folder).toStdString(), error);
    return folder;
}

bool Context::roomFor(qint64 needed, const QString& what) const {
    struct statvfs s {};
    if (::statvfs(bytes(trees).constData(), &s) != 0) return true;
    const qint64 free = qint64(s.f_bavail) * qint64(s.f_frsize);
    const qint64 margin = qint64(1) << 30;  // other work on this disk goes on meanwhile
    if (free >= needed + margin) return true;
    Say(QString::asprintf("SKIPPED %s: it needs %.1f GB (and 1 GB to spare) in %s, where %.1f GB are free",
                          qPrintable(what), needed / 1e9, qPrintable(trees), free / 1e9));
    return false;
}

int Main(int argc, char** argv, const std::vector<Case>& cases) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Context context;
    std::error_code error;
    context.bin = QString::fromStdString((fs::read_symlink("/proc/self/exe", error).parent_path() / "../bin").string());
    context.trees = QStringLiteral("/tmp");
    QStringList chosen;
    int rounds = 0;  // 0: each case's own
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool valued = arg == "--rounds" || arg == "--bin" || arg == "--trees";
        if (valued && i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n", argv[i]);
            return 2;
        }
        if (arg == "--cases") {
            for (const Case& c : cases) Say(c.name);
            return 0;
        } else if (arg == "--rounds") {
            rounds = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        } else if (arg == "--bin") {
            context.bin = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--trees") {
            context.trees = QString::fromLocal8Bit(argv[++i]);
        } else if (std::any_of(cases.begin(), cases.end(), [&](const Case& c) { return c.name == arg; })) {
            chosen << arg;
        } else {
            std::fprintf(stderr, "unknown case or option '%s'; the cases:\n", argv[i]);
            for (const Case& c : cases) std::fprintf(stderr, "  %-12s %s\n", qPrintable(c.name), qPrintable(c.what));
            return 2;
        }
    }
    context.bin = QString::fromStdString(fs::weakly_canonical(bytes(context.bin).toStdString()).string());
    if (!QFile::exists(context.bin + "/corvex")) {
        std::fprintf(stderr, "corvex not found in %s (--bin names the program folder)\n", qPrintable(context.bin));
        return 2;
    }

    Say(QString("machine: %1 cores, %2; %3 on %4; load average %5")
            .arg(std::thread::hardware_concurrency())
            .arg(cpuModel(), context.trees, fileSystemOf(context.trees), loadAverage()));
    Say("corvex: " + context.bin + "/corvex; each figure is the median of its rounds (best beside it), warm cache");

    // An empty silent run in test mode: the start-up and ending of the program.
    const QString base = context.trees + "/corvex-bench-work-" + QString::number(::getpid());
    context.work = base + "-startup";
    context.rounds = rounds > 0 ? rounds : 5;
    Figures empty;
    const QString emptyFolder = context.freshFolder("empty");
    CorvexRun last;
    for (int round = 0; round <= context.rounds; ++round) {
        last = RunCorvex(context, {emptyFolder, "/dev/null", QDate::currentDate(), false});
        if (round > 0) empty.add(last.seconds);  // the first one warms the cache
    }
    context.startup = last;
    context.startup.seconds = empty.median();
    Say(QString("corvex start-up (a silent test run over an empty folder): %1, peak memory %2 MB")
            .arg(Seconds(empty))
            .arg(last.peakKb / 1024));
    Say("  it leaves in its program folder: " + DescribeProgramFolder(last.programFolder));
    fs::remove_all(bytes(context.work).toStdString(), error);

    int result = 0;
    for (const Case& c : cases) {
        if (!chosen.isEmpty() && !chosen.contains(c.name)) continue;
        Say("");
        context.rounds = rounds > 0 ? rounds : c.rounds;
        Say("== " + c.name + ": " + c.what + " (" + QString::number(context.rounds) + " rounds; load average " +
            loadAverage() + ")");
        context.work = base + "-" + c.name;
        context.fresh = 0;
        const bool ok = c.run(context);
        Say("   (load average afterwards " + loadAverage() + ")");
        // The copies go only now, after every round has been timed, and the
        // deletions reach the disk before the next case starts.
        fs::remove_all(bytes(context.work).toStdString(), error);
        ::sync();
        if (!ok) {
            Say("!! " + c.name + ": a run failed or the results disagree - its figures do not count");
            result = 1;
        }
    }
    return result;
}

}  // namespace bench
