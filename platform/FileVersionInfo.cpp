#include "platform/FileVersionInfo.h"

#include <QFile>
#include <QtEndian>

namespace platform {
namespace {

constexpr quint32 kVersionType = 16;              // RT_VERSION
constexpr qint64 kMaxResource = 4 * 1024 * 1024;  // far above any real version block
constexpr int kMaxEntries = 4096;                 // per resource directory

// Bounds-checked little-endian reads from a buffer.
struct Bytes {
    QByteArray data;
    bool has(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at <= data.size() - n; }
    quint16 u16(qint64 at) const { return has(at, 2) ? qFromLittleEndian<quint16>(data.constData() + at) : 0; }
    quint32 u32(qint64 at) const { return has(at, 4) ? qFromLittleEndian<quint32>(data.constData() + at) : 0; }
};

QByteArray readAt(QFile& file, qint64 at, qint64 n) {
    if (at < 0 || n <= 0 || !file.seek(at)) return {};
    return file.read(n);
}

struct Section {
    quint32 address = 0;  // where it is mapped
    quint32 size = 0;
    quint32 fileOffset = 0;
};

// The resource section's bytes as the loader would map them, and the address
// they start at.
bool readResourceSection(QFile& file, Bytes& rsrc, quint32& rsrcAddress) {
    const Bytes dos{readAt(file, 0, 64)};
    if (!dos.has(0, 64) || dos.data.left(2) != "MZ") return false;
    const qint64 pe = dos.u32(0x3C);
    const Bytes head{readAt(file, pe, 24)};
    if (!head.has(0, 24) || head.data.left(4) != QByteArray("PE\0\0", 4)) return false;
    const int sections = head.u16(6);
    const int optionalSize = head.u16(20);
    const Bytes optional{readAt(file, pe + 24, optionalSize)};
    const quint16 magic = optional.u16(0);
    qint64 directories = 0;
    qint64 countAt = 0;
    if (magic == 0x10b) {
        countAt = 92;
        directories = 96;
    } else if (magic == 0x20b) {
        countAt = 108;
        directories = 112;
    } else {
        return false;
    }
    if (optional.u32(countAt) < 3 || !optional.has(directories + 2 * 8, 8)) return false;
    rsrcAddress = optional.u32(directories + 2 * 8);
    const quint32 rsrcSize = optional.u32(directories + 2 * 8 + 4);
    if (rsrcAddress == 0 || rsrcSize == 0) return false;

    const Bytes table{readAt(file, pe + 24 + optionalSize, qint64(sections) * 40)};
    for (int i = 0; i < sections && table.has(qint64(i) * 40, 40); ++i) {
        const qint64 at = qint64(i) * 40;
        Section s;
        s.size = qMax(table.u32(at + 8), table.u32(at + 16));
        s.address = table.u32(at + 12);
        s.fileOffset = table.u32(at + 20);
        if (rsrcAddress < s.address || rsrcAddress >= quint64(s.address) + s.size) continue;
        const qint64 skip = rsrcAddress - s.address;
        const qint64 raw = qMin<qint64>(qint64(table.u32(at + 16)) - skip, kMaxResource);
        rsrc.data = readAt(file, qint64(s.fileOffset) + skip, raw);
        return !rsrc.data.isEmpty();
    }
    return false;
}

// The offset (within the resource section) of the first entry of a resource
// directory that matches id (any entry when id is 0), or -1.
qint64 directoryEntry(const Bytes& rsrc, qint64 directory, quint32 id, bool wantSubdirectory) {
    if (!rsrc.has(directory, 16)) return -1;
    const int count = qMin(rsrc.u16(directory + 12) + rsrc.u16(directory + 14), kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const qint64 entry = directory + 16 + qint64(i) * 8;
        if (!rsrc.has(entry, 8)) return -1;
        const quint32 name = rsrc.u32(entry);
        const quint32 target = rsrc.u32(entry + 4);
        const bool isDirectory = (target & 0x80000000u) != 0;
        if (id != 0 && ((name & 0x80000000u) || name != id)) continue;
        if (isDirectory != wantSubdirectory) continue;
        return target & 0x7fffffffu;
    }
    return -1;
}

// Text of UTF-16 code units from at up to a NUL or end; next is set past the NUL.
QString utf16(const Bytes& b, qint64 at, qint64 end, qint64& next) {
    QString text;
    qint64 p = at;
    while (p + 2 <= end && b.has(p, 2)) {
        const quint16 unit = b.u16(p);
        p += 2;
        if (unit == 0) break;
        text += QChar(unit);
    }
    next = p;
    return text;
}

qint64 align4(qint64 offset) { return (offset + 3) & ~qint64(3); }

// Walks one node of the version block (wLength, wValueLength, wType, key,
// value, children) and appends every String node's key and value.
void walkNode(const Bytes& b, qint64 at, qint64 limit, int depth, QByteArray& out) {
    if (depth > 4 || !b.has(at, 6)) return;
    const qint64 length = b.u16(at);
    const qint64 end = qMin(at + length, limit);
    if (length < 6 || end <= at) return;
    const quint16 valueLength = b.u16(at + 2);
    const quint16 type = b.u16(at + 4);
    qint64 next = 0;
    const QString key = utf16(b, at + 6, end, next);
    const qint64 value = align4(next);
    if (depth == 3) {
        // A String: the value is text (its length counts UTF-16 units); an
        // entry without one stands for the empty text.
        const QString text = (valueLength == 0 || value >= end) ? QString() : utf16(b, value, end, next);
        const QByteArray k = key.toUtf8();
        out += k;
        out += '\0';
        out.append(int(align4(k.size() + 1) - (k.size() + 1)), '\0');
        out += text.toUtf8();
        out += '\0';
        return;
    }
    const qint64 valueBytes = (type == 1) ? qint64(valueLength) * 2 : qint64(valueLength);
    qint64 child = align4(value + valueBytes);
    // Only the string tables below "StringFileInfo" hold strings.
    if (depth == 1 && key != QLatin1String("StringFileInfo")) return;
    while (child + 6 <= end) {
        const qint64 childLength = b.u16(child);
        if (childLength < 6) break;
        walkNode(b, child, end, depth + 1, out);
        child = align4(child + childLength);
    }
}

}  // namespace

QByteArray GetFileVersionInfo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    Bytes rsrc;
    quint32 rsrcAddress = 0;
    if (!readResourceSection(file, rsrc, rsrcAddress)) return {};

    // Type RT_VERSION, then its first name, then its first language.
    const qint64 names = directoryEntry(rsrc, 0, kVersionType, true);
    if (names < 0) return {};
    const qint64 languages = directoryEntry(rsrc, names, 0, true);
    if (languages < 0) return {};
    const qint64 leaf = directoryEntry(rsrc, languages, 0, false);
    if (leaf < 0 || !rsrc.has(leaf, 16)) return {};
    const quint32 dataAddress = rsrc.u32(leaf);
    const quint32 dataSize = rsrc.u32(leaf + 4);
    if (dataAddress < rsrcAddress) return {};
    const qint64 at = dataAddress - rsrcAddress;
    if (!rsrc.has(at, 6) || dataSize > kMaxResource) return {};
    const Bytes block{rsrc.data.mid(at, dataSize)};

    QByteArray out;
    walkNode(block, 0, block.data.size(), 0, out);
    return out;
}

}  // namespace platform
