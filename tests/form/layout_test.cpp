#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "ui/controls.h"

namespace arrivals {
namespace {

const Controls kC = CreateControls();

bool Inside(const Box &b) {
  return b.left >= 0 && b.top >= 0 && b.left + b.width <= kClientWidth &&
         b.top + b.height <= kClientHeight;
}

Single Centre(const Box &b) { return b.left + b.width / 2; }

TEST(layout, every_control_lies_inside_the_client_area) {
  std::vector<Box> boxes = {
      kC.cmbExperiment.box, kC.btnStart.box,           kC.btnPause.box,
      kC.cmbData.box,       kC.shpDataBorder.box,      kC.lblDataRate.box,
      kC.lblServiced.box,   kC.lblMeanWaitingTime.box, kC.Image1.box};
  for (const auto &o : kC.optGraphs)
    boxes.push_back(o.box);
  for (const auto *group : {&kC.lblGraphTitle, &kC.lblYAxis})
    for (const Label &l : *group)
      boxes.push_back(l.box);
  for (const auto *group : {&kC.lblGraph, &kC.lblGraphTwo, &kC.lblGraphThree})
    for (const Label &l : *group)
      boxes.push_back(l.box);
  for (const auto &l : kC.lblArrivalGraph)
    if (l.exists)
      boxes.push_back(l.label.box);
  for (const Box &b : boxes)
    EXPECT_TRUE(Inside(b)) << b.left << "," << b.top;
  for (const Line &l : kC.lneGraph)
    EXPECT_TRUE(Inside({std::min(l.x1, l.x2), std::min(l.y1, l.y2),
                        std::fabs(l.x2 - l.x1), std::fabs(l.y2 - l.y1)}));
  // The right-most and lowest edges are those of the logo.
  EXPECT_EQ(kC.Image1.box.left + kC.Image1.box.width, 12540);
  EXPECT_EQ(kC.Image1.box.top + kC.Image1.box.height, 9600);
  // A marker at the furthest point it reaches still fits.
  Box furthest = kC.sPacket[0].box;
  furthest.left = 3720 + 34 * 250;
  furthest.top = 60;
  EXPECT_TRUE(Inside(furthest));
  EXPECT_EQ(kClientWidth / kTwipsPerPixel, 844);
  EXPECT_EQ(kClientHeight / kTwipsPerPixel, 645);
}

TEST(layout, baselines_and_axis_tops) {
  struct Graph {
    std::size_t baseline, axis;
    Single y, top, fullHeight;
  };
  const Graph graphs[] = {{3, 2, 8220, 4080, 2400},
                          {9, 8, 4380, 1500, 1920},
                          {16, 17, 8220, 5700, 1800},
                          {22, 23, 8220, 5700, 1800}};
  for (const Graph &g : graphs) {
    EXPECT_EQ(kC.lneGraph[g.baseline].y1, g.y);
    EXPECT_EQ(std::min(kC.lneGraph[g.axis].y1, kC.lneGraph[g.axis].y2), g.top);
    EXPECT_GT(g.y - g.fullHeight, g.top); // the tallest bar stays below
    EXPECT_EQ(kC.lneGraph[g.baseline].widthPixels, 3);
  }
}

TEST(layout, tick_labels_stand_under_their_bars) {
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_NEAR(Centre(kC.lblGraph[i].box), Centre(kC.shpOneBar[i].box), 15)
        << i;
    EXPECT_NEAR(Centre(kC.lblGraphTwo[i].box),
                Centre(kC.shpTwoBar[3 * i + 1].box), 15)
        << i;
    EXPECT_NEAR(Centre(kC.lblGraphThree[i].box),
                Centre(kC.shpThreeBar[3 * i + 1].box), 15)
        << i;
  }
  // Inter-arrival labels: t seconds about 50 twips left of the left edge of
  // bar 4t; item 7 does not exist.
  const double seconds[] = {0, 0.5, 1, 1.5, 2, 2.5, 3, -1, 3.5};
  for (std::size_t i = 0; i < 9; ++i) {
    ASSERT_EQ(kC.lblArrivalGraph[i].exists, i != 7);
    if (i == 7)
      continue;
    EXPECT_NEAR(Centre(kC.lblArrivalGraph[i].label.box),
                5580 + 1440 * seconds[i] - 50, 5)
        << i;
  }
}

TEST(layout, bars_and_markers_have_their_looks) {
  struct Row {
    const Shape *first;
    std::size_t count;
    Single left, pitch, width;
    Long fill;
  };
  const Row rows[] = {{kC.shpOneBar.data(), 8, 720, 360, 255, kPurple},
                      {kC.shpInterArrivalBar.data(), 14, 5580, 360, 255, kNavy},
                      {kC.shpTwoBar.data(), 23, 4740, 120, 105, kGreen},
                      {kC.shpThreeBar.data(), 23, 8520, 120, 105, kGreen}};
  for (const Row &r : rows)
    for (std::size_t i = 0; i < r.count; ++i) {
      const Shape &b = r.first[i];
      EXPECT_EQ(b.box.left, r.left + r.pitch * static_cast<Single>(i));
      EXPECT_EQ(b.box.width, r.width);
      EXPECT_EQ(b.fillColor, r.fill);
      EXPECT_TRUE(b.filled);
      EXPECT_EQ(b.outlinePixels, 0);
    }
  for (const Shape &p : kC.sPacket) {
    EXPECT_EQ(p.kind, ShapeKind::Oval);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(p.box.width, 375);
    EXPECT_EQ(p.box.height, 855);
    EXPECT_EQ(p.outlinePixels, 3);
  }
  EXPECT_EQ(kC.shpDataBorder.outlinePixels, 3);
  EXPECT_FALSE(kC.shpDataBorder.filled);
  EXPECT_TRUE(kC.lblServiced.font.bold);
  EXPECT_FALSE(kC.lblServiced.transparent);
}

} // namespace
} // namespace arrivals
