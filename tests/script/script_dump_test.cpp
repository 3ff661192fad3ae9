// The dump's JSON strings.
#include <gtest/gtest.h>

#include <string>

#include "script/script_dump.h"

namespace arrivals {
namespace {

TEST(script_dump, json_strings) {
  struct Case {
    std::string text;
    std::string json;
  } const kCases[] = {
      {"", R"("")"},
      {"Pareto 0.5", R"("Pareto 0.5")"},
      {"a\"b\\c", R"("a\"b\\c")"},
      {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {std::string("\0\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
      {"\x7f \xc3\xa9 \xe2\x82\xac", "\"\x7f \xc3\xa9 \xe2\x82\xac\""},
  };
  for (const Case &c : kCases) {
    std::string out;
    AppendJsonString(out, c.text);
    EXPECT_EQ(out, c.json);
  }
}

} // namespace
} // namespace arrivals
