// The drawing that every front end paints: each painted control once, in
// the order the canvas stacks them, pointing at the form's live controls.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/drawing.h"

namespace arrivals {
namespace {

// The drawing's items bottom to top, runs of one array as "name*count".
std::vector<std::string> Runs(const Drawing &d) {
  std::vector<std::string> runs;
  std::string last;
  int count = 0;
  const auto flush = [&] {
    if (count > 0)
      runs.push_back(count == 1 ? last : last + "*" + std::to_string(count));
  };
  for (const DrawItem &item : d) {
    const std::string name(item.array);
    if (name != last || item.paint == Paint::Digits) {
      flush();
      last = name;
      count = 0;
    }
    ++count;
  }
  flush();
  return runs;
}

TEST(drawing, every_painted_control_bottom_to_top) {
  const Controls c = CreateControls();
  const Drawing d(c);
  const std::vector<std::string> expected = {"shpDataBorder",
                                             "shpOneBar*8",
                                             "shpInterArrivalBar*14",
                                             "shpTwoBar*23",
                                             "shpThreeBar*23",
                                             "lneGraph*24",
                                             "Line1",
                                             "lblDataRate",
                                             "lblServiced",
                                             "lblGraphTitle*3",
                                             "lblYAxis*3",
                                             "lblGraph*8",
                                             "lblMeanWaitingTime",
                                             "lblArrivalGraph*8",
                                             "lblGraphTwo*8",
                                             "lblGraphThree*8",
                                             "Image1",
                                             "sPacket*51",
                                             "lblServiced"};
  EXPECT_EQ(Runs(d), expected);
  EXPECT_EQ(d[d.size() - 1].paint, Paint::Digits);
  EXPECT_EQ(d[d.size() - 1].name(), "lblServiced");
}

// What each kind of item points at, and how it reads the live controls.
TEST(drawing, items_read_the_controls_as_they_stand) {
  Controls c = CreateControls();
  const Drawing d(c);
  const auto at = [&](const void *control) {
    const std::size_t i = d.find(control);
    EXPECT_LT(i, d.size());
    return d[i];
  };
  EXPECT_EQ(at(&c.sPacket[7]).name(), "sPacket(7)");
  EXPECT_EQ(at(&c.sPacket[7]).paint, Paint::Oval);
  EXPECT_EQ(at(&c.shpTwoBar[22]).paint, Paint::Rectangle);
  EXPECT_FALSE(at(&c.sPacket[7]).visible());
  c.sPacket[7].visible = true;
  c.sPacket[7].box.left = 4000;
  EXPECT_TRUE(at(&c.sPacket[7]).visible());
  EXPECT_EQ(at(&c.sPacket[7]).box().left, 4000);

  const DrawItem counter = at(&c.lblServiced); // its ground, not its digits
  EXPECT_EQ(counter.paint, Paint::Text);
  EXPECT_TRUE(counter.opaque());
  EXPECT_FALSE(counter.drawsCaption());
  const DrawItem digits = d[d.size() - 1];
  EXPECT_FALSE(digits.opaque());
  EXPECT_TRUE(digits.drawsCaption());
  c.lblServiced.caption.clear();
  EXPECT_FALSE(digits.drawsCaption());

  EXPECT_TRUE(at(&c.lblYAxis[0]).opaque());
  EXPECT_FALSE(at(&c.lblYAxis[1]).opaque());
  c.lblGraphTwo[3].visible = false;
  EXPECT_FALSE(at(&c.lblGraphTwo[3]).visible());
  EXPECT_EQ(at(&c.Image1).paint, Paint::Logo);
  EXPECT_EQ(&at(&c.Image1).box(), &c.Image1.box);
  EXPECT_EQ(d.find(&c.btnStart), d.size()); // a widget, not painted
}

// The short strokes at the ends of the axes are the arrowheads.
TEST(drawing, arrowheads_and_axes) {
  const Controls c = CreateControls();
  const Drawing d(c);
  int arrowheads = 0;
  for (const DrawItem &item : d) {
    if (item.paint != Paint::Line)
      continue;
    const Line &l = *item.line;
    EXPECT_EQ(item.arrowhead, l.widthPixels == 2) << item.name();
    arrowheads += item.arrowhead ? 1 : 0;
  }
  EXPECT_EQ(arrowheads, 16);
}

// A line lies in the box from one end to the other, whichever way it runs;
// the canvas repaints it where that box meets the damage.
TEST(drawing, a_lines_bounds_span_its_ends) {
  struct Row {
    Line line;
    Box bounds;
  };
  for (const Row &r : {Row{{10, 20, 110, 50}, {10, 20, 100, 30}},
                       Row{{110, 20, 10, 50}, {10, 20, 100, 30}},
                       Row{{10, 50, 110, 20}, {10, 20, 100, 30}},
                       Row{{300, 40, 300, 900}, {300, 40, 0, 860}}}) {
    DrawItem item;
    item.paint = Paint::Line;
    item.line = &r.line;
    const Box b = item.bounds();
    EXPECT_EQ(b.left, r.bounds.left);
    EXPECT_EQ(b.top, r.bounds.top);
    EXPECT_EQ(b.width, r.bounds.width) << r.line.x1 << "," << r.line.y1;
    EXPECT_EQ(b.height, r.bounds.height) << r.line.x1 << "," << r.line.y1;
  }
}

} // namespace
} // namespace arrivals
