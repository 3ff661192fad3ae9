#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/description.h"
#include "ui/drawing.h"
#include "web/scene_format.h"

namespace arrivals {

// The painted part of the form as the page's canvas draws it: records of
// flat numbers in CSS pixels, in painting order (web/scene_format.h says
// what each holds). The page keeps the still layer (ground, lines, labels,
// logo) as a picture and paints the moving one (bars, markers, the count)
// over it. Each build also lists the items that changed since the build
// before it, so that the page repaints those and compares nothing itself.
struct Scene {
  std::vector<float> numbers;
  std::string texts;
  std::vector<float> changes; // entries of scene::kChangeFields
  bool full = true;           // paint everything: no change list

  // `full` asks for a full frame; the first build is one whatever it asks.
  void Build(const Controls &c, bool full = false);

private:
  // Each drawn item as the last build made it, by its place in the drawing.
  struct Last {
    bool shown = false;
    std::size_t size = 0; // of the record's numbers
    std::array<float, scene::kMaxFields> record{};
    std::string caption;
  };
  std::vector<Last> last_;
  // The drawing of the controls last built from.
  const Controls *drawnControls_ = nullptr;
  std::optional<Drawing> drawing_;
};

// Records of any drawing's items (the variance-time plot's), all in the
// still layer, in the form's record format: the page paints them with the
// painter it paints the form with.
void BuildRecords(const std::vector<DrawItem> &items,
                  std::vector<float> &numbers, std::string &texts);

// 0xRRGGBB of a colour of the form.
constexpr std::uint32_t RgbOf(Long color) {
  const auto c = static_cast<std::uint32_t>(color);
  return (c & 0xffU) << 16 | (c & 0xff00U) | (c >> 16 & 0xffU);
}

// The real controls (buttons, boxes and view buttons) as JSON: captions,
// texts, lists, colours, selection and each one's box in CSS pixels.
std::string ControlsJson(const Controls &c);

// The form said in words (DescribeForm) as JSON for the page's description
// beside its canvas: the counter, the four graphs as tables, the view
// buttons as a named group, the red process's text and what the captions
// of Start and Pause mean ("Cont": continues the paused run).
std::string DescriptionJson(const FormDescription &d, const Controls &c);

} // namespace arrivals
