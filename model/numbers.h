#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/types.h"

namespace arrivals {

// Decimal text of a number as the program shows it: a blank in the place of
// the sign for 0 and above, a minus sign below; "." as the point whatever
// the locale; no point for whole values; no zero before the point of a
// fraction (0.5 is " .5"); up to 15 significant digits.
std::string NumberText(double value);

inline constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the decimal number at the start of `text`: an optional
// sign, digits with at most one ".", and an exponent when it is complete
// ("1e" is the number 1 followed by "e"). 0 when it holds no digit.
std::size_t DecimalLength(std::string_view text);

// The nearest double to a whole decimal number as DecimalLength reads it,
// whatever the C library's locale: an infinity above the range, 0 or a
// subnormal below it.
double DecimalValue(std::string_view number);

// `value` as printf's "%.*g" writes it in the C locale, whatever the
// locale in force: "." as the point, `precision` significant digits.
std::string GeneralText(double value, int precision);

// The same two through the C library under the C locale (snprintf and
// strtod), for a standard library without floating-point to_chars and
// from_chars. Both always build, so that a test can compare them.
double DecimalValueByStrtod(std::string_view number);
std::string GeneralTextBySnprintf(double value, int precision);

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
