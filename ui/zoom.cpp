#include "ui/zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace arrivals {

std::optional<double> ParseZoom(std::string_view text) {
  // The digits as one whole number and a power of ten, divided once at the
  // end, so that "1.1" is the double nearest to 1.1. Digits past the
  // fifteenth cannot bring a zoom back into range and are only checked.
  std::int64_t digits = 0;
  double divisor = 1;
  int count = 0;
  bool any = false;
  bool point = false;
  for (char ch : text) {
    if (ch == '.' && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9')
      return std::nullopt;
    any = true;
    if (count == 15) {
      if (!point)
        return std::nullopt; // a whole part of sixteen digits
      continue;
    }
    if (digits > 0 || ch != '0')
      ++count;
    digits = digits * 10 + (ch - '0');
    if (point)
      divisor *= 10;
  }
  if (!any)
    return std::nullopt;
  const double zoom = static_cast<double>(digits) / divisor;
  if (zoom < kMinZoom || zoom > kMaxZoom)
    return std::nullopt;
  return zoom;
}

int ZoomedPixels(double twips, double zoom) {
  // Every coordinate of the form is 0 or more, so lround's halves away
  // from zero are halves up.
  return static_cast<int>(
      std::lround(twips * zoom / static_cast<double>(kTwipsPerPixel)));
}

// Steps are counted with a little slack, so that a zoom a hair's breadth
// from a step counts as on it.
double ZoomIn(double zoom) {
  const double steps = std::floor(zoom / kZoomStep + 1e-6);
  return std::clamp((steps + 1) * kZoomStep, kMinZoom, kMaxZoom);
}

double ZoomOut(double zoom) {
  const double steps = std::ceil(zoom / kZoomStep - 1e-6);
  return std::clamp((steps - 1) * kZoomStep, kMinZoom, kMaxZoom);
}

double FitZoom(double wanted, double width, double height) {
  const double fits =
      std::min(width * kTwipsPerPixel / static_cast<double>(kClientWidth),
               height * kTwipsPerPixel / static_cast<double>(kClientHeight));
  if (wanted <= fits)
    return wanted;
  return std::max(fits, std::min(wanted, 1.0));
}

} // namespace arrivals
