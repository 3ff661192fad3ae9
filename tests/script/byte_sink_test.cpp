// A descriptor sink holds lines back and writes them when a block of 64 KiB
// is full, or on Flush: a long run writes in few system calls, and a run
// that is stopped loses no more than a block.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "script/byte_io.h"

namespace arrivals {
namespace {

TEST(byte_sink, writes_a_full_block_and_holds_back_less) {
  std::FILE *file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const int fd = fileno(file);
  const auto size = [fd] {
    struct stat st = {};
    return ::fstat(fd, &st) == 0 ? static_cast<long>(st.st_size) : -1L;
  };
  constexpr long kBlock = 64 * 1024;
  const std::string line = std::string(1023, 'x') + '\n';
  FdSink sink(fd, "the file");
  for (int i = 0; i < 63; ++i)
    sink.Write(line);
  EXPECT_EQ(size(), 0) << "less than a block is held back";
  sink.Write(line);
  EXPECT_EQ(size(), kBlock) << "a full block goes out at once";
  sink.Write("last\n");
  EXPECT_EQ(size(), kBlock);
  EXPECT_TRUE(sink.Flush());
  EXPECT_EQ(size(), kBlock + 5);
  std::fclose(file);
}

} // namespace
} // namespace arrivals
