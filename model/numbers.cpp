#include "model/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
// newlocale and strtod_l, for reading in the C locale, are POSIX: <clocale>
// need not declare them.
#include <locale.h> // NOLINT(modernize-deprecated-headers)

namespace arrivals {

std::string NumberText(double value) {
  if (value == 0) // also -0
    return " 0";
  // Whole numbers, such as the packet count, take the short road.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char buf[24];
    buf[0] = value < 0 ? '-' : ' ';
    const auto whole = static_cast<long long>(std::fabs(value));
    auto *const end = std::to_chars(buf + 1, buf + sizeof buf, whole).ptr;
    return std::string(buf, end);
  }
  // to_chars never looks at the locale: the point is "." everywhere.
  char buf[40];
#if defined(__EMSCRIPTEN__)
  // The WebAssembly build's C++ library has no floating-point to_chars;
  // its C library has only the C locale, so "%.15g" writes the same text.
  const int n = std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string digits(buf, static_cast<std::size_t>(n));
#else
  auto *const end = std::to_chars(buf, buf + sizeof buf, value,
                                  std::chars_format::general, 15)
                        .ptr;
  std::string digits(buf, end);
#endif
  for (char &c : digits)
    if (c == 'e')
      c = 'E'; // 1E+20
  std::string out = value < 0 ? "-" : " ";
  std::size_t start = value < 0 ? 1 : 0;
  // A fraction shows no zero before its point: " .5", "-.25".
  if (digits.compare(start, 2, "0.") == 0)
    ++start;
  out.append(digits, start);
  return out;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

#if !defined(__EMSCRIPTEN__)
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  return c;
}
#endif

} // namespace

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  const std::size_t begin = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0)
    return 0;
  // An exponent counts only when it is complete.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j]))
        ++j;
      i = j;
    }
  }
  // The common case is read by from_chars, which never looks at the locale;
  // a sign, or a value out of range, goes to strtod in the C locale, which
  // gives the infinity or the denormal that strtod gives.
  double value = 0;
  const char *first = text.data() + begin;
  const char *last = text.data() + i;
#if defined(__EMSCRIPTEN__)
  // No floating-point from_chars there; strtod reads in the C locale, the
  // only one the WebAssembly build has.
  value = std::strtod(std::string(first, last).c_str(), nullptr);
#else
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) {
    const std::string prefix(first, last);
    value = strtod_l(prefix.c_str(), nullptr, CLocale());
  }
#endif
  return value == 0 ? 0.0 : value; // "-0" reads as +0
}

Long RoundToLong(double value) {
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<Long>(std::nearbyint(value));
}

} // namespace arrivals
