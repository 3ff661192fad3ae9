// The descriptor sink: lines held back in blocks, or pushed out at once
// where a reader waits for each (a pipe, a terminal).

#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "script/byte_io.h"

namespace arrivals {
namespace {

// Bytes that have reached the descriptor's reader so far.
std::size_t Arrived(bool pipe, int readEnd, int fd) {
  if (!pipe) {
    const off_t end = ::lseek(fd, 0, SEEK_END); // the sink only appends
    return end > 0 ? static_cast<std::size_t>(end) : 0;
  }
  std::size_t total = 0;
  char buffer[4096];
  for (ssize_t n; (n = ::read(readEnd, buffer, sizeof buffer)) > 0;)
    total += static_cast<std::size_t>(n);
  return total;
}

TEST(byte_sink, holds_blocks_back_unless_a_reader_waits_for_each_line) {
  constexpr std::size_t kBlock = std::size_t{64} << 10;
  struct Case {
    const char *what;
    bool pipe;
    bool eachWrite; // FlushEachWriteUnlessRegularFile called
    std::vector<std::size_t> writes;
    std::size_t arrived; // before Flush
  };
  const Case cases[] = {
      {"a pipe, line by line", true, true, {5, 7}, 12},
      {"a pipe in blocks", true, false, {5, 7}, 0},
      {"a file keeps its blocks", false, true, {5, 7}, 0},
      {"one byte short of a block", false, false, {kBlock - 2, 1}, 0},
      {"a whole block goes out", false, false, {kBlock - 2, 2}, kBlock},
  };
  for (const Case &c : cases) {
    int fds[2] = {-1, -1};
    std::string file = testing::TempDir() + "byte_sink_XXXXXX";
    if (c.pipe) {
      ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    } else {
      fds[1] = ::mkstemp(file.data());
      ASSERT_GE(fds[1], 0);
    }
    std::size_t written = 0;
    {
      FdSink sink(fds[1], "out");
      if (c.eachWrite)
        sink.FlushEachWriteUnlessRegularFile();
      for (const std::size_t n : c.writes) {
        sink.Write(std::string(n - 1, 'x') + "\n");
        written += n;
      }
      EXPECT_EQ(Arrived(c.pipe, fds[0], fds[1]), c.arrived) << c.what;
      EXPECT_TRUE(sink.Flush());
    }
    // A pipe's reader has taken what arrived before; a file holds it all.
    const std::size_t after = Arrived(c.pipe, fds[0], fds[1]);
    EXPECT_EQ(c.pipe ? c.arrived + after : after, written) << c.what;
    if (c.pipe)
      ::close(fds[0]);
    else
      ::unlink(file.c_str());
    ::close(fds[1]);
  }
}

} // namespace
} // namespace arrivals
