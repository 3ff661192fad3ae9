#include "ui/description.h"

#include "model/arrival_processes.h"
#include "model/numbers.h"
#include "ui/form.h"

namespace arrivals {

namespace {

constexpr std::string_view kNoScale =
    " There is no numeric scale: the tallest bar stands for the largest "
    "count, the others in proportion.";

// "1 packet", "2 packets"; a whole number.
std::string Counted(long long n, std::string_view one, std::string_view many) {
  return std::to_string(n) + ' ' + std::string(n == 1 ? one : many);
}

// A rate or a time as a person reads it: "2", "2.5", "0.1".
std::string Decimal(double value) { return GeneralText(value, 15); }

template <std::size_t N>
std::vector<BarRow> Rows(const std::array<Integer, N> &counts,
                         std::string (*label)(std::size_t)) {
  std::vector<BarRow> rows;
  rows.reserve(N);
  for (std::size_t k = 0; k < N; ++k)
    rows.push_back({label(k), counts[k]});
  return rows;
}

std::string Whole(std::size_t k) { return std::to_string(k); }

std::string QuarterSeconds(std::size_t k) {
  return Decimal(static_cast<double>(k) / 4) + " to " +
         Decimal(static_cast<double>(k + 1) / 4) + " s";
}

std::string Window(std::size_t k) {
  if (k == 0)
    return "1 (oldest)";
  if (k == 22)
    return "23 (newest)";
  return std::to_string(k + 1);
}

std::string TwoCounts(std::size_t k) {
  return std::to_string(2 * k) + " or " + std::to_string(2 * k + 1);
}

// Graph two or three: `seconds` is 3 or 10.
GraphDescription WindowGraph(const Label &title,
                             const std::array<Integer, 23> &counts, bool series,
                             int seconds) {
  const std::string span = seconds == 3 ? "three-second" : "ten-second";
  const std::string perSpan = "Packets in " + std::to_string(seconds) + " s";
  GraphDescription g;
  g.title = title.caption;
  if (series) {
    g.xAxis = "The last 23 " + span +
              " windows, the oldest on the left, the newest on the right.";
    g.height = "The packets counted in that window." + std::string(kNoScale);
    g.labelHeading = "Window";
    g.countHeading = "Packets";
    g.rows = Rows(counts, Window);
  } else if (seconds == 3) {
    g.xAxis = "Packets in a three-second window, 0 to 22; windows with 23 or "
              "more are not counted.";
    g.height = "How many three-second windows had that many packets." +
               std::string(kNoScale);
    g.labelHeading = perSpan;
    g.countHeading = "Windows";
    g.rows = Rows(counts, Whole);
  } else {
    g.xAxis = "Packets in a ten-second window, in bins two counts wide from 0 "
              "to 45; windows with 44 or more are not counted.";
    g.height = "How many ten-second windows had a count in that bin." +
               std::string(kNoScale);
    g.labelHeading = perSpan;
    g.countHeading = "Windows";
    g.rows = Rows(counts, TwoCounts);
  }
  return g;
}

struct Note {
  std::string_view caption;
  std::string_view note;
};

// The captions of the form whose meaning is not plain from the word.
constexpr Note kNotes[] = {
    {"Quelva", "Shows the graphs per 3 s and per 10 s as time series: each "
               "bar is the packet count of one window, the newest on the "
               "right."},
    {"Pkts/Sec", "Shows the graphs per 3 s and per 10 s as histograms: each "
                 "bar counts the windows that had that many packets."},
    {"p(x)", "How often each value occurred; the bars have no numeric "
             "scale, the tallest stands for the largest count."},
    {"Cont", "Continues the paused run."},
    {"Pause", "Holds the run; Cont continues it."},
    {"Start", "Starts a new run from 0 packets."},
    {"Stop", "Ends the run; the graphs stay as last drawn."},
    {"pkts/s", "Packets per second, the unit of the rate."},
    {"sec", "Seconds, the unit of the gaps."},
    {"Pkts Per Sec", "How many seconds had 0 to 7 packets."},
    {"Interarrival Times", "How long the gaps between packets were."},
};

} // namespace

std::string CounterText(Long packets) {
  return Counted(packets, "packet", "packets");
}

std::string InFlightText(const Controls &c) {
  long long n = 0;
  for (const Shape &p : c.sPacket)
    n += p.visible ? 1 : 0;
  return Counted(n, "packet", "packets") + " in flight";
}

// The process box turns red when a Pareto process is asked for a gap at a
// rate whose mean gap equals its shortest gap: its shape is then undefined
// and no packet is made. It turns black at the next gap asked for.
std::string RedProcessText(const Controls &c) {
  if (c.cmbExperiment.foreColor != kRed)
    return {};
  const ArrivalProcess *p = FindArrivalProcess(c.cmbExperiment.text);
  const double rate = LeadingNumber(c.cmbData.text);
  if (p != nullptr && p->rule == GapRule::Pareto && rate > 0 &&
      1000 / rate == p->scale) {
    const std::string shortest = Decimal(p->scale / 1000) + " s";
    return std::string(p->name) + " cannot run at " + Decimal(rate) +
           (rate == 1 ? " packet" : " packets") +
           " a second: pick another rate. Its shortest gap, " + shortest +
           ", would also be its mean gap, so it makes no packets.";
  }
  // Changed while the run was held: the colour stays until the next gap.
  return "The process name is red from a rate its process could not run "
         "at; it turns black when the next packet is due.";
}

std::string StateText(const MainForm &form) {
  const Controls &c = form.controls();
  const RunState &s = form.state();
  const double rate = LeadingNumber(c.cmbData.text);
  std::string text = c.cmbExperiment.text;
  if (FindArrivalProcess(text) == nullptr)
    text += " (not a process of the list: it makes no packets)";
  text += ", " + Decimal(rate) + (rate == 1 ? " packet" : " packets") +
          " a second, ";
  if (s.stopped)
    text += "stopped";
  else if (c.tmrMain.enabled)
    text += "running";
  else
    text += "paused";
  text += ": " + CounterText(s.packetCount) + " in " +
          Counted(s.elapsedMs / 1000, "second", "seconds") + ".";
  const std::string red = RedProcessText(c);
  if (!red.empty())
    text += ' ' + red;
  return text;
}

std::array<GraphDescription, kGraphCount> DescribeGraphs(const MainForm &form) {
  const Controls &c = form.controls();
  const DrawnCounts &drawn = form.drawnCounts();
  const bool series = c.optGraphs[0].value;
  std::array<GraphDescription, kGraphCount> g;

  GraphDescription &one = g[static_cast<std::size_t>(GraphId::One)];
  one.title = c.lblGraphTitle[0].caption;
  one.xAxis = "Packets in one second, 0 to 7; seconds with 8 or more are not "
              "counted.";
  one.height =
      "p(x): how many seconds had that many packets." + std::string(kNoScale);
  one.labelHeading = "Packets in a second";
  one.countHeading = "Seconds";
  one.rows = Rows(drawn.one, Whole);

  GraphDescription &gaps = g[static_cast<std::size_t>(GraphId::InterArrival)];
  gaps.title = c.lblMeanWaitingTime.caption;
  gaps.xAxis = "The gap from one packet to the next, in seconds (sec), in "
               "quarter-second bins from 0 to 3.5 s; longer gaps are not "
               "counted.";
  gaps.height = "p(x): how many gaps fell in that bin." + std::string(kNoScale);
  gaps.labelHeading = "Gap";
  gaps.countHeading = "Gaps";
  gaps.rows = Rows(drawn.gaps, QuarterSeconds);

  g[static_cast<std::size_t>(GraphId::Two)] =
      WindowGraph(c.lblGraphTitle[1], drawn.two, series, 3);
  g[static_cast<std::size_t>(GraphId::Three)] =
      WindowGraph(c.lblGraphTitle[2], drawn.three, series, 10);
  return g;
}

std::string GraphText(const GraphDescription &graph) {
  std::string text = graph.title + ". " + graph.xAxis + ' ' + graph.height +
                     ' ' + graph.labelHeading + ", " + graph.countHeading + ':';
  for (const BarRow &row : graph.rows)
    text += ' ' + row.label + ": " + std::to_string(row.count) + ';';
  text.back() = '.';
  return text;
}

ViewGroupDescription DescribeViews(const Controls &c) {
  ViewGroupDescription v;
  v.name = "View of the graphs per 3 s and per 10 s";
  for (std::size_t i = 0; i < v.buttons.size(); ++i) {
    const OptionButton &b = c.optGraphs[i];
    v.buttons[i] = {b.caption, std::string(CaptionNote(b.caption)), b.value};
  }
  return v;
}

std::string_view CaptionNote(std::string_view caption) {
  for (const Note &n : kNotes)
    if (n.caption == caption)
      return n.note;
  return {};
}

FormDescription DescribeForm(const MainForm &form) {
  const Controls &c = form.controls();
  FormDescription d;
  d.counter = CounterText(form.state().packetCount);
  d.graphs = DescribeGraphs(form);
  d.views = DescribeViews(c);
  d.redProcess = RedProcessText(c);
  d.state = StateText(form);
  d.inFlight = InFlightText(c);
  d.graphsVersion = form.graphsVersion();
  return d;
}

} // namespace arrivals
