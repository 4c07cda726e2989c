#pragma once
// Builds a small Windows executable image (PE32, one resource section) whose
// version resource carries the given strings, for the version-reader tests.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

namespace pefile {

inline void put16(QByteArray& b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
inline void put32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }
inline void pad4(QByteArray& b) {
    while (b.size() % 4) b.append('\0');
}
inline QByteArray utf16z(const QString& s) {
    QByteArray out;
    for (QChar c : s) out.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    return out.append(2, '\0');
}

// One node of a version block: length, value length, type, key, value, children.
inline QByteArray node(const QString& key, const QByteArray& value, quint16 valueLength, quint16 type,
                       const QList<QByteArray>& children = {}) {
    QByteArray b(6, '\0');
    b += utf16z(key);
    pad4(b);
    b += value;
    for (const QByteArray& child : children) {
        pad4(b);
        b += child;
    }
    put16(b, 0, quint16(b.size()));
    put16(b, 2, valueLength);
    put16(b, 4, type);
    return b;
}

inline QByteArray versionBlock(const QList<QPair<QString, QString>>& strings) {
    QList<QByteArray> entries;
    for (const auto& [key, text] : strings) entries << node(key, utf16z(text), quint16(text.size() + 1), 1);
    QByteArray fixed(52, '\0');
    put32(fixed, 0, 0xFEEF04BD);
    const QByteArray table = node(QStringLiteral("040904b0"), {}, 0, 1, entries);
    const QByteArray info = node(QStringLiteral("StringFileInfo"), {}, 0, 1, {table});
    return node(QStringLiteral("VS_VERSION_INFO"), fixed, 52, 0, {info});
}

// A PE32 image whose only section holds a version resource with strings.
inline QByteArray withVersion(const QList<QPair<QString, QString>>& strings) {
    constexpr quint32 rsrcRva = 0x1000;
    constexpr quint32 rsrcFile = 0x200;
    QByteArray rsrc(0x58, '\0');
    auto directory = [&](qsizetype at, quint32 id, quint32 target) {
        put16(rsrc, at + 14, 1);  // one entry named by number
        put32(rsrc, at + 16, id);
        put32(rsrc, at + 20, target);
    };
    directory(0x00, 16, 0x80000000u | 0x18);  // type: version
    directory(0x18, 1, 0x80000000u | 0x30);   // name 1
    directory(0x30, 0x409, 0x48);             // language, then its data entry
    const QByteArray block = versionBlock(strings);
    put32(rsrc, 0x48, rsrcRva + 0x58);
    put32(rsrc, 0x4C, quint32(block.size()));
    rsrc += block;
    pad4(rsrc);

    QByteArray image(rsrcFile, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, 0x40);
    image.replace(0x40, 4, QByteArray("PE\0\0", 4));
    put16(image, 0x44, 0x14c);  // i386
    put16(image, 0x46, 1);      // one section
    put16(image, 0x54, 224);    // optional header size
    put16(image, 0x56, 0x0102);
    const qsizetype opt = 0x58;
    put16(image, opt, 0x10b);
    put32(image, opt + 92, 16);
    put32(image, opt + 96 + 16, rsrcRva);
    put32(image, opt + 96 + 20, quint32(rsrc.size()));
    const qsizetype section = opt + 224;
    image.replace(section, 5, ".rsrc");
    put32(image, section + 8, quint32(rsrc.size()));
    put32(image, section + 12, rsrcRva);
    put32(image, section + 16, quint32(rsrc.size()));
    put32(image, section + 20, rsrcFile);
    return image + rsrc;
}

}  // namespace pefile
