// The variance-time plot as drawn items: everything inside the plot, a
// point for each positive variance, the fitted line between the fitted
// sizes, and H, the fit or the sentence written beside it and in words.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/variance_plot.h"

namespace arrivals {
namespace {

RunSeconds Repeat(const std::vector<Integer> &pattern, std::size_t seconds) {
  RunSeconds run;
  for (std::size_t i = 0; i < seconds; ++i)
    run.Add(1000 * (i + 11), pattern[i % pattern.size()]);
  return run;
}

std::vector<std::string> Captions(const VariancePlot &plot) {
  std::vector<std::string> captions;
  for (const DrawItem &item : plot.items())
    if (item.label != nullptr)
      captions.push_back(item.label->caption);
  return captions;
}

bool Has(const std::vector<std::string> &all, const std::string &text) {
  return std::find(all.begin(), all.end(), text) != all.end();
}

TEST(variance_plot, draws_the_points_the_fit_and_what_it_says) {
  const struct {
    const char *name;
    RunSeconds run;
    std::size_t ovals;   // points with a variance above 0
    std::string written; // a caption beside the plot
    std::string inWords; // part of the summary
  } rows[] = {
      {"fitted", Repeat({1, 4, 0, 2, 0, 0, 3, 1, 0, 0, 5}, 600), 15,
       "H = ", "H is "},
      // Blocks of even size all hold the same: those points are left out
      // of the picture and of the fit.
      {"zeros left out", Repeat({0, 2}, 600), 5, "H = ", "H is "},
      {"too short", Repeat({3, 1}, 12), 1,
       "too short: 12 seconds, at least 30 needed", "too short"},
      {"flat", Repeat({1}, 60), 0,
       "no variation: every second holds the same count", "no variation"},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.name);
    const VarianceTime computed = ComputeVarianceTime(r.run);
    const VariancePlot plot(computed);
    std::size_t ovals = 0;
    std::vector<const Line *> fitted;
    for (const DrawItem &item : plot.items()) {
      const Box b = item.bounds();
      EXPECT_GE(b.left, 0) << item.name();
      EXPECT_GE(b.top, 0) << item.name();
      EXPECT_LE(b.left + b.width, VariancePlot::kWidth) << item.name();
      EXPECT_LE(b.top + b.height, VariancePlot::kHeight) << item.name();
      ovals += item.paint == Paint::Oval;
      if (item.line != nullptr && item.line->widthPixels == 2)
        fitted.push_back(item.line);
    }
    EXPECT_EQ(ovals, r.ovals);
    const auto captions = Captions(plot);
    const bool found =
        std::any_of(captions.begin(), captions.end(),
                    [&](const auto &c) { return c.rfind(r.written, 0) == 0; });
    EXPECT_TRUE(found) << r.written;
    EXPECT_NE(VarianceSummary(computed).find(r.inWords), std::string::npos);
    EXPECT_TRUE(Has(captions, "Variance-time plot of this run"));
    EXPECT_EQ(fitted.size(), computed.hasFit() ? 1U : 0U);
    if (computed.hasFit()) {
      // From the first fitted size to the last, falling.
      EXPECT_LT(fitted[0]->x1, fitted[0]->x2);
      EXPECT_LT(fitted[0]->y1, fitted[0]->y2);
      char h[16];
      std::snprintf(h, sizeof h, "H = %.3f", computed.hurst);
      EXPECT_TRUE(Has(captions, h));
    }
    EXPECT_EQ(VarianceTableRows(computed).size(), computed.points.size());
  }
}

TEST(variance_plot, names_the_seconds_used) {
  const VariancePlot plot(ComputeVarianceTime(Repeat({1, 2}, 3600)));
  EXPECT_TRUE(Has(Captions(plot), "3600 seconds of the run, from 0:00:10 "
                                  "to 1:00:10 of program time"));
}

} // namespace
} // namespace arrivals
