#include <ostream>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "model/arrival_processes.h"

namespace arrivals::testing {
namespace {

TEST(form_creation, before_load_shows_the_creation_state) {
  ScriptedDraws draws;
  MainForm form(draws);
  const Controls &c = form.controls();
  EXPECT_EQ(c.cmbData.text, "Combo1");
  EXPECT_EQ(c.cmbExperiment.text, "Poisson");
  EXPECT_EQ(c.lblServiced.caption, "0000");
  EXPECT_EQ(c.btnStart.caption, "Start");
  EXPECT_EQ(c.btnPause.caption, "Pause");
  EXPECT_TRUE(c.tmrMain.enabled);
  EXPECT_EQ(c.tmrMain.interval, 50);
  EXPECT_EQ(form.SelectedView(), -1);
  EXPECT_TRUE(c.cmbData.items.empty());
  for (const Label &l : c.lblGraph)
    EXPECT_EQ(l.caption, "0");
}

using form_startup = LoadedForm;

TEST_F(form_startup, leaves_the_form_idle_and_ready) {
  EXPECT_EQ(c().btnStart.caption, "Start");
  EXPECT_EQ(c().btnPause.caption, "Pause");
  EXPECT_FALSE(c().tmrMain.enabled);
  EXPECT_TRUE(s().stopped);
  EXPECT_EQ(s().lastPacket, 50);
  EXPECT_EQ(s().packetStep, 250);
  EXPECT_EQ(s().lastRate, 2.0);
  EXPECT_EQ(c().cmbData.text, "2.0");
  EXPECT_EQ(c().cmbExperiment.text, "Poisson");
  EXPECT_EQ(c().lblServiced.caption, "0");
  EXPECT_EQ(form.SelectedView(), 0);
  EXPECT_EQ(VisibleMarkers(), 0);
  EXPECT_EQ(draws.taken, 0);
  EXPECT_EQ(draws.seeded, 1); // else every start plays the same packets
  EXPECT_EQ(s().cantorGaps[8], 28);
  EXPECT_EQ(c().lblGraphTitle[1].caption, "Quelva per 3 s");
  EXPECT_EQ(c().lblGraphTitle[2].caption, "Quelva per 10 s");
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(c().lblGraph[static_cast<std::size_t>(i)].caption,
              " " + std::to_string(i));
    EXPECT_FALSE(c().lblGraphTwo[static_cast<std::size_t>(i)].visible);
    EXPECT_FALSE(c().lblGraphThree[static_cast<std::size_t>(i)].visible);
  }
}

TEST_F(form_startup, fills_both_lists_in_order) {
  EXPECT_EQ(
      c().cmbExperiment.items,
      (std::vector<std::string>{"Poisson", "Regular", "Uniform", "Pareto 0.1",
                                "Pareto 0.2", "Pareto 0.5", "Cantor"}));
  // The list is the model's table itself, so no entry can miss a process.
  std::vector<std::string> known;
  for (const ArrivalProcess &p : kArrivalProcesses)
    known.emplace_back(p.name);
  EXPECT_EQ(c().cmbExperiment.items, known);
  EXPECT_EQ(c().cmbData.items,
            (std::vector<std::string>{"0.1", "0.5", "1.0", "1.5", "2.0", "2.5",
                                      "3.0", "3.5", "4.0"}));
}

// The run-control state machine: each row is a sequence of presses from the
// idle state after start-up and the state it ends in.
struct RunControlCase {
  const char *name;
  std::string presses; // s = Start/Stop, p = Pause/Cont
  bool stopped;
  bool timer;
  const char *start;
  const char *pause;
};

void PrintTo(const RunControlCase &rc, std::ostream *os) { *os << rc.name; }

class run_control : public LoadedForm,
                    public ::testing::WithParamInterface<RunControlCase> {};

TEST_P(run_control, reaches_the_expected_state) {
  const RunControlCase &rc = GetParam();
  for (char p : rc.presses)
    p == 's' ? form.btnStart_Click() : form.btnPause_Click();
  EXPECT_EQ(s().stopped, rc.stopped);
  EXPECT_EQ(c().tmrMain.enabled, rc.timer);
  EXPECT_EQ(c().btnStart.caption, rc.start);
  EXPECT_EQ(c().btnPause.caption, rc.pause);
}

INSTANTIATE_TEST_SUITE_P(
    states, run_control,
    ::testing::Values(
        RunControlCase{"idle", "", true, false, "Start", "Pause"},
        RunControlCase{"running", "s", false, true, "Stop", "Pause"},
        RunControlCase{"paused", "sp", false, false, "Stop", "Cont"},
        RunControlCase{"continued", "spp", false, true, "Stop", "Pause"},
        RunControlCase{"stopped", "ss", true, false, "Start", "Pause"},
        RunControlCase{"stopped_while_paused", "sps", true, false, "Start",
                       "Pause"},
        RunControlCase{"idle_paused", "p", true, false, "Start", "Cont"},
        RunControlCase{"idle_ticking", "pp", true, true, "Start", "Pause"},
        RunControlCase{"idle_ticking_paused", "ppp", true, false, "Start",
                       "Cont"},
        RunControlCase{"started_from_idle_paused", "ps", false, true, "Stop",
                       "Pause"},
        RunControlCase{"started_from_idle_ticking", "pps", false, true, "Stop",
                       "Pause"}),
    [](const auto &row) { return std::string(row.param.name); });

// What the rate box shows and what rate is kept after one change of text,
// starting from the accepted start-up rate "2.0".
struct RateCase {
  const char *name;
  std::string typed;
  std::string shown;
  double rate;
};

void PrintTo(const RateCase &rc, std::ostream *os) { *os << rc.name; }

class rate_box : public LoadedForm,
                 public ::testing::WithParamInterface<RateCase> {};

TEST_P(rate_box, accepts_0_to_10_and_restores_the_rest) {
  const RateCase &rc = GetParam();
  form.UserEditsData(rc.typed);
  EXPECT_EQ(c().cmbData.text, rc.shown);
  EXPECT_EQ(s().lastRate, rc.rate);
}

INSTANTIATE_TEST_SUITE_P(
    texts, rate_box,
    ::testing::Values(RateCase{"too_high", "12", " 2", 2},
                      RateCase{"negative", "-1", " 2", 2},
                      RateCase{"top_of_range", "10", "10", 10},
                      RateCase{"just_above_range", "10.5", " 2", 2},
                      RateCase{"letters", "abc", "abc", 0},
                      RateCase{"empty", "", "", 0},
                      RateCase{"not_listed", "3.7", "3.7", 3.7},
                      RateCase{"huge_exponent", "1e999", " 2", 2},
                      RateCase{"trailing_text", "4 pkts", "4 pkts", 4},
                      RateCase{"leading_blank", " 0.5", " 0.5", 0.5},
                      RateCase{"minus_zero", "-0", "-0", 0}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(rate_box, restores_a_fraction_without_its_leading_zero) {
  form.UserEditsData("0.5");
  form.UserEditsData("11");
  EXPECT_EQ(c().cmbData.text, " .5");
  EXPECT_EQ(s().lastRate, 0.5);
}

TEST_F(rate_box, every_keystroke_is_a_change) {
  // Select all of "2.0" and type "1", then "2": "1" is accepted, and "12"
  // is out of range, so the box shows the last accepted rate " 1".
  form.UserEditsData("1");
  EXPECT_EQ(s().lastRate, 1);
  form.UserEditsData("12");
  EXPECT_EQ(c().cmbData.text, " 1");
  EXPECT_EQ(s().lastRate, 1);
}

TEST_F(rate_box, program_text_reaches_the_view_but_typing_does_not) {
  observer.combos.clear();
  form.UserEditsData("3");
  EXPECT_TRUE(observer.combos.empty()); // the widget already shows it
  form.UserEditsData("30");
  ASSERT_EQ(observer.combos.size(), 1u);
  EXPECT_EQ(observer.combos[0], ComboId::Data);
}

TEST_F(rate_box, picking_an_item_runs_the_click_handling_once) {
  EXPECT_TRUE(form.UserPicksData(8));
  EXPECT_EQ(c().cmbData.text, "4.0");
  EXPECT_EQ(s().lastRate, 4);
  EXPECT_FALSE(form.UserPicksData(9));
  EXPECT_FALSE(form.UserPicksData(-1));
  EXPECT_EQ(c().cmbData.text, "4.0");
}

using timer_events = LoadedForm;

TEST_F(timer_events, are_dropped_while_the_timer_is_off) {
  Tick(40);
  EXPECT_EQ(s().elapsedMs, 0);
  form.btnStart_Click();
  Tick(40);
  EXPECT_EQ(s().elapsedMs, 2000);
  form.btnPause_Click();
  Tick(40);
  EXPECT_EQ(s().elapsedMs, 2000);
}

TEST_F(timer_events, are_dropped_while_a_message_box_is_open) {
  form.UserPicksExperiment(1); // Regular
  form.btnStart_Click();
  Tick(2); // the second tick launches the first packet
  ASSERT_EQ(VisibleMarkers(), 1);
  // Put markers 0 to 49 in flight far from the limit and make a packet due.
  for (Integer i = 0; i < 50; ++i) {
    FormProbe::Port(form).SetPacketVisible(i, true);
    FormProbe::Port(form).SetPacketLeft(i, 4000);
  }
  mutableState().countdownMs = -1;
  Long elapsedInside = -1;
  observer.duringMessage = [&] {
    form.TimerEvent(); // must not run a tick inside the tick
    elapsedInside = s().elapsedMs;
  };
  Tick();
  ASSERT_EQ(observer.messages,
            std::vector<std::string>{"Silly Error: Ran Out of Data Packets"});
  EXPECT_EQ(elapsedInside, 150);
  EXPECT_EQ(s().elapsedMs, 150);
  // After OK, marker 0 is taken back to the source and moved once.
  EXPECT_EQ(c().sPacket[0].box.left, 3720 + 250);
  EXPECT_EQ(s().packetCount, 2);
  Tick();
  EXPECT_EQ(s().elapsedMs, 200); // the timer goes on after the box
}

TEST(message_box, reaches_an_observer_of_messages_alone) {
  struct Messages final : FormObserver {
    Messages() : FormObserver(Wants::MessagesOnly) {}
    std::vector<std::string> texts;
    void ShowMessage(std::string_view text) override {
      texts.emplace_back(text);
    }
  } sink;
  ScriptedDraws draws;
  MainForm form(draws);
  form.SetObserver(&sink);
  form.Form_Load();
  form.btnStart_Click();
  for (Integer i = 0; i < 50; ++i)
    FormProbe::Port(form).SetPacketVisible(i, true);
  FormProbe::State(form).countdownMs = -1;
  form.TimerEvent();
  EXPECT_EQ(sink.texts,
            std::vector<std::string>{"Silly Error: Ran Out of Data Packets"});
}

TEST_F(timer_events,
       a_red_pareto_name_launches_nothing_until_the_rate_changes) {
  form.UserPicksExperiment(5); // "Pareto 0.5" at the start-up rate 2.0
  form.btnStart_Click();
  Tick(20);
  EXPECT_EQ(c().cmbExperiment.foreColor, kRed);
  EXPECT_EQ(s().packetCount, 0);
  EXPECT_EQ(s().histGap[0], 19); // every tick but the first asks again
  form.UserPicksData(5);         // 2.5 packets a second
  Tick(1);
  EXPECT_EQ(c().cmbExperiment.foreColor, kBlack);
  EXPECT_EQ(s().packetCount, 1);
  EXPECT_EQ(c().lblServiced.caption, " 1");
}

TEST_F(timer_events, a_new_process_empties_the_run_without_stopping_it) {
  form.btnStart_Click();
  Tick(100);
  ASSERT_GT(s().packetCount, 0);
  form.UserPicksExperiment(2);
  EXPECT_EQ(s().packetCount, 0);
  EXPECT_EQ(c().lblServiced.caption, "0");
  EXPECT_EQ(VisibleMarkers(), 0);
  EXPECT_EQ(s().elapsedMs, 0);
  EXPECT_FALSE(s().stopped);
  EXPECT_TRUE(c().tmrMain.enabled);
  EXPECT_EQ(c().btnStart.caption, "Stop");
}

TEST_F(timer_events, idle_ticking_moves_markers_but_launches_nothing) {
  form.btnStart_Click();
  Tick(30);
  form.btnStart_Click(); // stop with markers in flight
  const Long count = s().packetCount;
  const int inFlight = VisibleMarkers();
  ASSERT_GT(inFlight, 0);
  form.btnPause_Click();
  form.btnPause_Click(); // Cont: the timer runs while idle
  const Integer seconds = s().secondCount;
  Tick(40);
  EXPECT_EQ(s().packetCount, count);
  EXPECT_EQ(VisibleMarkers(), 0); // all have left the track
  EXPECT_EQ(s().secondCount, seconds + 2);
  form.btnStart_Click();
  EXPECT_EQ(c().btnStart.caption, "Stop");
  EXPECT_EQ(c().btnPause.caption, "Pause");
  EXPECT_EQ(s().packetCount, 0);
}

TEST_F(timer_events, stop_and_start_keep_counting_seconds) {
  form.btnStart_Click();
  Tick(7 * 20);
  form.btnStart_Click();
  form.btnStart_Click();
  EXPECT_EQ(s().secondCount, 7);
  EXPECT_EQ(s().elapsedMs, 0);
  // The next run closes its first 3-second window at its 2nd second.
  Tick(2 * 20);
  EXPECT_GT(s().series3s[22], 0);
  EXPECT_EQ(s().series3s[22] + s().count3s, s().packetCount);
  EXPECT_EQ(s().series10s[22], 0); // its first window closes at second 10
}

} // namespace
} // namespace arrivals::testing
