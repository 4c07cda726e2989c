#include "platform/TextBytes.h"

namespace platform {
namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at bytes[i], or 0 when none starts
// there (a stray continuation byte, an overlong form, a surrogate, a code
// point beyond U+10FFFF, a cut-off sequence).
int validSequenceLength(const unsigned char* bytes, qsizetype i, qsizetype size) {
    const unsigned char c = bytes[i];
    const qsizetype left = size - i;
    if (c >= 0xC2 && c <= 0xDF) return left >= 2 && isContinuation(bytes[i + 1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !isContinuation(bytes[i + 1]) || !isContinuation(bytes[i + 2])) return 0;
        if (c == 0xE0 && bytes[i + 1] < 0xA0) return 0;   // overlong
        if (c == 0xED && bytes[i + 1] >= 0xA0) return 0;  // a surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !isContinuation(bytes[i + 1]) || !isContinuation(bytes[i + 2]) || !isContinuation(bytes[i + 3]))
            return 0;
        if (c == 0xF0 && bytes[i + 1] < 0x90) return 0;   // overlong
        if (c == 0xF4 && bytes[i + 1] >= 0x90) return 0;  // beyond U+10FFFF
        return 4;
    }
    return 0;
}

// A lone low surrogate U+DC80..U+DCFF stands for one byte; the same code unit
// after a high surrogate is half of a real character beyond U+FFFF.
bool isEscape(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()));
}

}  // namespace

QString TextFromBytes(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    // Plain ASCII and valid UTF-8 take the library's way.
    qsizetype i = 0;
    while (i < size && data[i] < 0x80) ++i;
    if (i == size) return QString::fromLatin1(bytes.data(), size);
    for (qsizetype j = i; j < size;) {
        if (data[j] < 0x80) {
            ++j;
            continue;
        }
        const int n = validSequenceLength(data, j, size);
        if (n == 0) break;
        j += n;
        if (j == size) return QString::fromUtf8(bytes.data(), size);
    }

    QString text;
    text.reserve(size);
    qsizetype runStart = 0;
    i = 0;
    while (i < size) {
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        const int n = validSequenceLength(data, i, size);
        if (n > 0) {
            i += n;
            continue;
        }
        text += QString::fromUtf8(bytes.data() + runStart, i - runStart);
        text += QChar(char16_t(0xDC00 + data[i]));
        ++i;
        runStart = i;
    }
    text += QString::fromUtf8(bytes.data() + runStart, size - runStart);
    return text;
}

QByteArray BytesFromText(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && !isEscape(text, i)) ++i;
    if (i == text.size()) return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    qsizetype runStart = 0;
    for (; i < text.size(); ++i) {
        if (!isEscape(text, i)) continue;
        bytes += text.mid(runStart, i - runStart).toUtf8();
        bytes += char(text[i].unicode() - 0xDC00);
        runStart = i + 1;
    }
    bytes += text.mid(runStart).toUtf8();
    return bytes;
}

}  // namespace platform
