#pragma once

// The format of the scene the page paints, written once: its kinds, layers,
// the fields of each kind's record, the change list and the frame the page
// takes, and the colours the page paints with. The page's JavaScript and its
// tests never repeat these numbers: scene_format_gen writes them out as a
// script (SceneFormat) and as JSON when the page is built.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace arrivals::scene {

enum class Kind : std::uint8_t {
  Rect = 1,
  Oval,
  Line,
  Text,
  Polygon,
  Lettering
};
enum class Layer : std::uint8_t { Still = 0, Moving = 1 };

inline constexpr std::size_t kMaxFields = 17;
using Fields = std::array<std::string_view, kMaxFields>;

// Every record starts with its kind, its layer and its item (the item's
// place in the form's drawing list, the same from frame to frame, so that a
// change names it whether or not it is shown now).
inline constexpr std::size_t kHead = 3;

struct KindFormat {
  Kind kind;
  std::string_view name;
  Fields fields; // kind, layer, item, then the kind's own, in order
};

// Boxes are whole CSS pixels; colours 0xRRGGBB; flags 0 or 1. A text's
// caption is `length` bytes of UTF-8 at byte `text` of the frame's texts.
//
// The logo is drawn from its parts, each a record whose box is the logo's:
// polygons of `count` corners (a to d, 3 or 4 of them, in CSS pixels that
// need not be whole) filled antialiased in `fill` with no outline, and its
// lettering, `length` bytes at `text` in the face named by `faceLength`
// bytes at `face`, `em` pixels to the em, its alphabetic baseline
// starting at baseX, baseY, in `ink`.
inline constexpr std::array<KindFormat, 6> kKinds = {{
    {Kind::Rect,
     "rect",
     {"kind", "layer", "item", "x", "y", "w", "h", "filled", "fill", "outline",
      "ink"}},
    {Kind::Oval,
     "oval",
     {"kind", "layer", "item", "x", "y", "w", "h", "filled", "fill", "outline",
      "ink"}},
    {Kind::Line,
     "line",
     {"kind", "layer", "item", "x1", "y1", "x2", "y2", "width"}},
    {Kind::Text,
     "text",
     {"kind", "layer", "item", "x", "y", "w", "h", "font", "bold", "centred",
      "opaque", "text", "length"}},
    {Kind::Polygon,
     "polygon",
     {"kind", "layer", "item", "x", "y", "w", "h", "count", "fill", "ax", "ay",
      "bx", "by", "cx", "cy", "dx", "dy"}},
    {Kind::Lettering,
     "lettering",
     {"kind", "layer", "item", "x", "y", "w", "h", "em", "bold", "face", "ink",
      "text", "length", "faceLength", "baseX", "baseY"}},
}};

constexpr std::size_t FieldCount(const Fields &f) {
  std::size_t n = 0;
  while (n < f.size() && !f[n].empty())
    ++n;
  return n;
}

constexpr const KindFormat &FormatOf(Kind k) {
  return kKinds[static_cast<std::size_t>(k) - 1];
}

// Numbers in a record of kind `k`.
constexpr std::size_t SizeOf(Kind k) { return FieldCount(FormatOf(k).fields); }

// Where `name` sits in `f`, or kMaxFields.
constexpr std::size_t IndexOf(const Fields &f, std::string_view name) {
  for (std::size_t i = 0; i < FieldCount(f); ++i)
    if (f[i] == name)
      return i;
  return kMaxFields;
}

// Where field `name` sits in a record of kind `k`, or kMaxFields.
constexpr std::size_t FieldOf(Kind k, std::string_view name) {
  return IndexOf(FormatOf(k).fields, name);
}

// One entry of a frame's change list: an item whose record or caption
// differs from the previous frame's, or that appeared or went. `at` is where
// its record now begins in the frame's numbers (-1 when it is no longer
// shown); x, y, w, h the box it covered before (w and h 0 when it was not
// shown), which the page clears.
inline constexpr Fields kChangeFields = {"item", "layer", "at", "x",
                                         "y",    "w",     "h"};

// The frame the page takes, as unsigned 32-bit words: where its numbers
// (32-bit floats), its texts and its change list lie in the module's memory
// and how many there are, whether it is full (paint everything: the first
// frame of a run, link or script, or one the page asked for), and the real
// controls' JSON (its length 0 when they are as last taken), and the form's
// graphsVersion(), which moves when the graphs are redrawn: the page
// rebuilds its description of them then, never at every tick.
inline constexpr Fields kFrameFields = {
    "numbers",      "numberCount", "texts", "textBytes",
    "changes",      "changeCount", "full",  "controls",
    "controlBytes", "timer",       "view",  "graphsVersion"};

// The bridge's calls (web/bridge.cpp), named once for the page: how
// web_start starts (flags, added together), the events of web_event, the
// operations of web_trace and what web_take takes, each by its place here.
inline constexpr Fields kStartFlags = {"seeded", "recover", "close"};
inline constexpr Fields kEvents = {"timer",       "start",       "pause",
                                   "view",        "typeProcess", "typeRate",
                                   "pickProcess", "pickRate"};
inline constexpr Fields kTraceOps = {"packets", "seconds", "step", "cancel",
                                     "variance"};
inline constexpr Fields kTakes = {
    "dumps", "message", "messageBox", "recording", "dump", "traceSlice",
    "progress", "progressText", "description", "state", "help",
    // the variance-time plot of the last run:
    // its records (floats) and their texts,
    // the points as CSV, the plot in words
    "varianceRecords", "varianceTexts", "variancePoints", "varianceSummary"};
// What web_take gives: bytes (a pointer and a length, as unsigned 32-bit
// words), then a number (a 64-bit float, for "progress" from 0 to 1).
inline constexpr Fields kReplyFields = {"bytes", "byteCount", "number"};

// Colours of the page's painting that are not in the records: the form's
// ground and the ink of lines and captions.
struct Colour {
  std::string_view name;
  std::uint32_t rgb;
};
inline constexpr std::array<Colour, 2> kColours = {{
    {"ground", 0xe0e0e0},
    {"ink", 0x000000},
}};

constexpr std::uint32_t ColourOf(std::string_view name) {
  for (const Colour &c : kColours)
    if (c.name == name)
      return c.rgb;
  return 0;
}

} // namespace arrivals::scene
