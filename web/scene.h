#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/drawing.h"

namespace arrivals {

// The painted part of the form as the page's canvas draws it: flat numbers
// in CSS pixels, in painting order. Each item starts with its kind and its
// layer; the page keeps the still layer (ground, lines, labels, logo) as a
// picture and paints the moving one (bars, markers, the count) over it.
//
//   kRect, layer, x, y, w, h, filled, fill, outline px, outline colour
//   kOval, the same
//   kLine, layer, x1, y1, x2, y2, width
//   kText, layer, x, y, w, h, font px, bold, centred, opaque ground, text
//   kLogo, layer, x, y, w, h
//
// Colours are 0xRRGGBB; `text` is the index of the item's text in `texts`,
// where texts are separated by the byte 0x1F (no caption holds it).
enum SceneKind : std::uint8_t { kRect = 1, kOval, kLine, kText, kLogo };
enum SceneLayer : std::uint8_t { kStill = 0, kMoving = 1 };

struct Scene {
  std::vector<float> numbers;
  std::string texts;
  // Changes whenever `texts` or an item of the still layer changes.
  double textsVersion = 0;

  void Build(const Controls &c);

private:
  std::string lastStill_;
  std::vector<float> still_;
  // The drawing of the controls last built from.
  const Controls *drawnControls_ = nullptr;
  std::optional<Drawing> drawing_;
};

// 0xRRGGBB of a colour of the form.
std::uint32_t RgbOf(Long color);

// The real controls (buttons, boxes and view buttons) as JSON: captions,
// texts, lists, colours, selection and each one's box in CSS pixels.
std::string ControlsJson(const Controls &c);

} // namespace arrivals
