// Any script text, run in process as arrivals-script runs it: it must end
// with status 0, 2 or 3, never crash, hang or trip a sanitizer, and a
// failure must be reported as one printable line, "line N: why".
//
// So that an input stays fast, inputs past kMaxBytes are skipped and the
// runner's tick budget stops timer events past kMaxTicks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "script/script_runner.h"

namespace {

constexpr std::size_t kMaxBytes = 8192;
constexpr std::uint64_t kMaxTicks = 2000; // 100 simulated seconds

[[noreturn]] void fail(const char *what, int status) {
  std::fprintf(stderr, "fuzz_script: %s (status %d)\n", what, status);
  std::abort();
}

// One line of printable ASCII or UTF-8 text, ended by its only newline.
bool isOnePrintableLine(std::string_view text) {
  if (text.empty() || text.back() != '\n')
    return false;
  text.remove_suffix(1);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f)
      return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size > kMaxBytes)
    return -1; // not added to the corpus
  arrivals::StringSource in(
      std::string(reinterpret_cast<const char *>(data), size));
  arrivals::StringSink out, err;
  arrivals::ScriptOptions options;
  options.maxTicks = kMaxTicks;
  const int status = arrivals::RunScript(in, out, err, options);
  if (status != arrivals::kScriptOk && status != arrivals::kScriptMalformed &&
      status != arrivals::kScriptOutOfDraws)
    fail("unexpected exit status", status);
  if (status == arrivals::kScriptOk && !err.str().empty())
    fail("a message without a failure", status);
  if (status != arrivals::kScriptOk &&
      (err.str().rfind("line ", 0) != 0 || !isOnePrintableLine(err.str())))
    fail("the failure is not one printable line \"line N: why\"", status);
  return 0;
}
