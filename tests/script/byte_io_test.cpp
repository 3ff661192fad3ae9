// Lines read from a byte source that gives its bytes a piece at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "script/byte_io.h"
#include "script/line_source.h"

namespace arrivals {
namespace {

// Gives its bytes a few at a time, so that lines cross every refill.
class TrickleSource final : public ByteSource {
public:
  TrickleSource(std::string text, std::size_t step)
      : text_(std::move(text)), step_(step) {}
  Status Read(char *data, std::size_t capacity, std::size_t &got) override {
    got = std::min({capacity, step_, text_.size() - pos_});
    if (got == 0)
      return Status::End;
    text_.copy(data, got, pos_);
    pos_ += got;
    return Status::Ok;
  }

private:
  std::string text_;
  std::size_t step_;
  std::size_t pos_ = 0;
};

TEST(byte_io, lines_end_at_lf_and_stop_past_one_mib) {
  const std::size_t mib = LineReader::kMaxLineBytes;
  const std::string big(mib, 'x');
  struct Case {
    std::string text;
    std::vector<std::string> lines;
    bool tooLong;
  } const kCases[] = {
      {"", {}, false},
      {"a\nb", {"a", "b"}, false},
      {"a\r\nb\r", {"a", "b\r"}, false}, // a last CR is part of the line
      {"a\r\r\n\n", {"a\r", ""}, false},
      {"\xef\xbb\xbf"
       "a\n\xef\xbb\xbf"
       "b\n",
       {"a", "\xef\xbb\xbf"
             "b"},
       false},
      {"\xef\xbb", {"\xef\xbb"}, false}, // half a mark is kept
      {big + "\r\nc\n", {big, "c"}, false},
      {big, {big}, false},
      // Reads of 64 KiB end right after the CR: it may still be a line end.
      {std::string(65534, '#') + "\n" + big + "\r\nc\n",
       {std::string(65534, '#'), big, "c"},
       false},
      {"a\n" + big + "x\n", {"a"}, true},
      {big + "x", {}, true},
  };
  for (const Case &c : kCases) {
    for (const std::size_t step : {std::size_t{1}, std::size_t{3}, mib}) {
      if (c.text.size() > 4096 && step < mib)
        continue; // a MiB a byte at a time is slow and adds nothing
      SCOPED_TRACE(c.text.substr(0, 20) + " step " + std::to_string(step));
      TrickleSource source(c.text, step);
      LineReader reader(source);
      std::vector<std::string> lines;
      std::string line;
      LineReader::Status status;
      while ((status = reader.Next(line)) == LineReader::Status::Line)
        lines.push_back(line);
      EXPECT_EQ(lines, c.lines);
      EXPECT_EQ(status, c.tooLong ? LineReader::Status::TooLong
                                  : LineReader::Status::End);
    }
  }
}

} // namespace
} // namespace arrivals
