// The one line source: how a script's bytes become lines, whether they come
// whole (a string, a file) or a piece at a time (a pipe, a page).

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/byte_io.h"
#include "script/line_source.h"

namespace arrivals {
namespace {

constexpr std::size_t kMax = LineReader::kMaxLineBytes;

// Every line of `script`, fed in pieces of `step` bytes; "<too long>" and
// "<waiting>" stand for those statuses.
std::vector<std::string> LinesOf(const std::string &script, std::size_t step) {
  PieceSource source;
  LineReader reader(source);
  std::vector<std::string> out;
  std::string line;
  for (std::size_t pos = 0;;) {
    const LineReader::Status status = reader.Next(line);
    if (status == LineReader::Status::Line) {
      out.push_back(line);
    } else if (status == LineReader::Status::Waiting) {
      if (pos >= script.size())
        source.Close();
      else
        source.Append(script.substr(pos, step));
      pos += step;
    } else {
      if (status == LineReader::Status::TooLong)
        out.push_back("<too long>");
      EXPECT_EQ(status == LineReader::Status::End ||
                    status == LineReader::Status::TooLong,
                true);
      return out;
    }
  }
}

TEST(line_source, splits_as_the_script_tool_reads_standard_input) {
  struct Case {
    const char *what;
    std::string script;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"empty", "", {}},
      {"one line, no line end", "load", {"load"}},
      {"LF ends a line", "seed 1\nload\n", {"seed 1", "load"}},
      {"CR LF ends a line", "seed 1\r\nload\r\n", {"seed 1", "load"}},
      {"a last CR without LF stays", "load\r", {"load\r"}},
      {"a lone CR inside stays", "type rate 1\r2\n", {"type rate 1\r2"}},
      {"blank lines count", "\n\nload\n", {"", "", "load"}},
      {"a byte-order mark before the first line",
       "\xEF\xBB\xBFload\n",
       {"load"}},
      {"only at the very start",
       "load\n\xEF\xBB\xBF\n",
       {"load", "\xEF\xBB\xBF"}},
      {"half a mark is kept", "\xEF\xBB", {"\xEF\xBB"}},
      {"a mark alone", "\xEF\xBB\xBF", {}},
      {"a NUL is a byte like any other",
       std::string("lo\0ad", 5),
       {std::string("lo\0ad", 5)}},
      {"exactly 1 MiB is allowed",
       std::string(kMax, '#') + "\r\nload",
       {std::string(kMax, '#'), "load"}},
      {"one byte more is too long, and nothing after it is read",
       std::string(kMax + 1, '#') + "\nload",
       {"<too long>"}},
      {"so is a last line without a line end",
       std::string(kMax + 1, '#'),
       {"<too long>"}},
  };
  for (const Case &c : cases)
    for (const std::size_t step : {std::size_t{1}, std::size_t{2}, kMax}) {
      if (c.script.size() > 4096 && step < kMax)
        continue; // a MiB a byte at a time adds nothing
      EXPECT_EQ(LinesOf(c.script, step), c.lines)
          << c.what << ", step " << step;
    }
}

// A line is handed out as soon as its line end has come, never held for
// more bytes: a program that feeds a script line by line waits on each.
TEST(line_source, hands_out_a_line_as_soon_as_it_is_whole) {
  struct Case {
    std::vector<std::string> pieces;
    // After each piece: the lines taken, '|' after each, then a '.' for
    // the wait that follows.
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {{"lo", "ad\nti", "ck\n"}, {".", "load|.", "tick|."}},
      {{"\n", "load\n"}, {"|.", "load|."}}, // a short first line is no mark
      {{"\xEF", "\xBB", "\xBF", "load\r", "\n"},
       {".", ".", ".", ".", "load|."}},
      {{"\xEF", "x\n"}, {".", "\xEFx|."}},
      {{"a\r", "\r\n"}, {".", "a\r|."}},
  };
  for (const Case &c : cases) {
    PieceSource source;
    LineReader reader(source);
    std::string line;
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      source.Append(c.pieces[i]);
      std::string got;
      LineReader::Status status;
      while ((status = reader.Next(line)) == LineReader::Status::Line)
        got += line + "|";
      EXPECT_EQ(status, LineReader::Status::Waiting);
      EXPECT_EQ(got + ".", c.after[i]) << c.pieces[i];
    }
    source.Close();
    EXPECT_EQ(reader.Next(line), LineReader::Status::End);
  }
}

TEST(line_source, counts_the_bytes_taken) {
  StringSource source("\xEF\xBB\xBFseed 1\r\nload\n\nlast");
  LineReader reader(source);
  std::string line;
  std::vector<std::uint64_t> taken;
  while (reader.Next(line) == LineReader::Status::Line)
    taken.push_back(reader.taken());
  EXPECT_EQ(taken, (std::vector<std::uint64_t>{11, 16, 17, 21}));
}

} // namespace
} // namespace arrivals
