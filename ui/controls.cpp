#include "ui/controls.h"

#include "model/arrival_processes.h"

namespace arrivals {

namespace {

constexpr Font kPt12{12, false};
constexpr Font kPt13_5{13.5f, false};
constexpr Font kPt16_5{16.5f, false};
constexpr Font kPt18{18, false};

Label MakeLabel(Box box, std::string caption, Font font, Alignment alignment,
                bool transparent) {
  Label l;
  l.box = box;
  l.caption = std::move(caption);
  l.font = font;
  l.alignment = alignment;
  l.transparent = transparent;
  return l;
}

Line MakeLine(Single x1, Single y1, Single x2, Single y2, int width) {
  return Line{x1, y1, x2, y2, width};
}

// A row of solid bars without outline, flat on their baseline.
template <std::size_t N>
void MakeBars(std::array<Shape, N> &bars, Single firstLeft, Single pitch,
              Single width, Long fill, Single baseline) {
  for (std::size_t i = 0; i < N; ++i) {
    Shape &b = bars[i];
    b.kind = ShapeKind::Rectangle;
    b.box = {firstLeft + pitch * static_cast<Single>(i), baseline, width, 0};
    b.filled = true;
    b.fillColor = fill;
    b.outlinePixels = 0;
  }
}

} // namespace

Controls CreateControls() {
  Controls c;

  // The control panel and the counter.
  c.shpDataBorder.kind = ShapeKind::Rectangle;
  c.shpDataBorder.box = {360, 120, 3495, 2415};
  c.shpDataBorder.filled = false;
  c.shpDataBorder.outlinePixels = 3;
  c.shpDataBorder.outlineColor = kDarkBlue;
  c.shpDataBorder.fillColor = kDarkBlue;

  c.cmbExperiment = {
      {480, 240, 3255, 555}, std::string(kStartProcess), {}, kBlack, kPt16_5};
  c.btnStart = {{600, 960, 1335, 615}, "Start", kPt18};
  c.btnPause = {{2160, 960, 1335, 615}, "Pause", kPt18};
  c.cmbData = {{1320, 1800, 1335, 555}, "Combo1", {}, kBlack, kPt16_5};
  c.lblDataRate = MakeLabel({2760, 1875, 975, 375}, "pkts/s", kPt16_5,
                            Alignment::Left, true);
  c.optGraphs[0] = {{600, 2640, 1575, 375}, "Quelva", false, kPt13_5};
  c.optGraphs[1] = {{2220, 2640, 1575, 375}, "Pkts/Sec", false, kPt13_5};
  c.lblServiced = MakeLabel({3960, 600, 1095, 375}, "0000", {13.5f, true},
                            Alignment::Left, false);

  // The track and its markers, all hidden until launched.
  c.Line1 = MakeLine(3840, 480, 11040, 480, 1);
  for (Shape &p : c.sPacket) {
    p.kind = ShapeKind::Oval;
    p.box = {0, 0, 375, 855};
    p.filled = true;
    p.fillColor = kBlack;
    p.outlinePixels = 3;
    p.outlineColor = kBlack;
    p.visible = false;
  }

  // Axes and arrowheads of the four graphs.
  c.lneGraph = {
      // graph one
      MakeLine(480, 4080, 360, 4320, 2),
      MakeLine(480, 4080, 600, 4320, 2),
      MakeLine(480, 4080, 480, 8220, 3),
      MakeLine(480, 8220, 3840, 8220, 3), // baseline
      MakeLine(3840, 8220, 3600, 8340, 2),
      MakeLine(3840, 8220, 3600, 8100, 2),
      // inter-arrival histogram
      MakeLine(5340, 1500, 5220, 1740, 2),
      MakeLine(5340, 1500, 5460, 1740, 2),
      MakeLine(5340, 1500, 5340, 4380, 3),
      MakeLine(5340, 4380, 11100, 4380, 3), // baseline
      MakeLine(11100, 4380, 10860, 4500, 2),
      MakeLine(11100, 4380, 10860, 4260, 2),
      // graph two
      MakeLine(4500, 5700, 4380, 5940, 2),
      MakeLine(4500, 5700, 4620, 5940, 2),
      MakeLine(7860, 8220, 7620, 8340, 2),
      MakeLine(7860, 8220, 7620, 8100, 2),
      MakeLine(4500, 8220, 7860, 8220, 3), // baseline
      MakeLine(4500, 5700, 4500, 8220, 3),
      // graph three
      MakeLine(8400, 5700, 8280, 5940, 2),
      MakeLine(8400, 5700, 8520, 5940, 2),
      MakeLine(11760, 8220, 11520, 8340, 2),
      MakeLine(11760, 8220, 11520, 8100, 2),
      MakeLine(8400, 8220, 11760, 8220, 3), // baseline
      MakeLine(8400, 5700, 8400, 8220, 3),
  };

  MakeBars(c.shpOneBar, 720, 360, 255, kPurple,
           c.lneGraph[kGraphOneBaseline].y1);
  MakeBars(c.shpInterArrivalBar, 5580, 360, 255, kNavy,
           c.lneGraph[kInterArrivalBaseline].y1);
  MakeBars(c.shpTwoBar, 4740, 120, 105, kGreen,
           c.lneGraph[kGraphTwoBaseline].y1);
  MakeBars(c.shpThreeBar, 8520, 120, 105, kGreen,
           c.lneGraph[kGraphThreeBaseline].y1);

  // Labels of the graphs.
  c.lblGraphTitle[0] = MakeLabel({360, 3780, 3615, 495}, "Pkts Per Sec",
                                 kPt16_5, Alignment::Center, true);
  c.lblGraphTitle[1] =
      MakeLabel({4260, 5700, 3615, 495}, "", kPt16_5, Alignment::Center, true);
  c.lblGraphTitle[2] =
      MakeLabel({8280, 5700, 3615, 495}, "", kPt16_5, Alignment::Center, true);
  c.lblYAxis[0] =
      MakeLabel({600, 4260, 525, 375}, "p(x)", kPt13_5, Alignment::Left, false);
  c.lblYAxis[1] =
      MakeLabel({4740, 3060, 525, 375}, "p(x)", kPt13_5, Alignment::Left, true);
  c.lblYAxis[2] =
      MakeLabel({10740, 3900, 525, 300}, "sec", kPt13_5, Alignment::Left, true);

  constexpr Single kGraphLefts[8] = {660,  1020, 1380, 1740,
                                     2100, 2460, 2805, 3165};
  for (std::size_t i = 0; i < 8; ++i) {
    const Single height = i == 1 ? 420 : 375; // item 1 is a little taller
    c.lblGraph[i] = MakeLabel({kGraphLefts[i], 8220, 375, height}, "0", kPt16_5,
                              Alignment::Center, true);
    const Single offset = 360 * static_cast<Single>(i);
    c.lblGraphTwo[i] = MakeLabel({4740 + offset, 8220, 375, height}, "", kPt12,
                                 Alignment::Center, true);
    c.lblGraphThree[i] = MakeLabel({8520 + offset, 8220, 375, height}, "",
                                   kPt12, Alignment::Center, true);
  }

  c.lblMeanWaitingTime =
      MakeLabel({6540, 1680, 2895, 375}, "Interarrival Times", kPt16_5,
                Alignment::Center, true);

  struct Tick {
    Single left;
    const char *caption;
  };
  constexpr Tick kArrivalTicks[9] = {
      {5340, "0"},   {5940, "0.5"}, {6660, "1"},  {7380, "1.5"}, {8100, "2"},
      {8820, "2.5"}, {9540, "3"},   {0, nullptr}, {10260, "3.5"}};
  for (std::size_t i = 0; i < 9; ++i) {
    if (kArrivalTicks[i].caption == nullptr)
      continue; // there is no item 7
    const Single width = i == 0 ? 375 : 615;
    c.lblArrivalGraph[i] = {true,
                            MakeLabel({kArrivalTicks[i].left, 4440, width, 375},
                                      kArrivalTicks[i].caption, kPt13_5,
                                      Alignment::Center, true)};
  }

  c.Image1.box = {8040, 8880, 4500, 720};
  c.tmrMain = {50, true};
  return c;
}

const Shape &ShapeAt(const Controls &c, ShapeGroup group, int index) {
  const auto i = static_cast<std::size_t>(index);
  switch (group) {
  case ShapeGroup::Packet:
    return c.sPacket.at(i);
  case ShapeGroup::OneBar:
    return c.shpOneBar.at(i);
  case ShapeGroup::InterArrivalBar:
    return c.shpInterArrivalBar.at(i);
  case ShapeGroup::TwoBar:
    return c.shpTwoBar.at(i);
  case ShapeGroup::ThreeBar:
    break;
  }
  return c.shpThreeBar.at(i);
}

const Label &LabelAt(const Controls &c, LabelGroup group, int index) {
  const auto i = static_cast<std::size_t>(index);
  switch (group) {
  case LabelGroup::Serviced:
    return c.lblServiced;
  case LabelGroup::Graph:
    return c.lblGraph.at(i);
  case LabelGroup::GraphTwo:
    return c.lblGraphTwo.at(i);
  case LabelGroup::GraphThree:
    return c.lblGraphThree.at(i);
  case LabelGroup::GraphTitle:
    break;
  }
  return c.lblGraphTitle.at(i);
}

} // namespace arrivals
