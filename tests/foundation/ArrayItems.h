#pragma once
// The items of a string array, first to last, for comparing in tests.
#include "foundation/clsArray.h"

#include <QStringList>

inline QStringList ArrayItems(const clsArray& a) {
    QStringList out;
    for (qint32 i = 1; i <= a.Count(); ++i) out << a.Item(i);
    return out;
}
