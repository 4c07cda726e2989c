#pragma once
// Text read from files and file names without loss. On Linux a line of a file
// or a file name is bytes, not necessarily UTF-8. Valid UTF-8 decodes as
// usual; every other byte becomes a lone surrogate U+DC80 to U+DCFF (the byte
// plus U+DC00), which no valid UTF-8 text can produce, and encoding turns it
// back into that byte. So bytes -> text -> bytes gives the same bytes. A
// leading U+FEFF is a character like any other, never dropped as a
// byte-order mark.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// The text of the bytes; bytes that are not valid UTF-8 become U+DC80 to U+DCFF.
QString TextFromBytes(QByteArrayView bytes);

// The bytes of the text: U+DC80 to U+DCFF standing alone become the byte they
// stand for, everything else is UTF-8 (any other lone surrogate as U+FFFD).
QByteArray BytesFromText(QStringView text);

}  // namespace platform
