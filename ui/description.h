#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/types.h"

namespace arrivals {

struct Controls;
class MainForm;

// What the form shows, said in words, for those who cannot see it: the
// window gives these texts to its accessibility tree and the page puts them
// beside its canvas. Each is made when a front end asks for it (on request,
// or when the form's graphsVersion() has moved on), never at every tick.

// One bar of a graph: what its place on the x axis stands for, and the
// count that its height shows.
struct BarRow {
  std::string label; // "0 to 0.25 s", "3", "23 (newest)"
  Integer count = 0;
};

// A graph as a table a screen reader walks: one row per bar, left to right.
struct GraphDescription {
  std::string title;        // as the form shows it: "Quelva per 3 s"
  std::string xAxis;        // what a bar's place stands for, in which unit
  std::string height;       // what a bar's height means
  std::string labelHeading; // the heading of the rows' labels
  std::string countHeading; // the heading of their counts
  std::vector<BarRow> rows;
};

// The graphs in this order: graph one (packets per second), the
// inter-arrival histogram, graph two (3 s), graph three (10 s).
enum class GraphId { One, InterArrival, Two, Three };
inline constexpr std::size_t kGraphCount = 4;

struct ViewButtonDescription {
  std::string caption;     // the form's caption, kept exactly: "Quelva"
  std::string description; // what choosing it shows
  bool selected = false;
};

// The two view buttons, as one named group.
struct ViewGroupDescription {
  std::string name;
  std::array<ViewButtonDescription, 2> buttons;
};

// "0 packets", "1 packet", "37 packets".
std::string CounterText(Long packets);

// The packet markers in flight on the track, counted: "3 packets in flight".
std::string InFlightText(const Controls &c);

// Why the process box's text is red, in words, so that colour is not the
// only cue: "Pareto 0.5 cannot run at 2 packets a second: pick another
// rate. ..." Empty while the text is black.
std::string RedProcessText(const Controls &c);

// The state of the form in one sentence, as F2 reads it: process, rate,
// running, paused or stopped, packets and simulated seconds; followed by
// the red process's text when there is one.
std::string StateText(const MainForm &form);

// The four graphs as last drawn: titles as the form shows them, axes and
// the counts behind the bars, which are the form's drawnCounts().
std::array<GraphDescription, kGraphCount> DescribeGraphs(const MainForm &form);

// A graph in one text, for a front end that has no table: title, axes,
// then every bar's label and count.
std::string GraphText(const GraphDescription &graph);

ViewGroupDescription DescribeViews(const Controls &c);

// What a caption of the form means ("Cont", "Quelva", "Pkts/Sec", "p(x)",
// "pkts/s", "sec", ...), for a control's description; empty for a caption
// that says what it means.
std::string_view CaptionNote(std::string_view caption);

// Everything above at once.
struct FormDescription {
  std::string counter;
  std::array<GraphDescription, kGraphCount> graphs;
  ViewGroupDescription views;
  std::string redProcess;
  std::string state;
  std::string inFlight;
  std::uint32_t graphsVersion = 0; // the form's, when the graphs were read
};

FormDescription DescribeForm(const MainForm &form);

} // namespace arrivals
