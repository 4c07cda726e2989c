#pragma once
// The numeric value of a setting's text.
#include <QString>

// The number the text begins with (leading blanks skipped, an optional sign,
// a decimal point allowed), rounded to the nearest whole number with halves to
// the even neighbour. A text that does not begin with a number gives 0.
// The result is not limited to any integer width: callers clamp it.
double NumericValue(const QString& text);

// NumericValue, saturated to the range of a 16-bit signed integer.
int NumericValue16(const QString& text);
