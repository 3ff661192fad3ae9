// The zoom's arithmetic: pixels at a zoom, its steps and the fit to a screen.

#include <gtest/gtest.h>

#include "ui/zoom.h"

namespace arrivals {
namespace {

TEST(zoom, client_area_in_pixels_halves_up) {
  struct Row {
    double zoom;
    int width, height;
  };
  for (const Row &r :
       {Row{1, 844, 645}, Row{2, 1688, 1290}, Row{0.5, 422, 323},
        Row{1.25, 1055, 806}, Row{1.1, 928, 710}, Row{4, 3376, 2580}}) {
    EXPECT_EQ(ZoomedPixels(kClientWidth, r.zoom), r.width) << r.zoom;
    EXPECT_EQ(ZoomedPixels(kClientHeight, r.zoom), r.height) << r.zoom;
  }
}

// Ctrl++ and Ctrl+- step by a quarter, from between two steps to the nearer
// one that way, and stop at the ends; a zoom a hair's breadth from a step
// counts as on it.
TEST(zoom, steps_by_a_quarter) {
  struct Row {
    double zoom, in, out;
  };
  for (const Row &r :
       {Row{1, 1.25, 0.75}, Row{1.1, 1.25, 1}, Row{0.5, 0.75, 0.5},
        Row{4, 4, 3.75}, Row{3.9, 4, 3.75}, Row{1.25 + 1e-9, 1.5, 1},
        Row{1 - 1e-9, 1.25, 0.75}, Row{1 + 1e-9, 1.25, 0.75}}) {
    EXPECT_DOUBLE_EQ(ZoomIn(r.zoom), r.in) << r.zoom;
    EXPECT_DOUBLE_EQ(ZoomOut(r.zoom), r.out) << r.zoom;
  }
}

// Room in pixels for the client area; the fit never shrinks the form below
// its own size unless asked for less.
TEST(zoom, fits_the_screen) {
  struct Row {
    double wanted, width, height, zoom;
  };
  for (const Row &r : {
           Row{2, 1920, 1200,
               1920.0 / 844 < 1200.0 / 645 ? 1920.0 / 844 : 1200.0 / 645},
           Row{2, 1688, 1290, 2},
           Row{2, 1687, 1290, 1687.0 / 844},
           Row{1.5, 3840, 2160, 1.5},
           Row{1.5, 800, 600, 1},
           Row{1, 800, 600, 1},
           Row{0.75, 400, 300, 0.75},
       })
    EXPECT_DOUBLE_EQ(FitZoom(r.wanted, r.width, r.height), r.zoom)
        << r.wanted << " on " << r.width << "x" << r.height;
}

} // namespace
} // namespace arrivals
