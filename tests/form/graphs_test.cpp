#include <array>

#include "form_fixture.h"

namespace arrivals::testing {
namespace {

class graphs : public LoadedForm {
protected:
  // The bars of a graph as (top, height) pairs.
  template <std::size_t N>
  static std::vector<std::pair<Single, Single>>
  Geometry(const std::array<Shape, N> &bars) {
    std::vector<std::pair<Single, Single>> out;
    for (const Shape &b : bars)
      out.emplace_back(b.box.top, b.box.height);
    return out;
  }
  template <std::size_t N>
  static void ExpectFlat(const std::array<Shape, N> &bars, Single baseline) {
    for (const Shape &b : bars) {
      EXPECT_EQ(b.box.top, baseline);
      EXPECT_EQ(b.box.height, 0);
    }
  }
};

TEST_F(graphs, scale_to_the_largest_element) {
  mutableState().histSecond = {1, 2, 4, 0, 0, 0, 0, 0, 0};
  form.DrawGraphs();
  const std::array<std::pair<Single, Single>, 8> expected = {{{7620, 600},
                                                              {7020, 1200},
                                                              {5820, 2400},
                                                              {8220, 0},
                                                              {8220, 0},
                                                              {8220, 0},
                                                              {8220, 0},
                                                              {8220, 0}}};
  for (std::size_t k = 0; k < 8; ++k) {
    EXPECT_EQ(c().shpOneBar[k].box.top, expected[k].first) << k;
    EXPECT_EQ(c().shpOneBar[k].box.height, expected[k].second) << k;
  }
}

TEST_F(graphs, heights_are_double_results_stored_as_singles) {
  mutableState().series3s[5] = 7;
  mutableState().series3s[6] = 3;
  form.DrawGraphs();
  const double h = 1800.0 / 7 * 3;
  EXPECT_EQ(c().shpTwoBar[6].box.height, static_cast<Single>(h));
  EXPECT_EQ(c().shpTwoBar[6].box.top, static_cast<Single>(8220.0 - h));
  EXPECT_EQ(c().shpTwoBar[5].box.height, 1800);
  EXPECT_EQ(c().shpTwoBar[5].box.top, 6420);
}

TEST_F(graphs, full_heights_of_the_four_graphs) {
  RunState &st = mutableState();
  st.histSecond[3] = 5;
  st.histSecond[6] = 5; // ties share the full height
  st.histGap[13] = 2;
  st.series3s[22] = 9;
  st.series10s[0] = 30;
  form.DrawGraphs();
  EXPECT_EQ(c().shpOneBar[3].box.top, 8220 - 2400);
  EXPECT_EQ(c().shpOneBar[6].box.height, 2400);
  EXPECT_EQ(c().shpInterArrivalBar[13].box.top, 4380 - 1920);
  EXPECT_EQ(c().shpTwoBar[22].box.top, 8220 - 1800);
  EXPECT_EQ(c().shpThreeBar[0].box.top, 8220 - 1800);
}

TEST_F(graphs, an_empty_graph_keeps_its_last_bars) {
  mutableState().series3s[22] = 4;
  mutableState().histSecond[1] = 2;
  form.DrawGraphs();
  const auto before = Geometry(c().shpTwoBar);
  mutableState().series3s[22] = 0;
  mutableState().histSecond[1] = 4;
  mutableState().histSecond[2] = 8;
  form.DrawGraphs();
  EXPECT_EQ(Geometry(c().shpTwoBar), before);
  // A bar whose element did not change gets shorter when the maximum grows.
  EXPECT_EQ(c().shpOneBar[1].box.height, 1200);
}

TEST_F(graphs, the_first_redraw_after_start_leaves_them_flat) {
  mutableState().histSecond[1] = 2; // left over from an earlier run
  form.btnStart_Click();
  mutableState().histSecond[1] = 2;
  mutableState().histGap[0] = 1;
  mutableState().series3s[22] = 3;
  mutableState().series10s[22] = 3;
  form.DrawGraphs();
  EXPECT_FALSE(s().skipGraphOne);
  EXPECT_FALSE(s().skipGraphTwo);
  EXPECT_FALSE(s().skipGraphThree);
  ExpectFlat(c().shpOneBar, 8220);
  ExpectFlat(c().shpInterArrivalBar, 4380);
  ExpectFlat(c().shpTwoBar, 8220);
  ExpectFlat(c().shpThreeBar, 8220);
  form.DrawGraphs();
  EXPECT_EQ(c().shpOneBar[1].box.height, 2400);
  EXPECT_EQ(c().shpInterArrivalBar[0].box.height, 1920);
  EXPECT_EQ(c().shpTwoBar[22].box.height, 1800);
  EXPECT_EQ(c().shpThreeBar[22].box.height, 1800);
}

TEST_F(graphs, a_view_change_before_the_first_redraw_uses_up_the_skips) {
  form.btnStart_Click();
  mutableState().series3s[22] = 3;
  mutableState().hist3s[3] = 1;
  form.UserSelectsView(1);
  EXPECT_FALSE(s().skipGraphOne || s().skipGraphTwo || s().skipGraphThree);
  ExpectFlat(c().shpTwoBar, 8220);
  form.DrawGraphs(); // the next roll-up redraw draws the histogram view
  EXPECT_EQ(c().shpTwoBar[3].box.height, 1800);
  EXPECT_EQ(c().shpTwoBar[22].box.height, 0);
}

TEST_F(graphs, views_switch_data_labels_and_titles) {
  RunState &st = mutableState();
  st.series3s[22] = 6;
  st.hist3s[6] = 1;
  st.series10s[21] = 20;
  st.hist10s[10] = 1;
  form.UserSelectsView(1);
  EXPECT_EQ(form.SelectedView(), 1);
  EXPECT_FALSE(c().optGraphs[0].value);
  EXPECT_EQ(c().lblGraphTitle[1].caption, "Packets per 3 s");
  EXPECT_EQ(c().lblGraphTitle[2].caption, "Packets per 10 s");
  const char *two[] = {" 1", " 4", " 7", " 10", " 13", " 16", " 19", " 22"};
  const char *three[] = {" 2", " 8", " 14", " 20", " 26", " 32", " 38", " 44"};
  for (std::size_t n = 0; n < 8; ++n) {
    EXPECT_TRUE(c().lblGraphTwo[n].visible);
    EXPECT_EQ(c().lblGraphTwo[n].caption, two[n]);
    EXPECT_TRUE(c().lblGraphThree[n].visible);
    EXPECT_EQ(c().lblGraphThree[n].caption, three[n]);
  }
  EXPECT_EQ(c().shpTwoBar[6].box.height, 1800);
  EXPECT_EQ(c().shpTwoBar[22].box.height, 0);
  EXPECT_EQ(c().shpThreeBar[10].box.height, 1800);

  form.UserSelectsView(1); // already selected: nothing happens
  EXPECT_EQ(c().shpTwoBar[6].box.height, 1800);

  form.UserSelectsView(0);
  EXPECT_EQ(c().lblGraphTitle[1].caption, "Quelva per 3 s");
  EXPECT_EQ(c().lblGraphTitle[2].caption, "Quelva per 10 s");
  for (std::size_t n = 0; n < 8; ++n) {
    EXPECT_FALSE(c().lblGraphTwo[n].visible);
    EXPECT_EQ(c().lblGraphTwo[n].caption, two[n]); // captions stay
  }
  EXPECT_EQ(c().shpTwoBar[22].box.height, 1800);
  EXPECT_EQ(c().shpTwoBar[6].box.height, 0);
  EXPECT_EQ(c().shpThreeBar[21].box.height, 1800);
}

TEST_F(graphs, redraw_after_roll_up_in_a_real_run) {
  form.UserPicksExperiment(1); // Regular at 2 a second
  form.btnStart_Click();
  Tick(20 * 7); // redraws at seconds 1 (skipped), 4 and 7
  EXPECT_EQ(s().histSecond[2], 7);
  EXPECT_EQ(c().shpOneBar[2].box.height, 2400);
  EXPECT_EQ(s().series3s[22], 6);
  EXPECT_EQ(c().shpTwoBar[22].box.height, 1800);
}

} // namespace
} // namespace arrivals::testing
