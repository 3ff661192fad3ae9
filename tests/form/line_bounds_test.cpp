// The box a drawn line lies in, whichever way it runs: the window repaints
// only the items whose box meets the damaged region.

#include <gtest/gtest.h>

#include "ui/drawing.h"

namespace arrivals {
namespace {

TEST(line_bounds, spans_both_ends_whichever_way_the_line_runs) {
  struct Row {
    Line line;
    Box box;
  };
  for (const Row &r : {
           Row{{10, 20, 110, 70}, {10, 20, 100, 50}}, // down and right
           Row{{110, 70, 10, 20}, {10, 20, 100, 50}}, // up and left
           Row{{10, 70, 110, 20}, {10, 20, 100, 50}}, // up and right
           Row{{110, 20, 10, 70}, {10, 20, 100, 50}}, // down and left
           Row{{40, 30, 40, 90}, {40, 30, 0, 60}},    // upright
       }) {
    DrawItem item;
    item.paint = Paint::Line;
    item.line = &r.line;
    const Box b = item.bounds();
    EXPECT_EQ(b.left, r.box.left) << r.line.x1 << "," << r.line.y1;
    EXPECT_EQ(b.top, r.box.top) << r.line.x1 << "," << r.line.y1;
    EXPECT_EQ(b.width, r.box.width) << r.line.x1 << "," << r.line.y1;
    EXPECT_EQ(b.height, r.box.height) << r.line.x1 << "," << r.line.y1;
  }
}

} // namespace
} // namespace arrivals
