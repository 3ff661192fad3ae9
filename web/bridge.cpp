// The browser edition's side of the page: the form, its script session and
// what the page paints, behind six plain C functions that the page's
// JavaScript calls on a handle of its own (the page may hold several
// forms). Plain exported functions rather than embind: the page passes
// numbers and bytes, always as a pointer and a length, and embind's runtime
// would be a third of the file.

#include <emscripten/emscripten.h>

#include "arrivals_version.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/byte_io.h"
#include "script/last_run.h"
#include "script/script_dump.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "script/script_text.h"
#include "script/session_recorder.h"
#include "script/traced_replay.h"
#include "ui/description.h"
#include "ui/form.h"
#include "ui/help.h"
#include "ui/variance_plot.h"
#include "web/scene.h"

namespace arrivals {
namespace {

// The message boxes of the form once its script has run: the page shows
// them one after the other when the event that raised them has finished.
class PageMessages final : public FormObserver {
public:
  PageMessages() : FormObserver(Wants::MessagesOnly) {}
  void ShowMessage(std::string_view text) override { queue.emplace_back(text); }
  std::vector<std::string> queue;
};

} // namespace

// One form of the page and all it holds: the page may make several, each
// behind its own handle.
struct Page {
  ScriptRandom random;
  MainForm form{random};
  StringSink dumps;
  ScriptSession session{form, random, dumps};
  // The script of the link, played in slices (see web_play).
  std::optional<StringSource> script;
  std::optional<ScriptPlayer> player;
  PageMessages messages;
  bool interactive = false;
  int status = kScriptOk; // of the start, when it failed
  bool played = false;    // the script has played to its end
  std::string message;    // "line N: why" after a failure
  std::string text;       // what the page takes, kept until the next take
  Scene scene;
  std::string controls; // the controls JSON last given
  // The controls it was written from: the JSON is written again only when
  // their faces differ (SameFaces), not at every tick.
  std::optional<Controls> controlsShown;
  std::array<std::uint32_t, scene::FieldCount(scene::kFrameFields)> frame{};
  struct {
    std::uint32_t bytes = 0, byteCount = 0;
    double number = 0;
  } reply;
  // The session as a script, the lines `--record` writes.
  SessionRecorder recording{form};
  // A trace being saved, and its rows since the page last took them.
  std::unique_ptr<TracedReplay> trace;
  std::string traceCsv;
  // "Variance-time of this run": the seconds of the replay's last run, and
  // the plot made of them when the replay has played to its end.
  bool varianceTrace = false;
  RunSeconds runSeconds;
  std::unique_ptr<VariancePlot> variance;
  std::vector<float> varianceNumbers;
};

static_assert(scene::FieldCount(scene::kReplyFields) == 3 &&
              offsetof(decltype(Page::reply), number) == 8);

namespace {

// What a slice of the script is allowed: lines, and timer events of a long
// `tick`, so that no line keeps the page from answering for long.
constexpr std::uint64_t kSliceEvents = 4096;

void BeginInteraction(Page &p) {
  if (!p.session.loaded())
    p.session.Run("load"); // a script without `load` gets it at its end
  // From here on the page is used by hand: when the script's draws are
  // spent, the generator goes on from a seed chosen from the clock now.
  const std::uint64_t clock = ClockSeed();
  if (!p.random.seeded())
    p.recording.Clock(clock);
  p.random.Clock(clock);
  p.recording.Loaded();
  p.form.SetObserver(&p.messages);
  p.interactive = true;
}

// Runs the next slice of the script. Returns -1 while there is more to do,
// otherwise the script's status; on success the form is then ready for use.
int PlaySlice(Page &p) {
  if (p.player->Step(kSliceEvents) != ScriptPlayer::State::Done)
    return -1;
  if (p.player->status() != kScriptOk) {
    p.message = p.player->message();
    return p.player->status();
  }
  BeginInteraction(p);
  return kScriptOk;
}

// Share of the script played, from 0 to 1, for the progress bar: its bytes,
// a long `tick N` counting its line's bytes as its events are done.
double Progress(const Page &p) {
  if (!p.player || p.script->size() == 0)
    return 1.0;
  const ScriptPlayer &player = *p.player;
  double done = static_cast<double>(player.bytesDone());
  if (player.lineTicksDone() < player.lineTicks())
    done -= static_cast<double>(player.lineBytes()) *
            (1 - static_cast<double>(player.lineTicksDone()) /
                     static_cast<double>(player.lineTicks()));
  return done / static_cast<double>(p.script->size());
}

// `n` with a comma between thousands, as "40,000,000".
std::string Grouped(std::uint64_t n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += ',';
    out += digits[i];
  }
  return out;
}

// What the progress bar stands for, in words: the line being played and,
// inside a long `tick N`, its ticks done ("line 4: 1,200,000 of 40,000,000
// ticks"); for a trace, the ticks of the whole recording.
std::string ProgressText(const Page &p) {
  if (p.trace)
    return Grouped(p.trace->done()) + " of " + Grouped(p.trace->total()) +
           " ticks";
  if (!p.player)
    return {};
  const ScriptPlayer &player = *p.player;
  std::string text = "line " + std::to_string(player.line());
  if (player.lineTicksDone() < player.lineTicks())
    text += ": " + Grouped(player.lineTicksDone()) + " of " +
            Grouped(player.lineTicks()) + " ticks";
  return text;
}

bool Flag(int flags, std::string_view name) {
  return (flags >> scene::IndexOf(scene::kStartFlags, name) & 1) != 0;
}

bool Is(int code, const scene::Fields &names, std::string_view name) {
  return static_cast<std::size_t>(code) == scene::IndexOf(names, name);
}

void SetFrame(Page &p, std::string_view name, std::uint32_t value) {
  p.frame[scene::IndexOf(scene::kFrameFields, name)] = value;
}

std::uint32_t Address(const void *data) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data));
}

