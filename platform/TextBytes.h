#pragma once
// File names and the lines of the files the programs write are bytes. Text
// here is UTF-8; a byte that is not part of valid UTF-8 (a name written in
// another encoding, say "caf\xe9.txt") is carried in a QString as the lone
// surrogate U+DC80 to U+DCFF and turned back into the same byte when the text
// goes to the system or into a file. So every name survives the way from the
// folder listing to the copy, the lists and the logs without loss, and two
// names that differ in their bytes never become one.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// The text of bytes: valid UTF-8 is decoded, each other byte b becomes U+DC00 + b.
QString TextFromBytes(QByteArrayView bytes);

// The bytes of text: U+DC80 to U+DCFF become the bytes 0x80 to 0xFF, the rest
// is UTF-8. BytesFromText(TextFromBytes(b)) == b for all bytes b.
QByteArray BytesFromText(QStringView text);

}  // namespace platform
