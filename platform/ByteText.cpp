#include "platform/ByteText.h"

namespace platform {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at data[i] and its code point, or 0
// when the bytes there are not one (overlong forms, encoded surrogates and
// values past U+10FFFF are not valid).
int validSequence(const unsigned char* data, qsizetype size, qsizetype i, char32_t& cp) {
    const unsigned char b = data[i];
    int length = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        cp = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        cp = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        cp = b & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size) return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(data[i + k])) return 0;
        cp = (cp << 6) | (data[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

QString TextFromBytes(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    qsizetype plainStart = 0;  // start of a run of ASCII and valid sequences
    qsizetype i = 0;
    auto flush = [&](qsizetype end) {
        // QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and
        // drops it; here it is a character of the name or line like any other.
        while (end - plainStart >= 3 && bytes.sliced(plainStart, 3) == QByteArrayView(kByteOrderMark)) {
            text += QChar(char16_t(0xFEFF));
            plainStart += 3;
        }
        if (end > plainStart) text += QString::fromUtf8(bytes.sliced(plainStart, end - plainStart));
    };
    while (i < size) {
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int length = validSequence(data, size, i, cp);
        if (length > 0) {
            i += length;
            continue;
        }
        flush(i);
        text += QChar(char16_t(kEscapeBase + data[i]));
        ++i;
        plainStart = i;
    }
    flush(size);
    return text;
}

QByteArray BytesFromText(QStringView text) {
    bool plain = true;
    for (QChar c : text) {
        if (c.isSurrogate()) {
            plain = false;
            break;
        }
    }
    if (plain) return text.toUtf8();

    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    const qsizetype size = text.size();
    qsizetype plainStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > plainStart) bytes += text.sliced(plainStart, end - plainStart).toUtf8();
    };
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            ++i;  // a pair: valid text, encoded with its run
            continue;
        }
        if (!c.isSurrogate()) continue;
        flush(i);
        const char16_t u = c.unicode();
        if (u >= 0xDC80 && u <= 0xDCFF)
            bytes += char(u - kEscapeBase);
        else
            bytes += QByteArrayLiteral("\xEF\xBF\xBD");
        plainStart = i + 1;
    }
    flush(size);
    return bytes;
}

}  // namespace platform
