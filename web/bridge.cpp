// The browser edition's side of the page: the form, its script session and
// what the page paints, behind plain C functions that the page's JavaScript
// calls. Plain exported functions rather than embind: the page passes numbers
// and UTF-8 bytes only, and embind's runtime would be a third of the file.

#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/byte_io.h"
#include "script/script_dump.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "script/script_text.h"
#include "script/session_recorder.h"
#include "script/traced_replay.h"
#include "ui/form.h"
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
  std::string message; // "line N: why" after a failure
  std::string text;    // scratch for what the page reads
  Scene scene;
  std::string controls; // the controls JSON last read
  // The session as a script, the lines `--record` writes.
  SessionRecorder recording{form};
  // A trace being saved, and its rows so far.
  std::unique_ptr<TracedReplay> trace;
  std::string traceCsv;
};

std::unique_ptr<Page> page;

// What a slice of the script is allowed: lines, and timer events of a long
// `tick`, so that no line keeps the page from answering for long.
constexpr std::uint64_t kSliceEvents = 4096;

const char *Keep(std::string s) {
  page->text = std::move(s);
  return page->text.c_str();
}

void BeginInteraction() {
  Page &p = *page;
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

} // namespace
} // namespace arrivals

using namespace arrivals;

extern "C" {

// Starts afresh: a new form in its creation state. `seed` is the seed= of
// the fragment when `hasSeed`; the page gives the clock's when there is none
// and no script either. Returns 0, or 2 when the seed is not an unsigned
// 64-bit decimal (web_message says why).
EMSCRIPTEN_KEEPALIVE int web_begin(const char *seed, std::size_t seedLength,
                                   int hasSeed, const char *script,
                                   std::size_t length) {
  page = std::make_unique<Page>();
  Page &p = *page;
  p.player.emplace(p.script.emplace(std::string(script, length)), p.session,
                   "arrivals", "the script");
  p.player->OnLineRan(
      [&p](std::string_view line) { p.recording.ScriptLine(line); });
  if (hasSeed != 0) {
    const std::string_view text(seed, seedLength);
    const auto value = ParseUnsigned(text);
    if (!value) {
      page->message =
          "seed: " + QuotedExcerpt(text) + " is not an unsigned 64-bit decimal";
      return kScriptMalformed;
    }
    page->random.Seed(*value);
    page->recording.Seed(*value);
  }
  return kScriptOk;
}

// Runs the next slice of the script. Returns -1 while there is more to do,
// otherwise the script's status; on success the form is then ready for use.
EMSCRIPTEN_KEEPALIVE int web_play() {
  Page &p = *page;
  if (p.player->Step(kSliceEvents) != ScriptPlayer::State::Done)
    return -1;
  if (p.player->status() != kScriptOk) {
    p.message = p.player->message();
    return p.player->status();
  }
  BeginInteraction();
  return kScriptOk;
}

// Share of the script played, from 0 to 1, for the progress bar: its bytes,
// a long `tick N` counting its line's bytes as its events are done.
EMSCRIPTEN_KEEPALIVE double web_progress() {
  const ScriptPlayer &player = *page->player;
  const auto size = static_cast<double>(page->script->size());
  if (size == 0)
    return 1.0;
  double done = static_cast<double>(player.bytesDone());
  if (player.lineTicksDone() < player.lineTicks())
    done -= static_cast<double>(player.lineBytes()) *
            (1 - static_cast<double>(player.lineTicksDone()) /
                     static_cast<double>(player.lineTicks()));
  return done / size;
}

// Cancel: the script stops at the line being played, whose number it
// returns; web_message then says "line N: cancelled".
EMSCRIPTEN_KEEPALIVE double web_current_line() {
  Page &p = *page;
  const auto line = static_cast<double>(p.player->line());
  p.player->Cancel();
  p.message = p.player->message();
  return line;
}

// After a failed script or a cancel: the form as `load` leaves it, with
// the seed given (or the clock's).
EMSCRIPTEN_KEEPALIVE void web_recover(const char *seed, int hasSeed) {
  page = std::make_unique<Page>();
  if (hasSeed != 0)
    if (const auto value = ParseUnsigned(seed)) {
      page->random.Seed(*value);
      page->recording.Seed(*value);
    }
  BeginInteraction();
}

EMSCRIPTEN_KEEPALIVE const char *web_message() { return page->message.c_str(); }

// The dumps written since the last call, taken away.
EMSCRIPTEN_KEEPALIVE const char *web_take_dumps() {
  if (!page)
    return ""; // a link that could not be read ran nothing
  return Keep(page->dumps.Take());
}

// --- Events of the page's controls and timer --------------------------------

EMSCRIPTEN_KEEPALIVE void web_timer() { page->recording.TimerEvent(); }
EMSCRIPTEN_KEEPALIVE void web_click(int button) {
  if (button == 0)
    page->recording.ClickStart();
  else
    page->recording.ClickPause();
}
EMSCRIPTEN_KEEPALIVE void web_select_view(int index) {
  page->recording.ClickView(index);
}
// box 0 is the process box, 1 the rate box.
EMSCRIPTEN_KEEPALIVE void web_type(int box, const char *text,
                                   std::size_t length) {
  page->recording.Type(box == 0 ? ComboId::Experiment : ComboId::Data,
                       std::string(text, length));
}
EMSCRIPTEN_KEEPALIVE void web_pick(int box, int index) {
  page->recording.Pick(box == 0 ? ComboId::Experiment : ComboId::Data, index);
}

// The next message box the last event raised, or "" when there is none.
EMSCRIPTEN_KEEPALIVE const char *web_next_message() {
  auto &q = page->messages.queue;
  if (q.empty())
    return "";
  std::string m = std::move(q.front());
  q.erase(q.begin());
  return Keep(std::move(m));
}

// --- The session as a script, and its traces --------------------------------

EMSCRIPTEN_KEEPALIVE const char *web_recording() {
  return Keep(page->recording.Script());
}

// The state of the form as a `dump` prints it (for the page's tests).
EMSCRIPTEN_KEEPALIVE const char *web_dump() {
  return Keep(DumpForm(page->form, {}, page->random.count()));
}

// "Save packets" and "Save seconds": the recording `script` replayed with
// the traces on, in slices, as `arrivals-script --packets` or `--seconds`
// writes them. `which` 0 is the packets CSV, 1 the seconds CSV.
EMSCRIPTEN_KEEPALIVE void web_trace_begin(const char *script,
                                          std::size_t length, int which) {
  Page &p = *page;
  p.traceCsv.clear();
  const ByteWriter writer = [&p](std::string_view bytes) {
    p.traceCsv += bytes;
  };
  p.trace = std::make_unique<TracedReplay>(std::string(script, length),
                                           which == 0 ? writer : nullptr,
                                           which == 0 ? nullptr : writer);
}
// Runs the next slice: -1 while there is more to do, otherwise the status
// of the replay (0 when the whole recording played).
EMSCRIPTEN_KEEPALIVE int web_trace_step() {
  Page &p = *page;
  if (p.trace->Step(kSliceEvents))
    return -1;
  return p.trace->status();
}
// Share of the replay done, from 0 to 1, for the progress bar.
EMSCRIPTEN_KEEPALIVE double web_trace_progress() {
  const TracedReplay &t = *page->trace;
  return t.total() == 0
             ? 1.0
             : static_cast<double>(t.done()) / static_cast<double>(t.total());
}
// The CSV made, taken away with the replay (also what Cancel calls).
EMSCRIPTEN_KEEPALIVE const char *web_trace_end() {
  page->trace.reset();
  return Keep(std::exchange(page->traceCsv, {}));
}

// --- What the page shows -----------------------------------------------------

EMSCRIPTEN_KEEPALIVE int web_timer_enabled() {
  return page->form.controls().tmrMain.enabled ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int web_view() { return page->form.SelectedView(); }

// The real controls: JSON with the captions, texts, lists and colours.
// web_controls_changed tells whether it differs from the last one read, so
// that a tick that changed none of them costs the page nothing.
EMSCRIPTEN_KEEPALIVE int web_controls_changed() {
  std::string now = ControlsJson(page->form.controls());
  if (now == page->controls)
    return 0;
  page->controls = std::move(now);
  return 1;
}
EMSCRIPTEN_KEEPALIVE const char *web_controls() {
  web_controls_changed();
  return page->controls.c_str();
}

// The painted part: numbers (see scene.h), and the texts they point into.
EMSCRIPTEN_KEEPALIVE const float *web_scene() {
  page->scene.Build(page->form.controls());
  return page->scene.numbers.data();
}
EMSCRIPTEN_KEEPALIVE std::size_t web_scene_size() {
  return page->scene.numbers.size();
}
EMSCRIPTEN_KEEPALIVE const char *web_scene_texts() {
  return page->scene.texts.c_str();
}
EMSCRIPTEN_KEEPALIVE double web_scene_texts_version() {
  return page->scene.textsVersion;
}

} // extern "C"
