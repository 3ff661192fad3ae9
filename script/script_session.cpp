#include "script/script_session.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/numbers.h"
#include "script/script_dump.h"
#include "script/script_random.h"
#include "script/script_text.h"
#include "script/stop_signal.h"

namespace arrivals {

namespace {

// A line that cannot be run; `why` follows "line N: " on standard error.
struct Malformed {
  std::string why;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// A decimal number (optional sign, digits with at most one point, optional
// exponent) read as the nearest double, which must lie in [0, 1).
std::optional<double> ParseDraw(std::string_view word) {
  if (word.empty() || DecimalLength(word) != word.size())
    return std::nullopt;
  // 0 or a subnormal below range, an infinity above it, which the range
  // check turns away.
  const double value = DecimalValue(word);
  if (!(value >= 0 && value < 1))
    return std::nullopt;
  return value + 0.0; // "-0" is the draw 0
}

} // namespace

// Splits a line into words separated by blanks, and keeps the position of
// each word so that `type` can take the rest of the line byte for byte.
class ScriptSession::Words {
public:
  explicit Words(std::string_view line) : line_(line) {}

  // The next word, or nothing at the end of the line.
  std::optional<std::string_view> Next() {
    while (pos_ < line_.size() && IsBlank(line_[pos_]))
      ++pos_;
    if (pos_ == line_.size())
      return std::nullopt;
    const std::size_t begin = pos_;
    while (pos_ < line_.size() && !IsBlank(line_[pos_]))
      ++pos_;
    return line_.substr(begin, pos_ - begin);
  }

  // Everything after the single blank that ends the current word.
  std::string_view Rest() const {
    return pos_ < line_.size() ? line_.substr(pos_ + 1) : std::string_view{};
  }

