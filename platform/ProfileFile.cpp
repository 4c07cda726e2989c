#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace platform {
namespace {

QStringList readLines(const QString& file, bool* exists = nullptr) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (exists) *exists = false;
        return {};
    }
    if (exists) *exists = true;
    QString text = QString::fromUtf8(f.readAll());
    // A byte-order mark left by some editors would hide the first section.
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith('[')) {
        const int close = t.indexOf(']');
        if (close > 0) return t.mid(1, close - 1).trimmed();
    }
    return {};
}

// The key of a "key=value" line, or a null string.
QString keyOf(const QString& line) {
    const int eq = line.indexOf('=');
    if (eq < 0) return {};
    const QString t = line.trimmed();
    if (t.startsWith(';')) return {};
    return line.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

int ReadProfileString(const QString& file, const QString& section, const QString& key, QString& value, int bufferSize) {
    value.clear();
    if (bufferSize <= 1) return 0;
    const QStringList lines = readLines(file);
    bool inSection = false;
    for (const QString& line : lines) {
        const QString sec = sectionOf(line);
        if (!sec.isNull()) {
            inSection = sameName(sec, section);
            continue;
        }
        if (!inSection) continue;
        const QString k = keyOf(line);
        if (k.isNull() || !sameName(k, key)) continue;
        value = line.mid(line.indexOf('=') + 1).trimmed().left(bufferSize - 1);
        return int(value.size());
    }
    return 0;
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
    QStringList lines = readLines(file);
    const QString entry = key + '=' + value;

    int sectionStart = -1;   // index of the "[section]" line
    int lastInSection = -1;  // last non-blank line belonging to the section
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString sec = sectionOf(lines[i]);
        if (!sec.isNull()) {
            if (sectionStart >= 0) break;  // the section ended
            if (sameName(sec, section)) {
                sectionStart = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionStart < 0) continue;
        if (!lines[i].trimmed().isEmpty()) lastInSection = i;
        const QString k = keyOf(lines[i]);
        if (!k.isNull() && sameName(k, key)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (sectionStart >= 0) {
            lines.insert(lastInSection + 1, entry);
        } else {
            lines << '[' + section + ']' << entry;
        }
    }

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QByteArray data;
    for (const QString& l : lines) data += l.toUtf8() + "\r\n";
    out.write(data);
    return out.commit();
}

}  // namespace platform
