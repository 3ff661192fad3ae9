#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "ui/controls.h"

namespace arrivals {

// The wordmark that Image1 shows: "Arrivals" in dark blue serif, then a time
// line whose ticks are packet arrivals, on a transparent ground. Every
// number of it lives here, in the logo's own units: pixels of the 300 x 48
// picture shown at scale 1. The window paints it from this table, the page
// from the scene's records of LogoParts, and the pictures window/logo.png and
// logo@2x.png are made by painting it (window/make_logo.cpp).
struct LogoPoint {
  float x = 0, y = 0;
};

struct LogoTable {
  float width = 300, height = 48;
  Long ink = Rgb(44, 44, 150);

  // The lettering: its text and face, its size (the em, in logo units) and
  // where its baseline starts.
  std::string_view text = "Arrivals";
  std::string_view font = "Liberation Serif";
  bool bold = true;
  float size = 40;
  LogoPoint baseline{6, 37};

  // The time line, its arrowhead and the arrivals on it, filled in the ink.
  float lineLeft = 178, lineTop = 31, lineRight = 284, lineBottom = 32.6F;
  std::array<LogoPoint, 3> arrowhead{
      {{294, 31.8F}, {282, 26.5F}, {282, 37.1F}}};
  std::array<float, 5> ticks{186, 201, 207, 234, 261}; // their left edges
  float tickWidth = 1.6F, tickTop = 19;                // down to the line
};

inline constexpr LogoTable kLogo{};

// One part of the logo, placed: a polygon filled in kLogo.ink (the time
// line, the arrowhead, a tick), or the lettering in kLogo's face and ink,
// its baseline starting at corners[0] and `size` its em.
struct LogoPart {
  enum class Kind : unsigned char { Polygon, Lettering };
  Kind kind = Kind::Polygon;
  std::size_t count = 0; // Polygon: its corners, 3 or 4
  std::array<LogoPoint, 4> corners{};
  float size = 0; // Lettering
};

// Every part of the logo, bottom to top (the lettering first), with the
// logo's top left corner at `box`'s and its width filling the box's width,
// in the box's units: twips for Image1's box, logo units for
// Box{0, 0, kLogo.width, kLogo.height}.
std::array<LogoPart, 8> LogoParts(const Box &box);

} // namespace arrivals