  // Fails when a word is left over.
  void End(std::string_view command) {
    if (const auto extra = Next())
      throw Malformed{std::string(command) + ": unexpected " +
                      QuotedExcerpt(*extra)};
  }

private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

// An index word: an unsigned decimal within int.
int ScriptSession::Index(Words &words, const std::string &what) {
  const auto word = words.Next();
  if (!word)
    throw Malformed{what + ": missing index"};
  const auto value = ParseUnsigned(*word);
  if (!value)
    throw Malformed{what + ": " + QuotedExcerpt(*word) + " is not an index"};
  if (*value > static_cast<std::uint64_t>(INT_MAX))
    throw Malformed{what + ": index " + Excerpt(*word) + " out of range"};
  return static_cast<int>(*value);
}

ScriptSession::ScriptSession(MainForm &form, ScriptRandom &random,
                             ByteSink &out, const ScriptOptions &options)
    : FormObserver(Wants::MessagesOnly), form_(form),
      observerBefore_(form.observer()), random_(random), out_(out),
      options_(options) {
  form_.SetObserver(this);
  if (options_.packets || options_.seconds) {
    trace_.emplace(options_.packets, options_.seconds, timeMs_);
    form_.SetTrace(&*trace_);
    // The headers go out at once: a file that fills later keeps its own.
    for (ByteSink *sink : {options_.packets, options_.seconds})
      if (sink != nullptr)
        sink->Flush();
  }
}

ScriptSession::~ScriptSession() {
  form_.SetObserver(observerBefore_);
  if (trace_)
    form_.SetTrace(nullptr);
}

void ScriptSession::ShowMessage(std::string_view text) {
  messages_.emplace_back(text);
}

int ScriptSession::Run(std::string_view line, std::uint64_t tickBudget) {
  ++line_;
  lineTicks_ = 0;
  int status = kScriptOk;
  try {
    Dispatch(line, tickBudget);
  } catch (const Malformed &e) {
    status = kScriptMalformed;
    why_ = e.why;
  } catch (const OutOfDraws &e) {
    status = kScriptOutOfDraws;
    why_ = e.what();
  }
  if (status != kScriptOk)
    pendingTicks_ = 0;
  return status;
}

void ScriptSession::Dispatch(std::string_view line, std::uint64_t tickBudget) {
  Words words(line);
  const auto command = words.Next();
  if (!command || command->front() == '#')
    return;
  const std::string_view name = *command;

  if (name == "seed")
    return Seed(words);
  if (name == "draws")
    return Draws(words);
  if (name == "clock")
    return Clock(words);
  if (name == "dump") {
    words.End(name);
    return Dump();
  }

  const bool known = name == "load" || name == "click" || name == "type" ||
                     name == "pick" || name == "tick";
  if (!known)
    throw Malformed{"unknown command " + QuotedExcerpt(name)};
  if (name == "load")
    return Load(words);
  if (!loaded_)
    throw Malformed{QuotedExcerpt(name) + " before load"};
  if (name == "click")
    return Click(words);
  if (name == "type")
    return Type(words);
  if (name == "pick")
    return Pick(words);
  return Tick(words, tickBudget);
}

// The number of `seed` and `clock`: an unsigned 64-bit decimal.
std::uint64_t ScriptSession::SeedNumber(Words &words, const std::string &what) {
  const auto word = words.Next();
  if (!word)
    throw Malformed{what + ": missing number"};
  const auto seed = ParseUnsigned(*word);
  if (!seed)
    throw Malformed{what + ": " + QuotedExcerpt(*word) +
                    " is not an unsigned 64-bit decimal"};
  words.End(what);
  return *seed;
}

void ScriptSession::Seed(Words &words) {
  random_.Seed(SeedNumber(words, "seed"));
}

void ScriptSession::Clock(Words &words) {
  random_.Clock(SeedNumber(words, "clock"));
}

void ScriptSession::Draws(Words &words) {
  values_.clear();
  while (const auto word = words.Next()) {
    const auto u = ParseDraw(*word);
    if (!u)
      throw Malformed{"draws: " + QuotedExcerpt(*word) +
                      " is not a decimal in [0, 1)"};
    values_.push_back(*u);
  }
  if (values_.empty())
    throw Malformed{"draws: missing value"};
  random_.Append(values_);
}

void ScriptSession::Load(Words &words) {
  words.End("load");
  if (loaded_)
    throw Malformed{"second load"};
  loaded_ = true;
  form_.Form_Load();
}

void ScriptSession::Click(Words &words) {
  const auto button = words.Next();
  if (!button)
    throw Malformed{"click: missing button"};
  if (*button == "start") {
    words.End("click start");
    form_.btnStart_Click();
  } else if (*button == "pause") {
    words.End("click pause");
    form_.btnPause_Click();
  } else if (*button == "view") {
    const int index = Index(words, "click view");
    if (index > 1)
      throw Malformed{"click view: index " + std::to_string(index) +
                      " out of range"};
    words.End("click view");
    form_.UserSelectsView(index);
  } else {
    throw Malformed{"click: unknown button " + QuotedExcerpt(*button)};
  }
}

void ScriptSession::Type(Words &words) {
  const auto box = words.Next();
  if (!box)
    throw Malformed{"type: missing box"};
  if (*box != "rate" && *box != "process")
    throw Malformed{"type: unknown box " + QuotedExcerpt(*box)};
  const std::string_view text = words.Rest();
  if (!IsUtf8(text))
    throw Malformed{"type: text is not UTF-8"};
  if (*box == "rate")
    form_.UserEditsData(std::string(text));
  else
    form_.UserEditsExperiment(std::string(text));
}

void ScriptSession::Pick(Words &words) {
  const auto box = words.Next();
  if (!box)
    throw Malformed{"pick: missing box"};
  if (*box != "rate" && *box != "process")
    throw Malformed{"pick: unknown box " + QuotedExcerpt(*box)};
  const std::string what = "pick " + std::string(*box);
  const int index = Index(words, what);
  words.End(what);
  const bool picked = *box == "rate" ? form_.UserPicksData(index)
                                     : form_.UserPicksExperiment(index);
  if (!picked)
    throw Malformed{what + ": index " + std::to_string(index) +
                    " out of range"};
}

void ScriptSession::Tick(Words &words, std::uint64_t budget) {
  std::uint64_t n = 1;
  if (const auto word = words.Next()) {
    const auto value = ParseUnsigned(*word);
    if (!value)
      throw Malformed{"tick: " + QuotedExcerpt(*word) +
                      " is not an unsigned decimal"};
    n = *value;
    words.End("tick");
  }
  lineTicks_ = n;
  pendingTicks_ = n;
  DeliverTicks(budget);
}

int ScriptSession::ResumeTicks(std::uint64_t budget) {
  try {
    DeliverTicks(budget);
  } catch (const OutOfDraws &e) {
    pendingTicks_ = 0;
    why_ = e.what();
    return kScriptOutOfDraws;
  }
  return kScriptOk;
}

void ScriptSession::DeliverTicks(std::uint64_t budget) {
  const Timer &timer = form_.controls().tmrMain;
  for (; pendingTicks_ > 0 && budget > 0; --pendingTicks_, --budget) {
    // Only a handler switches the timer, and none runs inside this loop:
    // once it is off, every remaining event would be dropped.
    // A failed write shows only when a block of rows goes out.
    if (!timer.enabled || ticks_ >= options_.maxTicks || StopRequested() ||
        (ticks_ % 256 == 255 && Interrupted())) {
      pendingTicks_ = 0;
      break;
    }
    ++ticks_;
    timeMs_ += static_cast<std::uint64_t>(timer.interval);
    form_.TimerEvent();
  }
}

void ScriptSession::Dump() {
  const std::string line = DumpForm(form_, messages_, random_.count());
  messages_.clear();
  out_.Write(line + '\n');
}

const ByteSink *ScriptSession::Flush() {
  const ByteSink *failed = nullptr;
  for (ByteSink *sink : {&out_, options_.packets, options_.seconds})
    if (sink != nullptr && !sink->Flush() && failed == nullptr)
      failed = sink;
  return failed;
}

bool ScriptSession::Interrupted() const {
  const std::initializer_list<const ByteSink *> outputs = {
      &out_, options_.packets, options_.seconds};
  return StopRequested() ||
         std::any_of(outputs.begin(), outputs.end(), [](const ByteSink *sink) {
           return sink != nullptr && sink->failed();
         });
}

} // namespace arrivals
