#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace arrivals {

// The lines of a script held whole in memory (the script of a link, or a
// file opened in the page), taken one at a time as the script tool reads
// standard input: a line ends at LF, a CR right before that LF is no part of
// it, a UTF-8 byte-order mark at the very start is no part of the first
// line, and a line longer than 1 MiB is reported as such.
class ScriptLines {
public:
  static constexpr std::size_t kMaxLine = std::size_t{1} << 20;

  struct Line {
    std::string_view text;
    bool tooLong = false;
  };

  void Reset(std::string_view script);
  std::optional<Line> Next();
  // Share of the bytes taken, from 0 to 1.
  double Progress() const;

private:
  std::string script_;
  std::size_t pos_ = 0;
};

} // namespace arrivals
