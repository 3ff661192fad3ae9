#include "ui/variance_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace arrivals {

namespace {

inline constexpr Long kWhite = Rgb(255, 255, 255);
inline constexpr Long kPointColor = Rgb(192, 0, 0);
inline constexpr Long kDotColor = Rgb(96, 96, 96);

// The frame of the plot, in twips.
inline constexpr Single kLeft = 1200;
inline constexpr Single kTop = 1000;
inline constexpr Single kRight = 8500;
inline constexpr Single kBottom = 5500;
inline constexpr Single kLineHeight = 300;

std::string Printed(const char *format, double value) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string SecondsUsed(const VarianceTime &plot) {
  std::string text = std::to_string(plot.secondsUsed) + " seconds of the run";
  if (plot.secondsUsed > 0)
    text += ", from " +
            ClockText(plot.seconds.firstMs >= 1000 ? plot.seconds.firstMs - 1000
                                                   : 0) +
            " to " + ClockText(plot.seconds.lastMs) + " of program time";
  return text;
}

std::string FitText(const VarianceTime &plot) {
  return "fit over block sizes " + std::to_string(plot.fitFrom) + " to " +
         std::to_string(plot.fitTo) + " s (" + std::to_string(plot.fitted) +
         " points), slope " + Printed("%.3f", plot.slope);
}

} // namespace

