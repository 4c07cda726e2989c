#pragma once
// Whole numbers written with the system's digit grouping, as file sizes,
// totals, run texts and log lines show them.
#include <QString>

// The value with digits grouped by threes using the system's thousands
// separator. zeroAsEmpty: a value of 0 gives "" (pictures such as
// "###,###,###" show no digit for zero); otherwise 0 gives "0".
QString GroupedNumber(qint64 value, bool zeroAsEmpty = false);

// The number a text such as "1,234,567  " stands for: blanks and the system's
// thousands separators are ignored. ok is false when it is not a number.
qint64 NumberFromGroupedText(const QString& text, bool* ok);
