// Times a silent run of the built corvex that copies 1,000 changed files and
// records each of them into the planner's month file, which already holds
// 40,000 records, beside the same run without recording (the recording run
// should take at most 1.5 times as long).
//
//   bench_planner [--rounds N] [--bin FOLDER] [--trees FOLDER] [planner]
#include "bench/BenchSupport.h"

#include <QDate>
#include <QFile>

using namespace bench;

namespace {

// 1,000 files of 1,000 bytes in 20 folders, all changed.
const TreeSpec kTree{"corvex-bench-planner", 1, 20, 0, 50, 1000, 1};
constexpr int kRecords = 40'000;  // already in the month's file
const char kSep = 31;

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

// Record lines in the month's file after a run.
int recordsAfter(const QString& path) {
    QFile data(path);
    return data.open(QIODevice::ReadOnly) ? int(data.readAll().count("\r\nD")) : -1;
}

bool planner(Context& context) {
    Tree tree;
    if (!EnsureTree(context, kTree, TreeDiskBytes(kTree) * 2 * context.rounds, tree)) return true;
    const QDate today = QDate::currentDate();
    const QByteArray month = monthFile(today);
    const QString monthName = "/D" + today.toString("yyyyMM") + ".dat";
    const auto prepare = [&](const QString& prog) {
        QFile data(prog + monthName);
        if (!data.open(QIODevice::WriteOnly) || data.write(month) != month.size())
            Say("cannot write " + prog + monthName);
    };
    RunShell("find \"$1\" -type f -exec cat {} + > /dev/null", {tree.root});  // warms the cache

    Figures recording, plain;
    bool ok = true;
    for (int round = 0; round < context.rounds; ++round) {
        for (const bool record : {true, false}) {
            const CorvexRun run =
                RunCorvex(context, {tree.root, context.freshFolder("dest"), tree.built, record}, prepare);
            (record ? recording : plain).add(run.seconds);
            // One record per file and one for the run; without recording only the run's.
            const int expected = kRecords + 1 + (record ? int(tree.files) : 0);
            const int records = recordsAfter(run.programFolder + monthName);
            if (!run.ok() || run.listed != tree.files || records != expected) {
                Say(QString("corvex %1: status %2, %3 files, %4 records in the month file (expected %5)")
                        .arg(record ? "recording" : "not recording")
                        .arg(run.status)
                        .arg(run.listed)
                        .arg(records)
                        .arg(expected));
                ok = false;
            }
        }
    }
    const double ratio = recording.median() / plain.median();
    Say(QString("month file: %1 records (%2 MB); %3 files changed")
            .arg(Grouped(kRecords))
            .arg(month.size() / 1e6, 0, 'f', 1)
            .arg(Grouped(tree.files)));
    Say("corvex silent run recording each file: " + Seconds(recording));
    Say("corvex silent run without recording:   " + Seconds(plain));
    Say(QString("ratio recording/not: %1 (must stay within 1.5)").arg(ratio, 0, 'f', 2));
    Say(QString("README: | 1,000 changed files recorded into a planner month file of 40,000 records | %1 s | the "
                "same run without recording %2 s | %3 (must stay within 1.5) |")
            .arg(recording.median(), 0, 'f', 2)
            .arg(plain.median(), 0, 'f', 2)
            .arg(ratio, 0, 'f', 2));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    return Main(argc, argv,
                {{"planner",
                  "1,000 changed files recorded into a month file of 40,000 records, beside the run without recording",
                  planner}});
}
