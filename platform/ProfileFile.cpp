#include "platform/ProfileFile.h"

#include "platform/ByteText.h"
#include "platform/SaveFile.h"
#include "platform/TrustedLinks.h"

#include <vector>

namespace platform {
namespace {

// One line of the file: its bytes, its own line end ("\r\n", "\n", or "" for
// a last line without one), and its text for matching names.
struct Line {
    QByteArray bytes;
    QByteArray end;
    QString text;
};

enum class Load { Read, Missing, Refused, Failed };

struct Profile {
    std::vector<Line> lines;
};

void splitLines(const QByteArray& data, std::vector<Line>& lines) {
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype newline = data.indexOf('\n', start);
        Line line;
        if (newline < 0) {
            line.bytes = data.mid(start);
            start = data.size();
        } else {
            qsizetype stop = newline;
            if (stop > start && data[stop - 1] == '\r') --stop;
            line.bytes = data.mid(start, stop - start);
            line.end = data.mid(stop, newline + 1 - stop);
            start = newline + 1;
        }
        line.text = TextFromBytes(line.bytes);
        lines.push_back(std::move(line));
    }
    // A byte-order mark left by some editors would hide the first section; it
    // is kept in the bytes and only left out of the matching.
    if (!lines.empty() && lines.front().text.startsWith(QChar(0xFEFF))) lines.front().text.remove(0, 1);
}

// Reads the file; Missing only when nothing is there at all. A run as root
// reads nothing through a link that root does not own (TrustedLinks.h):
// Refused, with why naming the link and its owner.
Load loadProfile(const QString& file, Profile& profile, QString& why) {
    QByteArray data;
    // A folder, FIFO or device is refused: opening a FIFO would wait for a writer for ever.
    switch (ReadTrustedFile(file, data, &why)) {
    case TrustedRead::Read: break;
    case TrustedRead::Missing: return Load::Missing;
    case TrustedRead::Refused: return Load::Refused;
    case TrustedRead::Failed: return Load::Failed;
    }
    splitLines(data, profile.lines);
    return Load::Read;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) return t.mid(1, close - 1).trimmed();
    }
    return {};
}

// The key of a "key=value" line, or a null string.
QString keyOf(const QString& line) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) return {};
    const QString t = line.trimmed();
    if (t.startsWith(';')) return {};
    return line.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

Line newLine(const QString& text) { return {BytesFromText(text), QByteArrayLiteral("\r\n"), text}; }

}  // namespace

int ReadProfileString(const QString& file, const QString& section, const QString& key, QString& value, int bufferSize,
                      QString* refused) {
    value.clear();
    if (refused) refused->clear();
    if (bufferSize <= 1) return 0;
    Profile profile;
    QString why;
    const Load load = loadProfile(file, profile, why);
    if (load == Load::Refused && refused) *refused = why;
    if (load != Load::Read) return 0;
    bool inSection = false;
    for (const Line& line : profile.lines) {
        const QString sec = sectionOf(line.text);
        if (!sec.isNull()) {
            inSection = sameName(sec, section);
            continue;
        }
        if (!inSection) continue;
        const QString k = keyOf(line.text);
        if (k.isNull() || !sameName(k, key)) continue;
        value = line.text.mid(line.text.indexOf('=') + 1).trimmed().left(bufferSize - 1);
        return int(value.size());
    }
    return 0;
}

namespace {

// Replaces the key's value in place, or adds the key at the end of its
// section, adding the section at the end of the file when it is missing.
void setValue(std::vector<Line>& lines, const QString& section, const QString& key, const QString& value) {
    const QString entry = key + '=' + value;
    int sectionStart = -1;   // index of the "[section]" line
    int lastInSection = -1;  // last non-blank line belonging to the section
    bool done = false;
    for (int i = 0; i < int(lines.size()) && !done; ++i) {
        const QString sec = sectionOf(lines[size_t(i)].text);
        if (!sec.isNull()) {
            if (sectionStart >= 0) break;  // the section ended
            if (sameName(sec, section)) {
                sectionStart = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionStart < 0) continue;
        if (!lines[size_t(i)].text.trimmed().isEmpty()) lastInSection = i;
        const QString k = keyOf(lines[size_t(i)].text);
        if (!k.isNull() && sameName(k, key)) {
            Line& line = lines[size_t(i)];
            line.bytes = BytesFromText(entry);
            if (line.end.isEmpty()) line.end = QByteArrayLiteral("\r\n");
            done = true;
        }
    }
    if (!done) {
        std::vector<Line> added;
        if (sectionStart < 0) added.push_back(newLine('[' + section + ']'));
        added.push_back(newLine(entry));
        const size_t at = sectionStart >= 0 ? size_t(lastInSection + 1) : lines.size();
        // The line before the new ones needs a line end of its own.
        if (at > 0 && lines[at - 1].end.isEmpty()) lines[at - 1].end = QByteArrayLiteral("\r\n");
        lines.insert(lines.begin() + qsizetype(at), added.begin(), added.end());
    }
}

QByteArray joined(const Profile& profile) {
    QByteArray data;
    for (const Line& l : profile.lines) data += l.bytes + l.end;
    return data;
}

}  // namespace

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file,
                        QString* why) {
    Profile profile;
    QString reason;
    const Load load = loadProfile(file, profile, reason);
    // A file that is there but cannot be read must not be replaced by one
    // holding only this key: every other setting would be lost. A refused
    // link is neither read nor written through.
    if (load == Load::Failed || load == Load::Refused) return fail(why, reason);

    setValue(profile.lines, section, key, value);
    return ReplaceFile(file, joined(profile), why, LinkRule::SaveThrough);
}

bool WriteProfileStrings(const QString& file, const std::vector<ProfileEntry>& entries, QString* why) {
    Profile profile;
    QString reason;
    // As for one key: an unreadable file is never replaced.
    const Load load = loadProfile(file, profile, reason);
    if (load == Load::Failed || load == Load::Refused) return fail(why, reason);
    if (entries.empty()) return true;
    for (const ProfileEntry& e : entries) setValue(profile.lines, e.section, e.key, e.value);
    return ReplaceFile(file, joined(profile), why, LinkRule::SaveThrough);
}

}  // namespace platform
