#pragma once

#include <string>
#include <string_view>

#include "model/types.h"

namespace arrivals {

// Decimal text of a number as the program shows it: a blank in the place of
// the sign for 0 and above, a minus sign below; "." as the point whatever
// the locale; no point for whole values; no zero before the point of a
// fraction (0.5 is " .5"); up to 15 significant digits.
std::string NumberText(double value);

// The value of the number at the start of a text: leading blanks and tabs
// skipped, an optional sign, digits with at most one ".", an optional
// exponent. Read in the C locale; a text that does not begin with a number
// is 0, and so is "-0". A huge exponent gives an infinity.
double LeadingNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour. The value must lie
// within the range of a Long.
Long RoundToLong(double value);

// Whole-number steps that stop at the type's limit instead of wrapping.
inline Integer SaturatingIncrement(Integer v) {
  return v < kIntegerMax ? static_cast<Integer>(v + 1) : v;
}
inline Long SaturatingIncrement(Long v) { return v < kLongMax ? v + 1 : v; }

} // namespace arrivals
