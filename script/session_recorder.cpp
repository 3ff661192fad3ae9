#include "script/session_recorder.h"

#include <utility>

namespace arrivals {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first word of a script line.
std::string_view Command(std::string_view line) {
  std::size_t begin = 0;
  while (begin < line.size() && IsBlank(line[begin]))
    ++begin;
  std::size_t end = begin;
  while (end < line.size() && !IsBlank(line[end]))
    ++end;
  return line.substr(begin, end - begin);
}

const char *BoxName(ComboId which) {
  return which == ComboId::Experiment ? "process" : "rate";
}

} // namespace

SessionRecorder::SessionRecorder(MainForm &form, RecordSink *sink)
    : form_(form), sink_(sink) {}

void SessionRecorder::Write(std::string_view line) {
  const std::size_t start = lines_.size();
  lines_.append(line);
  lines_ += '\n';
  if (sink_)
    sink_->Append(std::string_view(lines_).substr(start));
}

void SessionRecorder::Action(std::string_view line) {
  if (ticks_ > 0)
    Write("tick " + std::to_string(std::exchange(ticks_, 0)));
  Write(line);
}

std::string SessionRecorder::Carried(std::string_view text) {
  std::string carried;
  carried.reserve(text.size());
  for (const char c : text)
    if (c != '\n')
      carried += c;
  while (!carried.empty() && carried.back() == '\r')
    carried.pop_back();
  if (carried.size() != text.size() && exact_) {
    exact_ = false;
    lines_.insert(0, std::string(kInexactComment) + '\n');
    if (sink_)
      sink_->Rewrite(lines_);
  }
  return carried;
}

void SessionRecorder::Seed(std::uint64_t seed) {
  Write("seed " + std::to_string(seed));
}

void SessionRecorder::ScriptLine(std::string_view line) {
  const std::string_view command = Command(line);
  if (command == "dump")
    return;
  if (command == "load")
    loaded_ = true;
  Write(Carried(line));
}

void SessionRecorder::Clock(std::uint64_t seed) {
  Write("clock " + std::to_string(seed));
}

void SessionRecorder::Loaded() {
  if (!std::exchange(loaded_, true))
    Write("load");
}

void SessionRecorder::ClickStart() {
  Action("click start");
  form_.btnStart_Click();
}

void SessionRecorder::ClickPause() {
  Action("click pause");
  form_.btnPause_Click();
}

void SessionRecorder::ClickView(int index) {
  if (index < 0 || index > 1 || form_.SelectedView() == index)
    return;
  Action("click view " + std::to_string(index));
  form_.UserSelectsView(index);
}

bool SessionRecorder::Pick(ComboId which, int index) {
  const auto &items = which == ComboId::Experiment
                          ? form_.controls().cmbExperiment.items
                          : form_.controls().cmbData.items;
  if (index < 0 || static_cast<std::size_t>(index) >= items.size())
    return false;
  Action(std::string("pick ") + BoxName(which) + ' ' + std::to_string(index));
  return which == ComboId::Experiment ? form_.UserPicksExperiment(index)
                                      : form_.UserPicksData(index);
}

void SessionRecorder::Type(ComboId which, std::string text) {
  std::string line = std::string("type ") + BoxName(which);
  if (!text.empty())
    line += ' ' + Carried(text);
  Action(line);
  if (which == ComboId::Experiment)
    form_.UserEditsExperiment(std::move(text));
  else
    form_.UserEditsData(std::move(text));
}

bool SessionRecorder::TimerEvent() {
  const bool ran = form_.TimerEvent();
  if (ran)
    ++ticks_;
  return ran;
}

void SessionRecorder::Finish() {
  if (ticks_ > 0)
    Write("tick " + std::to_string(std::exchange(ticks_, 0)));
}

std::string SessionRecorder::Script() const {
  std::string script = lines_;
  if (ticks_ > 0)
    script += "tick " + std::to_string(ticks_) + '\n';
  return script;
}

} // namespace arrivals
