#include "tools/script_dump.h"

#include <array>
#include <cstdio>

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

// Builds the object key by key; each key is preceded by a comma except the
// first.
class JsonWriter {
public:
  std::string out;

  void Key(std::string_view key) {
    if (!first_)
      out += ',';
    first_ = false;
    AppendJsonString(out, key);
    out += ':';
  }
  void Int(long long v) { out += std::to_string(v); }
  void Bool(bool v) { out += v ? "true" : "false"; }
  void Text(std::string_view v) { AppendJsonString(out, v); }
  // Enough digits to read back the same float or double.
  void Float(float v) { Format("%.9g", static_cast<double>(v)); }
  void Real(double v) { Format("%.17g", v); }

  template <typename T, std::size_t N> void Ints(const std::array<T, N> &a) {
    out += '[';
    for (std::size_t i = 0; i < N; ++i) {
      if (i)
        out += ',';
      Int(a[i]);
    }
    out += ']';
  }

  template <std::size_t N> void Bars(const std::array<Shape, N> &bars) {
    out += '[';
    for (std::size_t i = 0; i < N; ++i) {
      if (i)
        out += ',';
      out += '[';
      Float(bars[i].box.top);
      out += ',';
      Float(bars[i].box.height);
      out += ']';
    }
    out += ']';
  }

  template <std::size_t N> void Ticks(const std::array<Label, N> &labels) {
    out += '[';
    for (std::size_t i = 0; i < N; ++i) {
      if (i)
        out += ',';
      out += '[';
      Text(labels[i].caption);
      out += ',';
      Bool(labels[i].visible);
      out += ']';
    }
    out += ']';
  }

private:
  void Format(const char *format, double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, format, v);
    out += buf;
  }

  bool first_ = true;
};

} // namespace

std::string DumpForm(const MainForm &form,
                     const std::vector<std::string> &messages,
                     std::uint64_t draws) {
  const RunState &s = form.state();
  const Controls &c = form.controls();
  JsonWriter w;
  w.out.reserve(4096);
  w.out += '{';

  w.Key("elapsedMs");
  w.Int(s.elapsedMs);
  w.Key("countdownMs");
  w.Int(s.countdownMs);
  w.Key("packetCount");
  w.Int(s.packetCount);
  w.Key("lastPacket");
  w.Int(s.lastPacket);
  w.Key("packetStep");
  w.Int(s.packetStep);
  w.Key("cantorPos");
  w.Int(s.cantorPos);
  w.Key("countSecond");
  w.Int(s.countSecond);
  w.Key("count3s");
  w.Int(s.count3s);
  w.Key("count10s");
  w.Int(s.count10s);
  w.Key("secondCount");
  w.Int(s.secondCount);

  w.Key("stopped");
  w.Bool(s.stopped);
  w.Key("skipGraphOne");
  w.Bool(s.skipGraphOne);
  w.Key("skipGraphTwo");
  w.Bool(s.skipGraphTwo);
  w.Key("skipGraphThree");
  w.Bool(s.skipGraphThree);

  w.Key("lastRate");
  w.Real(s.lastRate);

  w.Key("histSecond");
  w.Ints(s.histSecond);
  w.Key("histGap");
  w.Ints(s.histGap);
  w.Key("series3s");
  w.Ints(s.series3s);
  w.Key("series10s");
  w.Ints(s.series10s);
  w.Key("hist3s");
  w.Ints(s.hist3s);
  w.Key("hist10s");
  w.Ints(s.hist10s);

  w.Key("timerEnabled");
  w.Bool(c.tmrMain.enabled);
  w.Key("btnStart");
  w.Text(c.btnStart.caption);
  w.Key("btnPause");
  w.Text(c.btnPause.caption);
  w.Key("cmbExperiment");
  w.out += '{';
  w.Text("text");
  w.out += ':';
  w.Text(c.cmbExperiment.text);
  w.out += ',';
  w.Text("color");
  w.out += ':';
  w.Int(c.cmbExperiment.foreColor);
  w.out += '}';
  w.Key("cmbData");
  w.out += '{';
  w.Text("text");
  w.out += ':';
  w.Text(c.cmbData.text);
  w.out += '}';
  w.Key("lblServiced");
  w.Text(c.lblServiced.caption);

  w.Key("markers");
  w.out += '[';
  bool firstMarker = true;
  for (std::size_t i = 0; i < c.sPacket.size(); ++i) {
    const Shape &p = c.sPacket[i];
    if (!p.visible)
      continue;
    if (!firstMarker)
      w.out += ',';
    firstMarker = false;
    w.out += '[';
    w.Int(static_cast<long long>(i));
    w.out += ',';
    w.Float(p.box.left);
    w.out += ',';
    w.Float(p.box.top);
    w.out += ',';
    w.Int(p.fillColor);
    w.out += ']';
  }
  w.out += ']';

  w.Key("bars");
  w.out += "{\"one\":";
  w.Bars(c.shpOneBar);
  w.out += ",\"gap\":";
  w.Bars(c.shpInterArrivalBar);
  w.out += ",\"two\":";
  w.Bars(c.shpTwoBar);
  w.out += ",\"three\":";
  w.Bars(c.shpThreeBar);
  w.out += '}';

  w.Key("lblGraph");
  w.out += '[';
  for (std::size_t i = 0; i < c.lblGraph.size(); ++i) {
    if (i)
      w.out += ',';
    w.Text(c.lblGraph[i].caption);
  }
  w.out += ']';
  w.Key("lblGraphTwo");
  w.Ticks(c.lblGraphTwo);
  w.Key("lblGraphThree");
  w.Ticks(c.lblGraphThree);
  w.Key("titles");
  w.out += '[';
  w.Text(c.lblGraphTitle[1].caption);
  w.out += ',';
  w.Text(c.lblGraphTitle[2].caption);
  w.out += ']';

  w.Key("view");
  w.Int(c.optGraphs[0].value ? 0 : c.optGraphs[1].value ? 1 : -1);
  w.Key("messages");
  w.out += '[';
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i)
      w.out += ',';
    w.Text(messages[i]);
  }
  w.out += ']';
  w.Key("draws");
  w.out += std::to_string(draws);

  w.out += '}';
  return std::move(w.out);
}

} // namespace arrivals