VariancePlot::VariancePlot(VarianceTime plot) : plot_(std::move(plot)) {
  // The decades the positive variances span, at least one.
  double low = 0;
  double high = 0;
  bool any = false;
  for (const VariancePoint &p : plot_.points) {
    if (p.variance <= 0)
      continue;
    const double y = std::log10(p.variance);
    low = any ? std::min(low, y) : y;
    high = any ? std::max(high, y) : y;
    any = true;
  }
  low = std::floor(low);
  high = std::max(std::ceil(high), low + 1);
  const auto x = [](double k) {
    return kLeft + static_cast<Single>(std::log10(k) / 2) * (kRight - kLeft);
  };
  const auto y = [&](double v) {
    return kBottom - static_cast<Single>((std::log10(v) - low) / (high - low)) *
                         (kBottom - kTop);
  };

  const auto label = [this](Single left, Single top, Single width,
                            std::string caption, Alignment align, float points,
                            bool bold) {
    Label &l = labels_.emplace_back();
    l.box = {left, top, width, kLineHeight};
    l.caption = std::move(caption);
    l.alignment = align;
    l.font = {points, bold};
  };
  const auto line = [this](Single x1, Single y1, Single x2, Single y2,
                           int width) {
    lines_.push_back({x1, y1, x2, y2, width});
  };
  const auto shape = [this](ShapeKind kind, Box box, Long fill, int outline) {
    Shape &s = shapes_.emplace_back();
    s.kind = kind;
    s.box = box;
    s.filled = true;
    s.fillColor = fill;
    s.outlinePixels = outline;
  };

  shape(ShapeKind::Rectangle, {0, 0, kWidth, kHeight}, kWhite, 0);
  shape(ShapeKind::Rectangle,
        {kLeft, kTop, kRight - kLeft + 15, kBottom - kTop + 15}, kWhite, 1);
  // Ticks and their numbers: every decade of block size and of variance.
  for (int d = 0; d <= 2; ++d) {
    const Single at = x(std::pow(10.0, d));
    line(at, kBottom, at, kBottom + 90, 1);
    label(at - 400, kBottom + 120, 800,
          d == 0   ? "1"
          : d == 1 ? "10"
                   : "100",
          Alignment::Center, 8, false);
  }
  // Whole decades: low and high are whole numbers.
  for (auto decade = static_cast<int>(low); decade <= static_cast<int>(high);
       ++decade) {
    const double d = decade;
    const Single at = y(std::pow(10.0, d));
    line(kLeft - 90, at, kLeft, at, 1);
    label(60, at - 120, kLeft - 180, Printed("%g", std::pow(10.0, d)),
          Alignment::Center, 8, false);
  }
  label(kLeft, kBottom + 420, kRight - kLeft, "block size m, seconds",
        Alignment::Center, 8, false);
  label(60, kTop - 320, 6000, "variance of the mean count of a block",
        Alignment::Left, 8, false);
  label(150, 60, kWidth - 300, "Variance-time plot of this run",
        Alignment::Left, 10, true);
  label(150, 360, kWidth - 300, SecondsUsed(plot_), Alignment::Left, 8, false);

  if (plot_.hasFit()) {
    // Poisson's slope through the first fitted point, dotted.
    const double k0 = plot_.fitFrom;
    const double v0 =
        std::pow(10.0, plot_.intercept + plot_.slope * std::log10(k0));
    for (int i = 0; i <= 40; ++i) {
      const double k = k0 * std::pow(100 / k0, i / 40.0);
      const double v = v0 * k0 / k;
      if (std::log10(v) < low)
        break;
      shape(ShapeKind::Rectangle, {x(k) - 22, y(v) - 22, 45, 45}, kDotColor, 0);
    }
    const double k1 = plot_.fitTo;
    line(x(k0), y(v0), x(k1),
         y(std::pow(10.0, plot_.intercept + plot_.slope * std::log10(k1))), 2);
    const Single textLeft = kRight - 4200;
    label(textLeft, kTop + 90, 4100, "H = " + Printed("%.3f", plot_.hurst),
          Alignment::Left, 10, true);
    label(textLeft, kTop + 420, 4100, FitText(plot_), Alignment::Left, 8,
          false);
    label(textLeft, kTop + 720, 4100, "dotted: Poisson's slope, -1 (H = 0.5)",
          Alignment::Left, 8, false);
  } else {
    label(kLeft + 150, kTop + 150, kRight - kLeft - 300, plot_.verdict,
          Alignment::Center, 10, true);
  }
  for (const VariancePoint &p : plot_.points) {
    if (p.variance > 0)
      shape(ShapeKind::Oval,
            {x(p.blockSeconds) - 60, y(p.variance) - 60, 120, 120}, kPointColor,
            0);
  }

  // The items, now that no vector grows: bottom to top as made, but the
  // ground and frame first, lines over the dots, labels, then the points.
  const auto add = [this](Paint paint, std::string_view array, int index) {
    return AddDrawItem(items_, paint, array, index);
  };
  int i = 0;
  for (const Shape &s : shapes_) {
    if (s.kind == ShapeKind::Rectangle)
      add(Paint::Rectangle, "shpPlot", i)->shape = &s;
    ++i;
  }
  i = 0;
  for (const Line &l : lines_)
    add(Paint::Line, "lnePlot", i++)->line = &l;
  i = 0;
  for (const Label &l : labels_)
    add(Paint::Text, "lblPlot", i++)->label = &l;
  i = 0;
  for (const Shape &s : shapes_) {
    if (s.kind == ShapeKind::Oval)
      add(Paint::Oval, "shpPoint", i)->shape = &s;
    ++i;
  }
}

std::string VarianceSummary(const VarianceTime &plot) {
  std::string text = "Variance-time plot of " + SecondsUsed(plot) + ". ";
  if (!plot.hasFit())
    return text + plot.verdict + ".";
  return text + "H is " + Printed("%.3f", plot.hurst) +
         " (0.5 for a stream with no memory); the line is fitted over block "
         "sizes " +
         std::to_string(plot.fitFrom) + " to " + std::to_string(plot.fitTo) +
         " seconds, " + std::to_string(plot.fitted) + " points, with slope " +
         Printed("%.3f", plot.slope) + " against Poisson's -1.";
}

std::vector<std::string> VarianceTableHeader() {
  return {"block size, s", "blocks", "variance of the block means"};
}

std::vector<std::vector<std::string>>
VarianceTableRows(const VarianceTime &plot) {
  std::vector<std::vector<std::string>> rows;
  for (const VariancePoint &p : plot.points)
    rows.push_back({std::to_string(p.blockSeconds), std::to_string(p.blocks),
                    Printed("%.6g", p.variance)});
  return rows;
}

} // namespace arrivals
