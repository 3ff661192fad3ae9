#include "model/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
// newlocale and uselocale, for the C locale in this thread, are POSIX:
// <clocale> need not declare them.
#include <locale.h> // NOLINT(modernize-deprecated-headers)

namespace arrivals {

namespace {

// The C locale, for the C library's number conversions: the program's own
// locale may write "," as the point (Qt sets it from the environment).
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  return c;
}

// While it lives, this thread's locale is the C locale.
class InCLocale {
public:
  InCLocale() : old_(uselocale(CLocale())) {}
  ~InCLocale() { uselocale(old_); }
  InCLocale(const InCLocale &) = delete;
  InCLocale &operator=(const InCLocale &) = delete;

private:
  locale_t old_;
};

} // namespace

std::string GeneralTextBySnprintf(double value, int precision) {
  const InCLocale c;
  char buf[48];
  const int n = std::snprintf(buf, sizeof buf, "%.*g", precision, value);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

double DecimalValueByStrtod(std::string_view number) {
  const InCLocale c;
  const std::string text(number);
  return std::strtod(text.c_str(), nullptr);
}

// Floating-point to_chars and from_chars never look at the locale; where
// the standard library lacks them (clang 14's, in the WebAssembly build),
// the C library does the work under the C locale.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L

std::string GeneralText(double value, int precision) {
  char buf[48];
  char *const end = std::to_chars(buf, buf + sizeof buf, value,
                                  std::chars_format::general, precision)
                        .ptr;
  return std::string(buf, end);
}

double DecimalValue(std::string_view number) {
  // from_chars takes no "+", and leaves a value out of range alone: strtod
  // gives those the infinity or the subnormal.
  double value = 0;
  const char *last = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(number.data(), last, value);
  if (ec != std::errc() || ptr != last)
    return DecimalValueByStrtod(number);
  return value;
}

#else

std::string GeneralText(double value, int precision) {
  return GeneralTextBySnprintf(value, precision);
}

double DecimalValue(std::string_view number) {
  return DecimalValueByStrtod(number);
}

#endif

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
  std::string digits = GeneralText(value, 15);
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

std::size_t DecimalLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i]))
    ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i]))
      ++i, ++digits;
  }
  if (digits == 0)
    return 0;
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
  return i;
}

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  const std::size_t length = DecimalLength(text.substr(i));
  if (length == 0)
    return 0;
  const double value = DecimalValue(text.substr(i, length));
  return value == 0 ? 0.0 : value; // "-0" reads as +0
}

Long RoundToLong(double value) {
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<Long>(std::nearbyint(value));
}

} // namespace arrivals
