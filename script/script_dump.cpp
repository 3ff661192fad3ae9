#include "script/script_dump.h"

#include <array>
#include <cstdio>
#include <utility>

#include "model/numbers.h"
#include "ui/form.h"

namespace arrivals {

void AppendJsonString(std::string &out, std::string_view text) {
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\b':
      out += "\\b";
      break;
    case '\f':
      out += "\\f";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (c < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      } else {
        out += ch;
      }
    }
  }
  out += '"';
}

namespace {

// Writes JSON values one after another and puts the commas and colons
// between them: a value follows a key or is the first of its array or
// object, else a comma goes first. Keys and texts are escaped, numbers are
// written with enough digits to read back the same value.
class JsonWriter {
public:
  explicit JsonWriter(std::string &out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  void Key(std::string_view key) {
    Separate();
    AppendJsonString(out_, key);
    out_ += ':';
    afterKey_ = true;
  }

  void Int(long long v) {
    Separate();
    out_ += std::to_string(v);
  }
  void Unsigned(unsigned long long v) {
    Separate();
    out_ += std::to_string(v);
  }
  void Bool(bool v) {
    Separate();
    out_ += v ? "true" : "false";
  }
  void Text(std::string_view v) {
    Separate();
    AppendJsonString(out_, v);
  }
  void Float(float v) { Number(static_cast<double>(v), 9); }
  void Real(double v) { Number(v, 17); }

private:
  void Separate() {
    if (afterKey_)
      afterKey_ = false;
    else if (!first_)
      out_ += ',';
    first_ = false;
  }
  void Open(char bracket) {
    Separate();
    out_ += bracket;
    first_ = true;
  }
  void Close(char bracket) {
    out_ += bracket;
    first_ = false;
  }
  // As "%.9g" and "%.17g" write them in the C locale, whatever the locale.
  void Number(double v, int precision) {
    Separate();
    out_ += GeneralText(v, precision);
  }

  std::string &out_;
  bool first_ = true; // nothing written yet in the open array or object
  bool afterKey_ = false;
};

template <typename T, std::size_t N>
void Ints(JsonWriter &w, const std::array<T, N> &values) {
  w.BeginArray();
  for (const T v : values)
    w.Int(v);
  w.EndArray();
}

// [[top, height], ...] of a graph's bars.
template <std::size_t N>
void Bars(JsonWriter &w, const std::array<Shape, N> &bars) {
  w.BeginArray();
  for (const Shape &bar : bars) {
    w.BeginArray();
    w.Float(bar.box.top);
    w.Float(bar.box.height);
    w.EndArray();
  }
  w.EndArray();
}

// [[caption, visible], ...] of a graph's tick labels.
template <std::size_t N>
void Ticks(JsonWriter &w, const std::array<Label, N> &labels) {
  w.BeginArray();
  for (const Label &label : labels) {
    w.BeginArray();
    w.Text(label.caption);
    w.Bool(label.visible);
    w.EndArray();
  }
  w.EndArray();
}

} // namespace

std::string DumpForm(const MainForm &form,
                     const std::vector<std::string> &messages,
                     std::uint64_t draws) {
  const RunState &s = form.state();
  const Controls &c = form.controls();
  std::string out;
  out.reserve(4096);
  JsonWriter w(out);
  w.BeginObject();

  const std::pair<const char *, long long> counts[] = {
      {"elapsedMs", s.elapsedMs},     {"countdownMs", s.countdownMs},
      {"packetCount", s.packetCount}, {"lastPacket", s.lastPacket},
      {"packetStep", s.packetStep},   {"cantorPos", s.cantorPos},
      {"countSecond", s.countSecond}, {"count3s", s.count3s},
      {"count10s", s.count10s},       {"secondCount", s.secondCount}};
  for (const auto &[key, value] : counts) {
    w.Key(key);
    w.Int(value);
  }
  const std::pair<const char *, bool> flags[] = {
      {"stopped", s.stopped},
      {"skipGraphOne", s.skipGraphOne},
      {"skipGraphTwo", s.skipGraphTwo},
      {"skipGraphThree", s.skipGraphThree}};
  for (const auto &[key, value] : flags) {
    w.Key(key);
    w.Bool(value);
  }

  w.Key("lastRate");
  w.Real(s.lastRate);

  w.Key("histSecond");
  Ints(w, s.histSecond);
  w.Key("histGap");
  Ints(w, s.histGap);
  w.Key("series3s");
  Ints(w, s.series3s);
  w.Key("series10s");
  Ints(w, s.series10s);
  w.Key("hist3s");
  Ints(w, s.hist3s);
  w.Key("hist10s");
  Ints(w, s.hist10s);

  w.Key("timerEnabled");
  w.Bool(c.tmrMain.enabled);
  w.Key("btnStart");
  w.Text(c.btnStart.caption);
  w.Key("btnPause");
  w.Text(c.btnPause.caption);
  w.Key("cmbExperiment");
  w.BeginObject();
  w.Key("text");
  w.Text(c.cmbExperiment.text);
  w.Key("color");
  w.Int(c.cmbExperiment.foreColor);
  w.EndObject();
  w.Key("cmbData");
  w.BeginObject();
  w.Key("text");
  w.Text(c.cmbData.text);
  w.EndObject();
  w.Key("lblServiced");
  w.Text(c.lblServiced.caption);

  w.Key("markers");
  w.BeginArray();
  for (std::size_t i = 0; i < c.sPacket.size(); ++i) {
    const Shape &p = c.sPacket[i];
    if (!p.visible)
      continue;
    w.BeginArray();
    w.Unsigned(i);
    w.Float(p.box.left);
    w.Float(p.box.top);
    w.Int(p.fillColor);
    w.EndArray();
  }
  w.EndArray();

  w.Key("bars");
  w.BeginObject();
  w.Key("one");
  Bars(w, c.shpOneBar);
  w.Key("gap");
  Bars(w, c.shpInterArrivalBar);
  w.Key("two");
  Bars(w, c.shpTwoBar);
  w.Key("three");
  Bars(w, c.shpThreeBar);
  w.EndObject();

  w.Key("lblGraph");
  w.BeginArray();
  for (const Label &label : c.lblGraph)
    w.Text(label.caption);
  w.EndArray();
  w.Key("lblGraphTwo");
  Ticks(w, c.lblGraphTwo);
  w.Key("lblGraphThree");
  Ticks(w, c.lblGraphThree);
  w.Key("titles");
  w.BeginArray();
  w.Text(c.lblGraphTitle[1].caption);
  w.Text(c.lblGraphTitle[2].caption);
  w.EndArray();

  w.Key("view");
  w.Int(form.SelectedView());
  w.Key("messages");
  w.BeginArray();
  for (const std::string &message : messages)
    w.Text(message);
  w.EndArray();
  w.Key("draws");
  w.Unsigned(draws);

  w.EndObject();
  return out;
}

} // namespace arrivals
