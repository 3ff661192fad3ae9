// The conversions between numbers and texts, and the rounding of gaps.

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "model/numbers.h"

namespace arrivals {
namespace {

struct TextCase {
  double value;
  const char *text;
};

TEST(numbers, number_text_puts_a_blank_for_the_sign_and_drops_the_zero) {
  const TextCase cases[] = {
      {1, " 1"},
      {0.5, " .5"},
      {-3, "-3"},
      {2.0, " 2"},
      {0, " 0"},
      {-0.0, " 0"}, // zero is "0 or more": no minus sign
      {3.7, " 3.7"},
      {-0.25, "-.25"},
      {0.1, " .1"},
      {2.5, " 2.5"},
      {10, " 10"},
      {0.001, " .001"},
      {1.0 / 3, " .333333333333333"}, // 15 significant digits
      {2.0 / 3, " .666666666666667"},
      {10.0 / 3, " 3.33333333333333"},
      {-1.0 / 3, "-.333333333333333"},
      {2147483647, " 2147483647"},
      {-2147483648.0, "-2147483648"},
      {123456789012345, " 123456789012345"},
      {999999999999999, " 999999999999999"}, // the last whole number in full
      {1e15, " 1E+15"},
      {-1e16, "-1E+16"},
      {65534, " 65534"},
  };
  for (const TextCase &c : cases)
    EXPECT_EQ(NumberText(c.value), c.text) << "value " << c.value;
}

// Whatever form very large and very small values take, the rate box must be
// able to read back the text it is given.
TEST(numbers, number_text_reads_back_as_the_same_value) {
  const double values[] = {1e15,    1e16,      1.5e300,  1e-5,
                           1e-7,    1e-320,    4.9e-324, 0.1234567890123,
                           9.99999, 12345.678, 1e100,    -2.5e-10};
  for (double v : values) {
    const std::string text = NumberText(v);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), v >= 0 ? ' ' : '-') << text;
    EXPECT_EQ(text.find(','), std::string::npos) << text;
    EXPECT_EQ(LeadingNumber(text), v) << text;
  }
}

struct ReadCase {
  const char *text;
  double value;
};

TEST(numbers, leading_number_reads_the_number_at_the_start) {
  const double inf = std::numeric_limits<double>::infinity();
  const ReadCase cases[] = {
      {"1.5", 1.5},
      {" 1", 1},
      {"   1.5", 1.5},
      {"\t2", 2},
      {" \t 3", 3},
      {"+4", 4},
      {"-4", -4},
      {" -4.5", -4.5},
      {"1.5abc", 1.5},
      {"1.5 ", 1.5},
      {"1 2", 1},
      {".5", 0.5},
      {"-.5", -0.5},
      {"5.", 5},
      {"00012", 12},
      {"0.1", 0.1},
      {"2.0", 2},
      {".", 0},
      {"-", 0},
      {"+", 0},
      {"-.", 0},
      {" ", 0},
      {"", 0},
      {"abc", 0},
      {"e5", 0},
      {".e1", 0},
      {"--1", 0},
      {"+-1", 0},
      {"- 1", 0},
      {"1e", 1},
      {"1e+", 1},
      {"1e-", 1},
      {"1E", 1},
      {"1e+x", 1},
      {"1ex", 1},
      {"1e3", 1000},
      {"1e3x", 1000},
      {"1E-2", 0.01},
      {"1e+2", 100},
      {"1e0003", 1000},
      {"5e-1", 0.5},
      {"+.5e1", 5},
      {"1e5e3", 1e5},
      {"1.2.3", 1.2},
      {"1..2", 1},
      {"2,5", 2},
      {"0x10", 0}, // no hexadecimal
      {"inf", 0},
      {"infinity", 0},
      {"nan", 0},
      {"\n5", 0}, // only blanks and tabs are skipped
      {"1e-320", 1e-320},
      {"1e-400", 0},
      {"1e999", inf},
      {"-1e999", -inf},
      {"12345678901234567890", 12345678901234567890.0},
  };
  for (const ReadCase &c : cases)
    EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// An exponent belongs to the number only when it is complete.
TEST(numbers, decimal_length_takes_a_complete_exponent_only) {
  const std::pair<const char *, std::size_t> cases[] = {
      {"1e", 1},       {"1ex", 1}, {"1e+", 1}, {"1e+x", 1}, {"1e5x", 3},
      {"-2.5E-3 ", 7}, {".", 0},   {"+", 0},   {"-.5", 3},  {"e5", 0},
  };
  for (const auto &[text, length] : cases)
    EXPECT_EQ(DecimalLength(text), length) << '"' << text << '"';
}

TEST(numbers, leading_number_zero_is_positive) {
  const char *texts[] = {"  -0", "-0", "-0.0", "-.0e5", "0", "-1e-400", "x"};
  for (const char *t : texts) {
    const double v = LeadingNumber(t);
    EXPECT_EQ(v, 0) << '"' << t << '"';
    EXPECT_FALSE(std::signbit(v)) << '"' << t << '"';
  }
}

TEST(numbers, leading_number_needs_no_terminating_null) {
  // A view into a longer text must stop at its own end.
  const std::string whole = "12345";
  EXPECT_EQ(LeadingNumber(std::string_view(whole).substr(0, 2)), 12);
  EXPECT_EQ(LeadingNumber(std::string_view(whole).substr(0, 0)), 0);
  const std::string exp = "1e5";
  EXPECT_EQ(LeadingNumber(std::string_view(exp).substr(0, 2)), 1);
}

// Restores the C and C++ locales that were in force when it was made.
class LocaleGuard {
public:
  LocaleGuard() : cpp_(std::locale()) {
    const char *c = std::setlocale(LC_ALL, nullptr);
    c_ = c ? c : "C";
    const char *path = std::getenv("LOCPATH");
    hadPath_ = path != nullptr;
    path_ = path ? path : "";
  }
  ~LocaleGuard() {
    if (hadPath_)
      setenv("LOCPATH", path_.c_str(), 1);
    else
      unsetenv("LOCPATH");
    std::locale::global(cpp_);
    std::setlocale(LC_ALL, c_.c_str());
  }
  LocaleGuard(const LocaleGuard &) = delete;
  LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
  std::locale cpp_;
  std::string c_;
  bool hadPath_ = false;
  std::string path_;
};

// The bytes the dump writes and the values the script reads, the same on
// both paths (to_chars and from_chars, or the C library under the C locale,
// which the WebAssembly build takes) and under any locale.
void ExpectNumberBytes() {
  struct Case {
    double value;
    int precision;
    const char *text;
  } const kCases[] = {
      {0.1, 17, "0.10000000000000001"},
      {2.5, 17, "2.5"},
      {-0.0, 17, "-0"},
      {1e300, 17, "1.0000000000000001e+300"},
      {5e-324, 17, "4.9406564584124654e-324"},
      {123456789.0, 9, "123456789"},
      {1234567890.0, 9, "1.23456789e+09"},
      {static_cast<double>(0.1f), 9, "0.100000001"},
      {3294.78271484375, 9, "3294.78271"},
      {1e-5, 9, "1e-05"},
      {0.25, 15, "0.25"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GeneralText(c.value, c.precision), c.text);
    EXPECT_EQ(GeneralTextBySnprintf(c.value, c.precision), c.text);
    if (c.precision == 17) {
      EXPECT_EQ(DecimalValue(c.text), c.value);
      EXPECT_EQ(DecimalValueByStrtod(c.text), c.value);
    }
  }
  struct Read {
    const char *text;
    double value;
  } const kReads[] = {{"0.25", 0.25}, {"+.5", 0.5},    {"-0.125", -0.125},
                      {"1e-3", 1e-3}, {"25E-2", 0.25}, {"1e400", HUGE_VAL}};
  for (const Read &r : kReads) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(DecimalValue(r.text), r.value);
    EXPECT_EQ(DecimalValueByStrtod(r.text), r.value);
  }
}

