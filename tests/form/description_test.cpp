#include <algorithm>
#include <functional>

#include "form_fixture.h"
#include "ui/description.h"
#include "ui/help.h"

namespace arrivals::testing {
namespace {

class description : public LoadedForm {
protected:
  // The counts said for a graph must be what its bars show: every bar at
  // its full height times count / largest count, all flat when the counts
  // are all 0.
  template <std::size_t N>
  void ExpectBarsShow(const std::array<Shape, N> &bars,
                      const std::array<Integer, N> &counts, double full,
                      const char *graph) {
    const Integer max = *std::max_element(counts.begin(), counts.end());
    for (std::size_t k = 0; k < N; ++k) {
      const double h = max == 0 ? 0 : full / max * counts[k];
      ASSERT_EQ(bars[k].box.height, static_cast<Single>(h))
          << graph << " bar " << k << " at " << s().elapsedMs << " ms";
    }
  }
  void ExpectAllBarsShowTheirCounts() {
    const DrawnCounts &d = form.drawnCounts();
    ExpectBarsShow(c().shpOneBar, d.one, 2400, "one");
    ExpectBarsShow(c().shpInterArrivalBar, d.gaps, 1920, "gaps");
    ExpectBarsShow(c().shpTwoBar, d.two, 1800, "two");
    ExpectBarsShow(c().shpThreeBar, d.three, 1800, "three");
  }
};

TEST_F(description, counter_says_packets_in_the_plural_but_one) {
  const std::pair<Long, const char *> rows[] = {{0, "0 packets"},
                                                {1, "1 packet"},
                                                {2, "2 packets"},
                                                {32767, "32767 packets"}};
  for (const auto &[n, text] : rows)
    EXPECT_EQ(CounterText(n), text);
}

template <std::size_t N, std::size_t M>
bool SameStart(const std::array<Integer, N> &drawn,
               const std::array<Integer, M> &data) {
  return std::equal(drawn.begin(), drawn.end(), data.begin());
}
template <std::size_t N> bool AllZero(const std::array<Integer, N> &a) {
  return std::all_of(a.begin(), a.end(), [](Integer v) { return v == 0; });
}

// Over a live run driven by the timer, the counts said for each graph are
// those its bars show: kept at each redraw, flattened by every reset, held
// between redraws and when the data have all gone to 0.
TEST_F(description, graph_counts_are_those_last_drawn_over_a_live_run) {
  // Per graph (one, gaps, two, three): F all 0, D the data of the redraw
  // that has just run, K as before the step, Z kept although the data are
  // now all 0.
  struct Step {
    const char *what;
    std::function<void(MainForm &)> act;
    int seconds; // ticked after the action, one tick at a time
    const char *expect;
    bool redrawn; // graphsVersion moved on
  };
  const Step steps[] = {
      {"start", [](MainForm &f) { f.btnStart_Click(); }, 0, "FFFF", true},
      {"first redraw skipped", nullptr, 1, "FFFF", true},
      {"next redraw", nullptr, 3, "DDDF", true},
      {"ticks past it", nullptr, 2, "KKKK", false},
      {"histogram view", [](MainForm &f) { f.UserSelectsView(1); }, 0, "DDDF",
       true},
      {"stop, start again",
       [](MainForm &f) {
         f.btnStart_Click();
         f.btnStart_Click();
       },
       0, "FFFF", true},
      {"skipped again", nullptr, 1, "FFFF", true},
      {"drawn again", nullptr, 3, "DDDD", true},
      {"series view", [](MainForm &f) { f.UserSelectsView(0); }, 0, "DDDD",
       true},
      {"no packets for 240 s", [](MainForm &f) { f.UserEditsData("0"); }, 240,
       "DDZZ", true},
      {"another process", [](MainForm &f) { f.UserPicksExperiment(2); }, 0,
       "FFFF", true},
  };
  form.UserPicksExperiment(1); // Regular, at 2 packets a second
  for (const Step &step : steps) {
    SCOPED_TRACE(step.what);
    const DrawnCounts before = form.drawnCounts();
    const std::uint32_t version = form.graphsVersion();
    if (step.act)
      step.act(form);
    for (int t = 0; t < 20 * step.seconds; ++t) {
      Tick();
      ExpectAllBarsShowTheirCounts();
    }
    ExpectAllBarsShowTheirCounts();
    EXPECT_EQ(form.graphsVersion() != version, step.redrawn);

    const DrawnCounts &d = form.drawnCounts();
    const bool series = c().optGraphs[0].value;
    const auto check = [&](std::size_t g, const auto &drawn, const auto &was,
                           const auto &data) {
      switch (step.expect[g]) {
      case 'F':
        EXPECT_TRUE(AllZero(drawn)) << g;
        break;
      case 'K':
        EXPECT_EQ(drawn, was) << g;
        break;
      case 'Z':
        EXPECT_TRUE(AllZero(data)) << g;
        EXPECT_FALSE(AllZero(drawn)) << g;
        break;
      default:
        EXPECT_FALSE(AllZero(drawn)) << g;
        // The gap of a packet launched in the redraw's own tick is counted
        // after the redraw.
        int later = 0;
        for (std::size_t k = 0; k < drawn.size(); ++k) {
          EXPECT_LE(drawn[k], data[k]) << g << " bar " << k;
          later += data[k] - drawn[k];
        }
        EXPECT_LE(later, g == 1 ? 1 : 0) << g;
      }
    };
    check(0, d.one, before.one, s().histSecond);
    if (step.expect[0] == 'K') {
      EXPECT_FALSE(SameStart(d.one, s().histSecond)) << "the data moved on";
    }
    check(1, d.gaps, before.gaps, s().histGap);
    check(2, d.two, before.two, series ? s().series3s : s().hist3s);
    check(3, d.three, before.three, series ? s().series10s : s().hist10s);
  }
}

// The rows a screen reader walks: titles as the form shows them, and what
// the first and last bars of each graph stand for.
TEST_F(description, graphs_are_titled_and_labelled_as_the_form_shows_them) {
  struct Row {
    int view;
    GraphId graph;
    const char *title, *first, *last;
    std::size_t bars;
  };
  const Row rows[] = {
      {0, GraphId::One, "Pkts Per Sec", "0", "7", 8},
      {0, GraphId::InterArrival, "Interarrival Times", "0 to 0.25 s",
       "3.25 to 3.5 s", 14},
      {0, GraphId::Two, "Quelva per 3 s", "1 (oldest)", "23 (newest)", 23},
      {0, GraphId::Three, "Quelva per 10 s", "1 (oldest)", "23 (newest)", 23},
      {1, GraphId::Two, "Packets per 3 s", "0", "22", 23},
      {1, GraphId::Three, "Packets per 10 s", "0 or 1", "44 or 45", 23},
  };
  for (const Row &r : rows) {
    form.UserSelectsView(r.view);
    const GraphDescription g =
        DescribeGraphs(form)[static_cast<std::size_t>(r.graph)];
    EXPECT_EQ(g.title, r.title);
    ASSERT_EQ(g.rows.size(), r.bars) << r.title;
    EXPECT_EQ(g.rows.front().label, r.first) << r.title;
    EXPECT_EQ(g.rows.back().label, r.last) << r.title;
    EXPECT_NE(GraphText(g).find(r.title), std::string::npos);
  }
  const ViewGroupDescription v = DescribeViews(c());
  EXPECT_EQ(v.buttons[0].caption, "Quelva");
  EXPECT_EQ(v.buttons[1].caption, "Pkts/Sec");
  EXPECT_FALSE(v.buttons[0].selected);
  EXPECT_TRUE(v.buttons[1].selected);
  EXPECT_NE(v.buttons[0].description.find("time series"), std::string::npos);
  EXPECT_NE(v.buttons[1].description.find("histograms"), std::string::npos);
}

// Every caption of the form whose meaning is not plain from the word has
// a note, read from the controls as they stand, the buttons' second
// captions included.
TEST_F(description, captions_of_the_form_are_explained) {
  form.btnStart_Click();
  form.btnPause_Click();
  for (const std::string *caption :
       {&c().optGraphs[0].caption, &c().optGraphs[1].caption,
        &c().lblYAxis[0].caption, &c().lblYAxis[2].caption,
        &c().lblDataRate.caption, &c().btnStart.caption, &c().btnPause.caption,
        &c().lblGraphTitle[0].caption, &c().lblMeanWaitingTime.caption})
    EXPECT_FALSE(CaptionNote(*caption).empty()) << *caption;
  EXPECT_EQ(c().btnPause.caption, "Cont");
}

// A Pareto process is shown red when the mean gap at the rate equals its
// shortest gap; the text says so, and nothing when it runs.
TEST_F(description, a_red_process_is_explained_in_words) {
  struct Row {
    int process;
    const char *rate, *later; // `later`: typed while paused
    std::string text;         // how the text begins
  };
  const Row rows[] = {
      {5, "2", nullptr,
       "Pareto 0.5 cannot run at 2 packets a second: pick another rate. Its "
       "shortest gap, 0.5 s, would also be its mean gap, so it makes no "
       "packets."},
      {5, "2,5", nullptr, "Pareto 0.5 cannot run at 2 packets a second:"},
      {4, "5", nullptr, "Pareto 0.2 cannot run at 5 packets a second:"},
      {3, "10", nullptr, "Pareto 0.1 cannot run at 10 packets a second:"},
      {5, "2.5", nullptr, ""},
      {5, "1", nullptr, ""},
      {0, "2", nullptr, ""},
      {5, "2", "3",
       "The process name is red from a rate its process could "
       "not run at; it turns black when the next packet is due."},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.rate);
    MainForm f{draws};
    f.Form_Load();
    f.UserPicksExperiment(r.process);
    f.UserEditsData(r.rate);
    f.btnStart_Click();
    for (int t = 0; t < 3; ++t)
      f.TimerEvent();
    if (r.later != nullptr) {
      f.btnPause_Click();
      f.UserEditsData(r.later);
    }
    const std::string red = RedProcessText(f.controls());
    EXPECT_EQ(f.controls().cmbExperiment.foreColor == kRed, !red.empty());
    EXPECT_EQ(red.substr(0, r.text.size()), r.text);
    EXPECT_EQ(red.empty(), r.text.empty());
    const std::string state = StateText(f); // ends with it
    EXPECT_EQ(state.substr(state.size() - red.size()), red);
  }
}

TEST_F(description, state_sentence_and_packets_in_flight) {
  struct Row {
    std::function<void(MainForm &)> act;
    int seconds;
    const char *state, *inFlight;
  };
  const Row rows[] = {
      {nullptr, 0,
       "Poisson, 2 packets a second, stopped: 0 packets in 0 seconds.",
       "0 packets in flight"},
      {[](MainForm &f) {
         f.UserPicksExperiment(1);
         f.btnStart_Click();
       },
       3, "Regular, 2 packets a second, running: 6 packets in 3 seconds.",
       "3 packets in flight"},
      {[](MainForm &f) { f.btnPause_Click(); }, 0,
       "Regular, 2 packets a second, paused: 6 packets in 3 seconds.",
       "3 packets in flight"},
      {[](MainForm &f) {
         f.btnPause_Click();
         f.UserEditsData("1");
       },
       1, "Regular, 1 packet a second, running: 7 packets in 4 seconds.",
       "2 packets in flight"},
      {[](MainForm &f) {
         f.btnStart_Click();
         f.UserEditsExperiment("Pareto");
       },
       0,
       "Pareto (not a process of the list: it makes no packets), 1 packet a "
       "second, stopped: 0 packets in 0 seconds.",
       "0 packets in flight"},
  };
  for (const Row &r : rows) {
    if (r.act)
      r.act(form);
    Tick(20 * r.seconds);
    EXPECT_EQ(StateText(form), r.state);
    EXPECT_EQ(InFlightText(c()), r.inFlight) << r.state;
  }
}

TEST_F(description, help_names_the_keys_the_point_and_the_version) {
  const std::string help = HelpText("9.8.7");
  for (const char *needle :
       {"Arrivals 9.8.7", "F1 shows this help", "F2 reads the state",
        "Type a point, not a comma", "reads \"2,5\" as 2", "Cont", "turns red",
        "p(x)", "hidden browser tab", "guide that comes with",
        "index.html in the course folder"})
    EXPECT_NE(help.find(needle), std::string::npos) << needle;
}

} // namespace
} // namespace arrivals::testing
