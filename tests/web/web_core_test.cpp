// The browser edition's core: the scene its canvas paints. (The script's
// lines are the script language's own: tests/script/line_source_test.cpp.)

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/controls.h"
#include "web/scene.h"

namespace arrivals {
namespace {

TEST(web_scene, colours_become_rrggbb) {
  struct Case {
    Long colour;
    std::uint32_t rgb;
  };
  const Case cases[] = {{kRed, 0xff0000},        {kBlack, 0},
                        {kNavy, 0x000080},       {kGreen, 0x008000},
                        {kWindowGrey, 0xe0e0e0}, {Rgb(1, 2, 3), 0x010203}};
  for (const Case &c : cases)
    EXPECT_EQ(RgbOf(c.colour), c.rgb) << c.colour;
}

using scene::FieldOf;
using scene::Kind;
using scene::Layer;

// Items of one kind in the scene, each as its numbers.
std::vector<std::vector<float>> ItemsOf(const Scene &s, Kind kind) {
  std::vector<std::vector<float>> out;
  for (std::size_t i = 0; i < s.numbers.size();) {
    const auto k = static_cast<Kind>(s.numbers[i]);
    const std::size_t size = scene::SizeOf(k);
    if (k == kind)
      out.emplace_back(s.numbers.begin() + static_cast<long>(i),
                       s.numbers.begin() + static_cast<long>(i + size));
    i += size;
  }
  return out;
}

TEST(web_scene, boxes_become_whole_pixels_edge_by_edge) {
  Controls c = CreateControls();
  for (Shape &s : c.sPacket)
    s.visible = false;
  Shape &marker = c.sPacket[3];
  marker.visible = true;
  marker.box = {3970, 22, 250, 855}; // 264.67 .. 281.33 px
  Scene scene;
  scene.Build(c);
  const auto ovals = ItemsOf(scene, Kind::Oval);
  ASSERT_EQ(ovals.size(), 1U);
  const auto field = [&](const char *name) {
    return ovals[0][FieldOf(Kind::Oval, name)];
  };
  // left 265, right round(4220 / 15) = 281: width 16, not round(16.67).
  EXPECT_EQ(field("x"), 265);
  EXPECT_EQ(field("y"), 1);
  EXPECT_EQ(field("w"), 16);
  EXPECT_EQ(field("h"), 57); // 877 / 15 = 58.47 -> 58, less 1
  EXPECT_EQ(field("layer"), float(Layer::Moving));
}

TEST(web_scene, a_bar_of_no_height_and_a_hidden_marker_are_not_painted) {
  Controls c = CreateControls();
  for (Shape &s : c.sPacket)
    s.visible = false;
  for (Shape &s : c.shpOneBar)
    s.box.height = 0;
  const auto movingRects = [&] {
    Scene scene;
    scene.Build(c);
    EXPECT_TRUE(ItemsOf(scene, Kind::Oval).empty());
    std::size_t n = 0;
    for (const auto &r : ItemsOf(scene, Kind::Rect))
      if (r[FieldOf(Kind::Rect, "layer")] == float(Layer::Moving))
        ++n;
    return n;
  };
  const std::size_t none = movingRects();
  c.shpOneBar[2].box.height = 300;
  EXPECT_EQ(movingRects(), none + 1);
  c.shpOneBar[2].box.height = 7; // less than half a pixel
  EXPECT_EQ(movingRects(), none);
}

// A change list entry as (item, layer, shown now, old box's width > 0).
struct Entry {
  float item, layer;
  bool shown, was;
  bool operator==(const Entry &) const = default;
};

std::vector<Entry> ChangesOf(const Scene &s) {
  const std::size_t n = scene::FieldCount(scene::kChangeFields);
  const auto at = [](const char *name) {
    return scene::IndexOf(scene::kChangeFields, name);
  };
  std::vector<Entry> out;
  for (std::size_t i = 0; i < s.changes.size(); i += n)
    out.push_back({s.changes[i + at("item")], s.changes[i + at("layer")],
                   s.changes[i + at("at")] >= 0, s.changes[i + at("w")] > 0});
  return out;
}

TEST(web_scene, each_frame_lists_the_items_that_changed) {
  Controls c = CreateControls();
  c.sPacket[0].visible = true;
  Scene scene;
  scene.Build(c);
  EXPECT_TRUE(scene.full) << "the first frame is full";
  scene.Build(c);
  EXPECT_FALSE(scene.full);
  EXPECT_TRUE(scene.changes.empty()) << "nothing changed";
  struct Change {
    const char *what;
    void (*apply)(Controls &);
    Layer layer;
    bool shown, was; // shown now, shown before
  };
  const Change changes[] = {
      {"a marker moves", [](Controls &k) { k.sPacket[0].box.left += 250; },
       Layer::Moving, true, true},
      {"a marker goes", [](Controls &k) { k.sPacket[0].visible = false; },
       Layer::Moving, false, true},
      {"a marker comes", [](Controls &k) { k.sPacket[0].visible = true; },
       Layer::Moving, true, false},
      {"the count changes", [](Controls &k) { k.lblServiced.caption = " 9"; },
       Layer::Moving, true, true},
      {"the count changes, as many digits",
       [](Controls &k) { k.lblServiced.caption = " 8"; }, Layer::Moving, true,
       true},
      {"a bar rises from nothing",
       [](Controls &k) { k.shpTwoBar[4].box.height += 150; }, Layer::Moving,
       true, false},
      {"a bar grows", [](Controls &k) { k.shpTwoBar[4].box.height += 150; },
       Layer::Moving, true, true},
      {"a caption changes", [](Controls &k) { k.lblGraph[0].caption = " 9"; },
       Layer::Still, true, true},
      {"a caption changes, as long",
       [](Controls &k) { k.lblGraph[0].caption = " 7"; }, Layer::Still, true,
       true},
      {"a label is hidden",
       [](Controls &k) { k.lblGraphTwo[1].visible = false; }, Layer::Still,
       false, true},
      {"a title changes", [](Controls &k) { k.lblGraphTitle[1].caption = "x"; },
       Layer::Still, true, true},
  };
  for (const Change &change : changes) {
    change.apply(c);
    scene.Build(c);
    const auto got = ChangesOf(scene);
    ASSERT_EQ(got.size(), 1U) << change.what;
    EXPECT_EQ(got[0].layer, float(change.layer)) << change.what;
    EXPECT_EQ(got[0].shown, change.shown) << change.what;
    EXPECT_EQ(got[0].was, change.was) << change.what;
  }
  c.sPacket[1].box.left += 250;
  scene.Build(c, true);
  EXPECT_TRUE(scene.full && scene.changes.empty()) << "a full frame asked for";
  scene.Build(c);
  EXPECT_TRUE(scene.changes.empty()) << "the full frame was the last";
}

TEST(web_scene, controls_json_carries_what_the_real_controls_show) {
  Controls c = CreateControls();
  c.cmbData.text = "a \"quoted\"\ttext";
  c.cmbExperiment.foreColor = kRed;
  c.optGraphs[1].value = true;
  const std::string json = ControlsJson(c);
  EXPECT_NE(json.find(R"("text":"a \"quoted\"\ttext")"), std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("color":16711680)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("optGraphs1":{"box":)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("value":true)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("timer":true)"), std::string::npos) << json;
}

// The form in words as the page reads it: texts escaped, each graph's rows
// in order as [label, count], and what Start's and Pause's captions mean.
TEST(web_scene, description_json_carries_the_form_in_words) {
  FormDescription d;
  d.counter = "1 packet";
  d.redProcess = "Pareto 0.5 \"cannot\"\nrun";
  d.graphs[1].title = "Interarrival Times";
  d.graphs[1].rows = {{"0 to 0.25 s", 3}, {"0.25 to 0.5 s", 0}};
  d.views.name = "View";
  d.views.buttons[1] = {"Pkts/Sec", "Shows histograms.", true};
  Controls c = CreateControls();
  c.btnPause.caption = "Cont";
  const std::string json = DescriptionJson(d, c);
  for (const char *part :
       {R"({"counter":"1 packet","redProcess":"Pareto 0.5 \"cannot\"\nrun",)",
        R"("graphs":[{"title":"","xAxis":"",)",
        R"("title":"Interarrival Times",)",
        R"("rows":[["0 to 0.25 s",3],["0.25 to 0.5 s",0]]},{)",
        R"("buttons":[{"caption":"","description":""},)"
        R"({"caption":"Pkts/Sec","description":"Shows histograms."}]},)",
        R"("btnStart":"Starts a new run from 0 packets.",)"
        R"("btnPause":"Continues the paused run."})"})
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
}

} // namespace
} // namespace arrivals
