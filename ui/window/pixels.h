#pragma once

#include <cmath>

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>

#include "ui/controls.h"

namespace arrivals {

// The form keeps its geometry in twips; the window paints in logical pixels
// and leaves high-DPI scaling to Qt. A coordinate becomes the nearest whole
// pixel, and a box is converted edge by edge, so boxes that share an edge in
// twips share it in pixels and a bar of Height 0 has no pixels at all.

inline int toPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline QRect toPixels(const Box &b) {
  const int left = toPixels(b.left);
  const int top = toPixels(b.top);
  const int right = toPixels(static_cast<double>(b.left) + b.width);
  const int bottom = toPixels(static_cast<double>(b.top) + b.height);
  return QRect(left, top, right - left, bottom - top);
}

inline QLine toPixels(const Line &l) {
  return QLine(toPixels(l.x1), toPixels(l.y1), toPixels(l.x2), toPixels(l.y2));
}

// Colours are held red in the low byte.
inline QColor toColor(Long rgb) {
  return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff);
}

} // namespace arrivals
