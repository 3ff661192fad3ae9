// The logo's parts placed in a box: in Image1's box in twips, where the page
// paints them, and at its own size in the logo's units, where the window
// does.

#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/logo.h"

namespace arrivals {
namespace {

TEST(logo, parts_scale_with_their_box) {
  const Box image = CreateControls().Image1.box; // 4500 x 720 twips
  ASSERT_EQ(image.width, kLogo.width * 15);
  struct Case {
    Box box;
    std::size_t part, corner;
    float x, y;
  } const kCases[] = {
      // The lettering's baseline, 6 and 37 logo units in.
      {image, 0, 0, image.left + 90, image.top + 555},
      {{0, 0, 300, 48}, 0, 0, 6, 37},
      // The time line's far bottom corner; the arrow's point.
      {image, 1, 2, image.left + 284 * 15, image.top + 32.6F * 15},
      {{10, 20, 600, 96}, 2, 0, 10 + 588, 20 + 63.6F},
      // The last tick: its top left and its bottom right, on the line.
      {image, 7, 0, image.left + 261 * 15, image.top + 19 * 15},
      {{0, 0, 300, 48}, 7, 2, 262.6F, 31},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(::testing::Message() << "part " << c.part << " corner "
                                      << c.corner << " box " << c.box.width);
    const auto parts = LogoParts(c.box);
    EXPECT_FLOAT_EQ(parts[c.part].corners[c.corner].x, c.x);
    EXPECT_FLOAT_EQ(parts[c.part].corners[c.corner].y, c.y);
  }
  const auto parts = LogoParts(image);
  EXPECT_EQ(parts[0].kind, LogoPart::Kind::Lettering);
  EXPECT_FLOAT_EQ(parts[0].size, 600);
  EXPECT_EQ(parts[1].count, 4u);
  EXPECT_EQ(parts[2].count, 3u);
  for (std::size_t i = 3; i < parts.size(); ++i)
    EXPECT_EQ(parts[i].kind, LogoPart::Kind::Polygon) << i;
}

} // namespace
} // namespace arrivals
