#pragma once

#include <string>
#include <vector>

#include "model/variance_time.h"
#include "ui/controls.h"
#include "ui/drawing.h"

namespace arrivals {

// The variance-time plot of a run as the form's own drawn controls, so that
// every front end paints it with the painter it paints the form with: the
// log-log plot of the variance of the block means against block size, the
// fitted line, Poisson's slope (-1) dotted through the first fitted point,
// and H, the fit range and the seconds used written beside it. Points whose
// variance is 0 have no place on a log scale and are left out of the
// picture (the table of points holds them).
class VariancePlot {
public:
  // The plot's own size, in twips: 600 x 440 pixels.
  static constexpr Single kWidth = 9000;
  static constexpr Single kHeight = 6600;

  explicit VariancePlot(VarianceTime plot);
  VariancePlot(const VariancePlot &) = delete;
  VariancePlot &operator=(const VariancePlot &) = delete;

  // Bottom to top, on a white ground of kWidth x kHeight.
  const std::vector<DrawItem> &items() const { return items_; }
  const VarianceTime &plot() const { return plot_; }

private:
  VarianceTime plot_;
  std::vector<Shape> shapes_;
  std::vector<Line> lines_;
  std::vector<Label> labels_;
  std::vector<DrawItem> items_;
};

// The plot in words, for a screen reader: the seconds used, H and the fit,
// or the sentence that takes their place.
std::string VarianceSummary(const VarianceTime &plot);

// The header and one row per point of the table of points, as shown beside
// the plot: block size, blocks, variance (6 significant digits).
std::vector<std::string> VarianceTableHeader();
std::vector<std::vector<std::string>>
VarianceTableRows(const VarianceTime &plot);

} // namespace arrivals