// Whether `a` and `b` give the same ControlsJson: the real controls and the
// timer.
bool SameFaces(const Controls &a, const Controls &b) {
  return a.cmbExperiment == b.cmbExperiment && a.cmbData == b.cmbData &&
         a.btnStart == b.btnStart && a.btnPause == b.btnPause &&
         a.optGraphs == b.optGraphs && a.tmrMain.enabled == b.tmrMain.enabled;
}

} // namespace
} // namespace arrivals

using namespace arrivals;

extern "C" {

// Starts afresh (a new run, link or script): a new form in its creation
// state with its script (`script`, `length` bytes) to play, and returns its
// handle; `old`, when given, is ended. Flags (scene::kStartFlags): "seeded"
// when `seed` holds seed= of the fragment (the page gives the clock's when
// there is none and no script either); "recover" for the form as `load`
// leaves it, after a failed script or a cancel, the script not played;
// "close" ends `old` and starts nothing. A seed that is not an unsigned
// 64-bit decimal fails the start: web_play then returns 2 and web_take's
// "message" says why.
EMSCRIPTEN_KEEPALIVE Page *web_start(Page *old, int flags, const char *seed,
                                     std::size_t seedLength, const char *script,
                                     std::size_t length) {
  delete old;
  if (Flag(flags, "close"))
    return nullptr;
  auto page = std::make_unique<Page>();
  Page &p = *page;
  if (Flag(flags, "seeded")) {
    const std::string_view text(seed, seedLength);
    if (const auto value = ParseUnsigned(text)) {
      p.random.Seed(*value);
      p.recording.Seed(*value);
    } else if (!Flag(flags, "recover")) {
      p.message =
          "seed: " + QuotedExcerpt(text) + " is not an unsigned 64-bit decimal";
      p.status = kScriptMalformed;
    }
  }
  if (Flag(flags, "recover")) {
    BeginInteraction(p);
    p.played = true;
  } else {
    p.player.emplace(p.script.emplace(std::string(script, length)), p.session,
                     "arrivals", "the script");
    p.player->OnLineRan(
        [&p](std::string_view line) { p.recording.ScriptLine(line); });
  }
  return page.release();
}

// Plays the next slice of the script: -1 while there is more to do,
// otherwise the script's status, and on success the form is then ready for
// use. `cancel` ends the script at the line being played (status 130,
// "line N: cancelled").
EMSCRIPTEN_KEEPALIVE int web_play(Page *page, int cancel) {
  Page &p = *page;
  if (p.status != kScriptOk || p.played)
    return p.status;
  if (cancel != 0) {
    p.player->Cancel();
    p.message = p.player->message();
    return p.status = p.player->status();
  }
  const int status = PlaySlice(p);
  if (status >= 0) {
    p.status = status;
    p.played = status == kScriptOk;
  }
  return status;
}

// One event of the page's controls or its timer (scene::kEvents): `arg` is
// the view or the item picked, `bytes` the text typed.
EMSCRIPTEN_KEEPALIVE void web_event(Page *page, int event, int arg,
                                    const char *bytes, std::size_t length) {
  using scene::kEvents;
  SessionRecorder &r = page->recording;
  if (Is(event, kEvents, "timer"))
    r.TimerEvent();
  else if (Is(event, kEvents, "start"))
    r.ClickStart();
  else if (Is(event, kEvents, "pause"))
    r.ClickPause();
  else if (Is(event, kEvents, "view"))
    r.ClickView(arg);
  else if (Is(event, kEvents, "typeProcess"))
    r.Type(ComboId::Experiment, std::string(bytes, length));
  else if (Is(event, kEvents, "typeRate"))
    r.Type(ComboId::Data, std::string(bytes, length));
  else if (Is(event, kEvents, "pickProcess"))
    r.Pick(ComboId::Experiment, arg);
  else if (Is(event, kEvents, "pickRate"))
    r.Pick(ComboId::Data, arg);
}

// What the page shows now (scene::kFrameFields): the scene's records, texts
// and change list (`full` asks for a full frame), the real controls' JSON
// when they changed, whether the timer runs and the view.
EMSCRIPTEN_KEEPALIVE const std::uint32_t *web_frame(Page *page, int full) {
  Page &p = *page;
  Scene &s = p.scene;
  s.Build(p.form.controls(), full != 0);
  SetFrame(p, "numbers", Address(s.numbers.data()));
  SetFrame(p, "numberCount", static_cast<std::uint32_t>(s.numbers.size()));
  SetFrame(p, "texts", Address(s.texts.data()));
  SetFrame(p, "textBytes", static_cast<std::uint32_t>(s.texts.size()));
  SetFrame(p, "changes", Address(s.changes.data()));
  SetFrame(p, "changeCount",
           static_cast<std::uint32_t>(s.changes.size() /
                                      scene::FieldCount(scene::kChangeFields)));
  SetFrame(p, "full", s.full ? 1 : 0);
  const Controls &c = p.form.controls();
  const bool changed =
      s.full || !p.controlsShown || !SameFaces(c, *p.controlsShown);
  if (changed) {
    p.controls = ControlsJson(c);
    p.controlsShown = c;
  }
  SetFrame(p, "controls", Address(p.controls.data()));
  SetFrame(p, "controlBytes",
           changed ? static_cast<std::uint32_t>(p.controls.size()) : 0);
  SetFrame(p, "timer", p.form.controls().tmrMain.enabled ? 1 : 0);
  SetFrame(p, "view", static_cast<std::uint32_t>(p.form.SelectedView()));
  SetFrame(p, "graphsVersion", p.form.graphsVersion());
  return p.frame.data();
}

// "Save packets" and "Save seconds" (scene::kTraceOps): "packets" or
// "seconds" begins replaying the session's recording with that trace on, as
// `arrivals-script --packets` or `--seconds` writes it; "step" runs the
// next slice, whose rows web_take's "traceSlice" then takes, so that no
// trace is ever whole in memory; "cancel" ends the replay. Returns -1 while
// there is more to do, otherwise the replay's status (0 when the whole
// recording played; web_take's "message" says why it did not).
EMSCRIPTEN_KEEPALIVE int web_trace(Page *page, int op) {
  using scene::kTraceOps;
  Page &p = *page;
  if (Is(op, kTraceOps, "packets") || Is(op, kTraceOps, "seconds")) {
    p.traceCsv.clear();
    const ByteWriter writer = [&p](std::string_view bytes) {
      p.traceCsv += bytes;
    };
    const bool packets = Is(op, kTraceOps, "packets");
    p.trace = std::make_unique<TracedReplay>(p.recording.Script(),
                                             packets ? writer : nullptr,
                                             packets ? nullptr : writer);
    p.varianceTrace = false;
    return -1;
  }
  if (Is(op, kTraceOps, "variance")) {
    // The rows are read as they come, only the counts of the last run kept.
    p.runSeconds.Clear();
    p.variance.reset();
    p.trace = std::make_unique<TracedReplay>(
        p.recording.Script(), nullptr, [&p](std::string_view bytes) {
          while (!bytes.empty()) {
            const std::size_t end = bytes.find('\n');
            AddSecondsRow(bytes.substr(0, end), p.runSeconds);
            bytes.remove_prefix(end == std::string_view::npos ? bytes.size()
                                                              : end + 1);
          }
        });
    p.trace->OnRunBegins([&p] { p.runSeconds.Clear(); });
    p.varianceTrace = true;
    return -1;
  }
  if (!p.trace)
    return kScriptCancelled;
  if (Is(op, kTraceOps, "step") && p.trace->Step(kSliceEvents))
    return -1;
  const int status =
      Is(op, kTraceOps, "step") ? p.trace->status() : kScriptCancelled;
  if (status != kScriptOk && Is(op, kTraceOps, "step"))
    p.message = p.trace->message();
  if (status == kScriptOk && p.varianceTrace)
    p.variance = std::make_unique<VariancePlot>(
        ComputeVarianceTime(std::exchange(p.runSeconds, {})));
  p.trace.reset();
  return status;
}

// Bytes and a number the page takes (scene::kTakes, scene::kReplyFields):
// the dumps written since the last take, the message of a failure, the next
// message box the last event raised ("" when none), the session's recording,
// the form's state as `dump` prints it, the trace's rows since the last
// take, the share of the script or trace played, from 0 to 1, and that
// share in words, the form described (DescriptionJson), the state in one
// sentence as F2 reads it, and the help.
EMSCRIPTEN_KEEPALIVE const void *web_take(Page *page, int what) {
  using scene::kTakes;
  Page &p = *page;
  p.reply.number = 0;
  if (Is(what, kTakes, "dumps")) {
    p.text = p.dumps.Take();
  } else if (Is(what, kTakes, "message")) {
    p.text = p.message;
  } else if (Is(what, kTakes, "messageBox")) {
    auto &q = p.messages.queue;
    p.text.clear();
    if (!q.empty()) {
      p.text = std::move(q.front());
      q.erase(q.begin());
    }
  } else if (Is(what, kTakes, "recording")) {
    p.text = p.recording.Script();
  } else if (Is(what, kTakes, "dump")) {
    p.text = DumpForm(p.form, {}, p.random.count());
  } else if (Is(what, kTakes, "traceSlice")) {
    p.text = std::exchange(p.traceCsv, {});
  } else if (Is(what, kTakes, "progress")) {
    p.text.clear();
    if (p.trace) {
      const TracedReplay &t = *p.trace;
      p.reply.number = t.total() == 0 ? 1.0
                                      : static_cast<double>(t.done()) /
                                            static_cast<double>(t.total());
    } else {
      p.reply.number = Progress(p);
    }
  } else if (Is(what, kTakes, "progressText")) {
    p.text = ProgressText(p);
  } else if (Is(what, kTakes, "description")) {
    p.text = DescriptionJson(DescribeForm(p.form), p.form.controls());
  } else if (Is(what, kTakes, "state")) {
    p.text = StateText(p.form);
  } else if (Is(what, kTakes, "help")) {
    p.text = HelpText(ARRIVALS_VERSION);
  } else if (Is(what, kTakes, "varianceRecords") && p.variance) {
    BuildRecords(p.variance->items(), p.varianceNumbers, p.text);
    p.reply.bytes = Address(p.varianceNumbers.data());
    p.reply.byteCount =
        static_cast<std::uint32_t>(p.varianceNumbers.size() * sizeof(float));
    return &p.reply;
  } else if (Is(what, kTakes, "varianceTexts") && p.variance) {
    BuildRecords(p.variance->items(), p.varianceNumbers, p.text);
  } else if (Is(what, kTakes, "variancePoints") && p.variance) {
    p.text = VarianceTimeCsv(p.variance->plot());
  } else if (Is(what, kTakes, "varianceSummary") && p.variance) {
    p.text = VarianceSummary(p.variance->plot());
  } else {
    p.text.clear();
  }
  p.reply.bytes = Address(p.text.data());
  p.reply.byteCount = static_cast<std::uint32_t>(p.text.size());
  return &p.reply;
}

} // extern "C"
