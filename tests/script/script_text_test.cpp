// Excerpts of a script's text, as its messages quote them.
#include <gtest/gtest.h>

#include <string>

#include "script/script_text.h"

namespace arrivals {
namespace {

TEST(script_text, excerpts_are_short_printable_lines) {
  const std::string a59(59, 'a'), a60(60, 'a');
  struct Case {
    std::string text;
    std::string shown;
  } const kCases[] = {
      {"", ""},
      {"abc \xc3\xa9\xe2\x82\xac", "abc \xc3\xa9\xe2\x82\xac"},
      {"a\\b", "a\\\\b"},
      {std::string("\0\x1b[31m\t\x7f", 8), "\\x00\\x1b[31m\\x09\\x7f"},
      {"\xc2\x9b\xc2\xa0", "\\xc2\\x9b\xc2\xa0"}, // C1 CSI; no-break space
      {"\xff\xc0\xaf\xed\xa0\x80", "\\xff\\xc0\\xaf\\xed\\xa0\\x80"},
      {a60, a60},
      {a60 + "b", a60 + "..."},
      {"\x01" + a59 + "b", "\\x01" + a59 + "..."},
      {a59 + "\xc3\xa9", a59 + "..."}, // never half a character
      {a59.substr(1) + "\xc3\xa9x", a59.substr(1) + "\xc3\xa9..."},
      {a59 + "\xff", a59 + "\\xff"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Excerpt(c.text), c.shown);
  }
}

} // namespace
} // namespace arrivals
