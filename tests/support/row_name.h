#pragma once

// Names for the rows of value-parameterised tables, so that test names (and
// the ctest names made from them) are short and the same in every build.

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace arrivals::testing {

// The row's number, then the words of `about` (runs of letters and digits)
// joined by underscores; a minus sign before a number reads "minus". Row 7
// about "--seed -1" is "7_seed_minus_1". The number keeps apart two rows
// that read alike.
inline std::string RowName(std::size_t row, std::string_view about) {
  const auto isWord = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
  };
  std::string name = std::to_string(row);
  bool inWord = false;
  for (std::size_t i = 0; i < about.size(); ++i) {
    const char c = about[i];
    const bool minus = c == '-' && !inWord && i + 1 < about.size() &&
                       std::isdigit(static_cast<unsigned char>(about[i + 1]));
    if (minus)
      name += "_minus";
    if (isWord(c) && !inWord)
      name += '_';
    if (isWord(c))
      name += c;
    inWord = isWord(c);
  }
  return name;
}

} // namespace arrivals::testing
