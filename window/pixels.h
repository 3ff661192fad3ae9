#pragma once

#include <algorithm>
#include <cmath>

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>

#include "ui/controls.h"
#include "ui/zoom.h"

namespace arrivals {

// The form keeps its geometry in twips; the window paints in logical pixels
// at its zoom (see ui/zoom.h) and leaves high-DPI scaling to Qt. A
// coordinate becomes the nearest whole pixel, and a box is converted edge by
// edge, so boxes that share an edge in twips share it in pixels and a bar of
// Height 0 has no pixels at all.

inline int toPixels(double twips, double zoom = 1) {
  return ZoomedPixels(twips, zoom);
}

inline QRect toPixels(const Box &b, double zoom = 1) {
  const int left = toPixels(b.left, zoom);
  const int top = toPixels(b.top, zoom);
  const int right = toPixels(static_cast<double>(b.left) + b.width, zoom);
  const int bottom = toPixels(static_cast<double>(b.top) + b.height, zoom);
  return QRect(left, top, right - left, bottom - top);
}

inline QLine toPixels(const Line &l, double zoom = 1) {
  return QLine(toPixels(l.x1, zoom), toPixels(l.y1, zoom), toPixels(l.x2, zoom),
               toPixels(l.y2, zoom));
}

// A width in pixels at zoom 1 (a line's, an outline's) at `zoom`: never
// thinner than one pixel.
inline int zoomedWidth(int pixels, double zoom) {
  if (pixels <= 0)
    return 0;
  return std::max(1, static_cast<int>(std::lround(pixels * zoom)));
}

// Colours are held red in the low byte.
inline QColor toColor(Long rgb) {
  return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff);
}

} // namespace arrivals
