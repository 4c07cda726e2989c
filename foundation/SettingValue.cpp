#include "foundation/SettingValue.h"

#include <cmath>

double NumericValue(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    QString number;
    if (i < n && (text[i] == '-' || text[i] == '+')) number += text[i++];
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digits = true;
        } else if (c == '.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok && !std::isinf(v)) return 0;
    if (std::isinf(v)) return v;  // too long to hold: callers treat it as out of range
    return std::nearbyint(v);     // the default rounding mode sends halves to even
}

int NumericValue16(const QString& text) {
    const double v = NumericValue(text);
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return int(v);
}
