// Any bytes typed into the rate box. The change handling must never crash,
// the rate it leaves accepted must lie in 0 to 10, and the rate box must
// read the same number as a plain reference reading of the same bytes.
// A few seconds of a run follow, so that the arrival process meets the
// typed rate.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <string>

#include "model/numbers.h"
#include "model/random_source.h"
#include "ui/form.h"

namespace {

// Reads the number at the start of `text` by the rule the rate box follows:
// blanks and tabs skipped, an optional sign, digits with at most one "."
// (at least one digit in all), an optional complete exponent; the digits
// are then read by the C library as the nearest double. Anything else, and
// minus zero, is 0.
double ReferenceNumber(const std::string &text) {
  static const std::regex number(
      R"(^[ \t]*([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?))",
      std::regex::ECMAScript);
  std::smatch m;
  if (!std::regex_search(text, m, number))
    return 0;
  // The program never sets a locale, so strtod reads "." as the point.
  const double value = std::strtod(m[1].str().c_str(), nullptr);
  return value == 0 ? 0.0 : value;
}

[[noreturn]] void Fail(const char *what, const std::string &text, double a,
                       double b) {
  std::fprintf(stderr, "fuzz_rate_box: %s for %zu bytes: %.17g vs %.17g\n",
               what, text.size(), a, b);
  std::abort();
}

// The program's generator with a fixed seed: start-up's seeding from the
// clock is ignored, so that a finding replays.
class FixedSeed final : public arrivals::RandomSource {
public:
  explicit FixedSeed(std::uint64_t seed) : mersenne_(seed) {}
  void Randomize() override {}
  double Draw() override { return mersenne_.Draw(); }

private:
  arrivals::MersenneSource mersenne_;
};

// The reference's regular expression recurses once per character; past this
// length it would need more stack than a fuzzer thread has.
constexpr std::size_t kReferenceMaxBytes = 2000;

constexpr int kTicksBefore = 10; // half a second of running before the edit
constexpr int kTicksAfter = 70;  // then three and a half seconds more

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);

  if (text.size() <= kReferenceMaxBytes) {
    const double got = arrivals::LeadingNumber(text);
    const double want = ReferenceNumber(text);
    if (std::memcmp(&got, &want, sizeof got) != 0)
      Fail("leading number differs from the reference", text, got, want);
  }

  // The same bytes choose the process, so every one of them meets odd rates.
  FixedSeed random(size);
  // The form holds the Cantor table: too big for a fuzzer's stack frame.
  const auto owned = std::make_unique<arrivals::MainForm>(random);
  arrivals::MainForm &form = *owned;
  form.Form_Load();
  form.UserPicksExperiment(static_cast<int>(size % 7));
  form.btnStart_Click();
  for (int i = 0; i < kTicksBefore; ++i)
    form.TimerEvent();

  form.UserEditsData(text);
  const double rate = form.state().lastRate;
  if (!(rate >= 0 && rate <= 10)) // also NaN
    Fail("accepted rate out of range", text, rate, 0);
  // The box either keeps the typed text, whose value was accepted, or shows
  // the rate it accepted before.
  const std::string &shown = form.controls().cmbData.text;
  if (shown != text && shown != arrivals::NumberText(rate))
    Fail("rate box shows neither the typed nor the accepted rate", text, rate,
         arrivals::LeadingNumber(shown));
  if (shown == text && arrivals::LeadingNumber(text) != rate)
    Fail("typed text kept but its rate not accepted", text, rate,
         arrivals::LeadingNumber(text));

  for (int i = 0; i < kTicksAfter; ++i)
    form.TimerEvent();
  const arrivals::RunState &s = form.state();
  if (s.packetCount < 0 || s.countSecond < 0 || s.count3s < 0 || s.count10s < 0)
    Fail("negative count", text, s.packetCount, s.countSecond);
  return 0;
}
