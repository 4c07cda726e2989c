#include "foundation/NumberText.h"

#include <QLocale>

namespace {
// Made once: the scan formats a size for every row it adds.
const QLocale& groupingLocale() {
    static const QLocale locale = [] {
        QLocale l = QLocale::system();
        // The "C" locale leaves groups out by default; the pictures always group.
        l.setNumberOptions(l.numberOptions() & ~QLocale::OmitGroupSeparator);
        return l;
    }();
    return locale;
}
}  // namespace

QString GroupedNumber(qint64 value, bool zeroAsEmpty) {
    if (value == 0 && zeroAsEmpty) return {};
    return groupingLocale().toString(value);
}

qint64 NumberFromGroupedText(const QString& text, bool* ok) {
    QString digits = text.trimmed();
    const QString separator = groupingLocale().groupSeparator();
    if (!separator.isEmpty()) digits.remove(separator);
    digits.remove(',');
    digits.remove(QChar(0x00A0));
    digits.remove(QChar(0x202F));
    digits.remove(' ');
    bool converted = false;
    const qint64 value = digits.toLongLong(&converted);
    if (ok) *ok = converted && !digits.isEmpty();
    return converted ? value : 0;
}
