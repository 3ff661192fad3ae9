#include "ui/logo.h"

namespace arrivals {

std::array<LogoPart, 8> LogoParts(const Box &box) {
  const float k = box.width / kLogo.width;
  const auto at = [&](float x, float y) {
    return LogoPoint{box.left + x * k, box.top + y * k};
  };
  const auto bar = [&](float left, float top, float right, float bottom) {
    LogoPart p;
    p.count = 4;
    p.corners = {at(left, top), at(right, top), at(right, bottom),
                 at(left, bottom)};
    return p;
  };

  std::array<LogoPart, 8> parts;
  parts[0].kind = LogoPart::Kind::Lettering;
  parts[0].corners[0] = at(kLogo.baseline.x, kLogo.baseline.y);
  parts[0].size = kLogo.size * k;
  parts[1] =
      bar(kLogo.lineLeft, kLogo.lineTop, kLogo.lineRight, kLogo.lineBottom);
  parts[2].count = 3;
  for (std::size_t i = 0; i < 3; ++i)
    parts[2].corners[i] = at(kLogo.arrowhead[i].x, kLogo.arrowhead[i].y);
  for (std::size_t i = 0; i < kLogo.ticks.size(); ++i)
    parts[3 + i] = bar(kLogo.ticks[i], kLogo.tickTop,
                       kLogo.ticks[i] + kLogo.tickWidth, kLogo.lineTop);
  return parts;
}

} // namespace arrivals