TEST(numbers, number_bytes_are_the_same_on_every_path) { ExpectNumberBytes(); }

void ExpectLocaleFree() {
  ExpectNumberBytes();
  EXPECT_EQ(LeadingNumber("1.5"), 1.5);
  EXPECT_EQ(LeadingNumber("1,5"), 1);
  EXPECT_EQ(LeadingNumber(" 2.25e1"), 22.5);
  EXPECT_EQ(NumberText(1.5), " 1.5");
  EXPECT_EQ(NumberText(0.5), " .5");
  EXPECT_EQ(NumberText(1234567), " 1234567"); // no digit grouping
}

struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(numbers, conversions_ignore_a_cpp_locale_with_a_decimal_comma) {
  LocaleGuard guard;
  std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  ExpectLocaleFree();
}

// Finds a locale whose decimal point is a comma and makes it the C locale:
// an installed one, or else the one the build made next to the tests.
const char *SetCommaLocale() {
  const char *names[] = {"de_DE.UTF-8", "de_DE.utf8",  "fr_FR.UTF-8",
                         "fr_FR.utf8",  "nl_NL.UTF-8", "ru_RU.UTF-8"};
  for (int attempt = 0; attempt < 2; ++attempt) {
#ifdef ARRIVALS_TEST_LOCALE_DIR
    if (attempt == 1)
      setenv("LOCPATH", ARRIVALS_TEST_LOCALE_DIR, 1);
#else
    if (attempt == 1)
      break;
#endif
    for (const char *name : names) {
      if (std::setlocale(LC_ALL, name) != nullptr &&
          *std::localeconv()->decimal_point == ',')
        return name;
    }
  }
  return nullptr;
}

TEST(numbers, conversions_ignore_a_c_locale_with_a_decimal_comma) {
  LocaleGuard guard;
  const char *found = SetCommaLocale();
  if (found == nullptr)
    GTEST_SKIP() << "no locale with a decimal comma is available";
  try {
    std::locale::global(std::locale(found));
  } catch (const std::runtime_error &) {
    // The C locale alone is set; that is the one strtod and printf follow.
  }
  ExpectLocaleFree();
}

struct RoundCase {
  double value;
  Long rounded;
};

TEST(numbers, round_to_long_sends_halves_to_the_even_neighbour) {
  const RoundCase cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {-0.5, 0},
      {312.5, 312},
      {666.6666666666666, 667},
      {333.3333333333333, 333},
      {0.49999999999999994, 0}, // floor(x + 0.5) would give 1
      {186.6065983073615, 187},
      {2.4999999999999996, 2},
      {0, 0},
      {1999999.9999999998, 2000000},
      {2147483646.5, 2147483646},
      {2147483647.0, 2147483647},
      {2147483647.4, 2147483647},
      {-2147483648.0, -2147483647 - 1},
  };
  for (const RoundCase &c : cases)
    EXPECT_EQ(RoundToLong(c.value), c.rounded) << "value " << c.value;
}

} // namespace
} // namespace arrivals

namespace arrivals {
namespace {

// Colour numbers as the window reads them: red in the low byte.
static_assert(Rgb(255, 0, 0) == 255);
static_assert(Rgb(0, 255, 0) == 0xff00);
static_assert(Rgb(0, 0, 128) == 8388608);
static_assert(Rgb(224, 224, 224) == 14737632);

} // namespace
} // namespace arrivals
