// The four bar graphs: flattening, labelling and rescaling.
#include <algorithm>

#include "model/numbers.h"
#include "ui/form.h"

namespace arrivals {

namespace {

// Full heights in twips: the tallest bar of a graph is drawn this tall.
constexpr double kGraphOneHeight = 2400;
constexpr double kInterArrivalHeight = 1920;
constexpr double kSeriesHeight = 1800;

constexpr std::size_t kTickLabels = 8;

} // namespace

void MainForm::SetBar(ShapeGroup group, Shape &bar, int index, Single top,
                      Single height) {
  const Shape before = bar;
  bar.box.top = top;
  bar.box.height = height;
  if (changes_)
    changes_->ShapeChanged(group, index, before);
}

// Every bar at the height of its element relative to the graph's largest
// element; a graph whose elements are all 0 keeps the bars it has, and so
// the counts in `drawn` that they show.
template <std::size_t N, std::size_t M>
void MainForm::ScaleGraph(ShapeGroup group, std::array<Shape, N> &bars,
                          const std::array<Integer, M> &data,
                          const Line &baseline, double fullHeight,
                          std::array<Integer, N> &drawn) {
  static_assert(N <= M);
  Integer max = 0;
  for (std::size_t k = 0; k < N; ++k)
    if (data[k] > max)
      max = data[k];
  if (max == 0)
    return;
  std::copy_n(data.begin(), N, drawn.begin());
  for (std::size_t k = 0; k < N; ++k) {
    const double b = baseline.y1; // read afresh for every bar
    const double h = fullHeight / max * data[k];
    SetBar(group, bars[k], static_cast<int>(k), static_cast<Single>(b - h),
           static_cast<Single>(h));
  }
}

template <std::size_t N>
void MainForm::FlattenGraph(ShapeGroup group, std::array<Shape, N> &bars,
                            const Line &baseline) {
  for (std::size_t k = 0; k < N; ++k)
    SetBar(group, bars[k], static_cast<int>(k), baseline.y1, 0);
}

void MainForm::DrawGraphs() {
  RunState &s = sim_.state;
  ++graphsVersion_;
  const bool series = c_.optGraphs[0].value;

  if (s.skipGraphOne) {
    s.skipGraphOne = false;
  } else {
    ScaleGraph(ShapeGroup::OneBar, c_.shpOneBar, s.histSecond,
               c_.lneGraph[kGraphOneBaseline], kGraphOneHeight, drawn_.one);
    ScaleGraph(ShapeGroup::InterArrivalBar, c_.shpInterArrivalBar, s.histGap,
               c_.lneGraph[kInterArrivalBaseline], kInterArrivalHeight,
               drawn_.gaps);
  }

  if (s.skipGraphTwo) {
    s.skipGraphTwo = false;
  } else {
    ScaleGraph(ShapeGroup::TwoBar, c_.shpTwoBar, series ? s.series3s : s.hist3s,
               c_.lneGraph[kGraphTwoBaseline], kSeriesHeight, drawn_.two);
  }

  if (s.skipGraphThree) {
    s.skipGraphThree = false;
    return;
  }
  ScaleGraph(ShapeGroup::ThreeBar, c_.shpThreeBar,
             series ? s.series10s : s.hist10s, c_.lneGraph[kGraphThreeBaseline],
             kSeriesHeight, drawn_.three);
}

void MainForm::ResetGraphs() {
  ++graphsVersion_;
  drawn_ = DrawnCounts{}; // every bar flat
  for (std::size_t i = 0; i < c_.shpOneBar.size(); ++i) {
    const int index = static_cast<int>(i);
    SetLabelCaption(LabelGroup::Graph, index, NumberText(index));
    SetBar(ShapeGroup::OneBar, c_.shpOneBar[i], index,
           c_.lneGraph[kGraphOneBaseline].y1, 0);
  }
  FlattenGraph(ShapeGroup::InterArrivalBar, c_.shpInterArrivalBar,
               c_.lneGraph[kInterArrivalBaseline]);
  for (std::size_t i = 0; i < c_.shpTwoBar.size(); ++i) {
    const int index = static_cast<int>(i);
    SetBar(ShapeGroup::TwoBar, c_.shpTwoBar[i], index,
           c_.lneGraph[kGraphTwoBaseline].y1, 0);
    SetBar(ShapeGroup::ThreeBar, c_.shpThreeBar[i], index,
           c_.lneGraph[kGraphThreeBaseline].y1, 0);
  }

  if (c_.optGraphs[0].value) {
    // Time series: no tick labels under graphs two and three.
    for (std::size_t n = 0; n < kTickLabels; ++n) {
      SetLabelVisible(LabelGroup::GraphTwo, static_cast<int>(n), false);
      SetLabelVisible(LabelGroup::GraphThree, static_cast<int>(n), false);
    }
    SetLabelCaption(LabelGroup::GraphTitle, 1, "Quelva per 3 s");
    SetLabelCaption(LabelGroup::GraphTitle, 2, "Quelva per 10 s");
  } else {
    // Histograms: a label under every third bar, from bar 1.
    for (std::size_t n = 0; n < kTickLabels; ++n) {
      const int index = static_cast<int>(n);
      SetLabelVisible(LabelGroup::GraphTwo, index, true);
      SetLabelCaption(LabelGroup::GraphTwo, index, NumberText(3 * index + 1));
      SetLabelVisible(LabelGroup::GraphThree, index, true);
      SetLabelCaption(LabelGroup::GraphThree, index, NumberText(6 * index + 2));
    }
    SetLabelCaption(LabelGroup::GraphTitle, 1, "Packets per 3 s");
    SetLabelCaption(LabelGroup::GraphTitle, 2, "Packets per 10 s");
  }
}

void MainForm::optGraphs_Click(Integer Index) {
  static_cast<void>(Index); // both buttons are handled alike
  ResetGraphs();
  DrawGraphs();
}

} // namespace arrivals
