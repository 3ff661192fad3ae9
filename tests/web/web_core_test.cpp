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

// Items of one kind in the scene, each as its numbers.
std::vector<std::vector<float>> ItemsOf(const Scene &s, SceneKind kind) {
  std::vector<std::vector<float>> out;
  for (std::size_t i = 0; i < s.numbers.size();) {
    const auto k = static_cast<int>(s.numbers[i]);
    const std::size_t size = k == kLine   ? 7
                             : k == kText ? 11
                             : k == kLogo ? 6
                                          : 10;
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
  const auto ovals = ItemsOf(scene, kOval);
  ASSERT_EQ(ovals.size(), 1U);
  // left 265, right round(4220 / 15) = 281: width 16, not round(16.67).
  EXPECT_EQ(ovals[0][2], 265);
  EXPECT_EQ(ovals[0][3], 1);
  EXPECT_EQ(ovals[0][4], 16);
  EXPECT_EQ(ovals[0][5], 57); // 877 / 15 = 58.47 -> 58, less 1
  EXPECT_EQ(ovals[0][1], float(kMoving));
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
    EXPECT_TRUE(ItemsOf(scene, kOval).empty());
    std::size_t n = 0;
    for (const auto &r : ItemsOf(scene, kRect))
      if (r[1] == float(kMoving))
        ++n;
    return n;
  };
  const std::size_t none = movingRects();
  c.shpOneBar[2].box.height = 300;
  EXPECT_EQ(movingRects(), none + 1);
  c.shpOneBar[2].box.height = 7; // less than half a pixel
  EXPECT_EQ(movingRects(), none);
}

TEST(web_scene, the_still_layer_changes_only_with_its_own_items) {
  Controls c = CreateControls();
  Scene scene;
  scene.Build(c);
  const double first = scene.textsVersion;
  struct Change {
    const char *what;
    void (*apply)(Controls &);
    bool still;
  };
  const Change changes[] = {
      {"a marker moves", [](Controls &k) { k.sPacket[0].box.left += 250; },
       false},
      {"the count changes", [](Controls &k) { k.lblServiced.caption = " 9"; },
       false},
      {"a bar grows", [](Controls &k) { k.shpTwoBar[4].box.height += 150; },
       false},
      {"a caption changes", [](Controls &k) { k.lblGraph[0].caption = " 9"; },
       true},
      {"a label is hidden",
       [](Controls &k) { k.lblGraphTwo[1].visible = false; }, true},
      {"a title changes", [](Controls &k) { k.lblGraphTitle[1].caption = "x"; },
       true},
  };
  double version = first;
  for (const Change &change : changes) {
    change.apply(c);
    scene.Build(c);
    EXPECT_EQ(scene.textsVersion != version, change.still) << change.what;
    version = scene.textsVersion;
  }
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

} // namespace
} // namespace arrivals
