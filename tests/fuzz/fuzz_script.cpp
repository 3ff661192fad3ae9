// Any script text, run in process as arrivals-script runs it: it must end
// with status 0, 2 or 3, and never crash, hang or trip a sanitizer.
//
// So that an input stays fast, a pre-filter caps the work it may ask for:
// inputs past kMaxBytes are skipped, and a `tick N` line that would take the
// input past kMaxTicks timer events is dropped before the script runs.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "tools/script_runner.h"

namespace {

constexpr std::size_t kMaxBytes = 8192;
constexpr std::uint64_t kMaxTicks = 2000; // 100 simulated seconds

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next word of `line` from `pos`, blanks before it skipped.
std::string_view NextWord(std::string_view line, std::size_t &pos) {
  while (pos < line.size() && IsBlank(line[pos]))
    ++pos;
  const std::size_t begin = pos;
  while (pos < line.size() && !IsBlank(line[pos]))
    ++pos;
  return line.substr(begin, pos - begin);
}

// The timer events a line asks for: 0 for any line but `tick`, and for a
// `tick` whose count is not all digits (the runner rejects it); the count,
// saturating, otherwise.
std::uint64_t TicksOf(std::string_view line) {
  if (!line.empty() && line.back() == '\r') // a line saved on Windows
    line.remove_suffix(1);
  std::size_t pos = 0;
  if (NextWord(line, pos) != "tick")
    return 0;
  const std::string_view count = NextWord(line, pos);
  if (count.empty())
    return 1;
  std::uint64_t n = 0;
  for (const char c : count) {
    if (c < '0' || c > '9')
      return 0;
    n = n > kMaxTicks ? n : n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

// The script without the `tick` lines past the budget.
std::string WithinBudget(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  std::uint64_t budget = kMaxTicks;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t next = end == std::string_view::npos ? text.size() : end;
    const std::string_view line = text.substr(0, next);
    const std::uint64_t ticks = TicksOf(line);
    if (ticks <= budget) {
      budget -= ticks;
      kept.append(line);
      if (end != std::string_view::npos)
        kept.push_back('\n');
    }
    text.remove_prefix(end == std::string_view::npos ? next : next + 1);
  }
  return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size > kMaxBytes)
    return -1; // not added to the corpus
  std::istringstream in(WithinBudget(
      std::string_view(reinterpret_cast<const char *>(data), size)));
  std::ostringstream out, err;
  const int status = arrivals::RunScript(in, out, err);
  if (status != arrivals::kScriptOk && status != arrivals::kScriptMalformed &&
      status != arrivals::kScriptOutOfDraws) {
    std::fprintf(stderr, "fuzz_script: exit status %d\n", status);
    std::abort();
  }
  if (status != arrivals::kScriptOk && err.str().rfind("line ", 0) != 0) {
    std::fprintf(stderr, "fuzz_script: status %d without \"line N: why\"\n",
                 status);
    std::abort();
  }
  return 0;
}
