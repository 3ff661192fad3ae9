#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"

namespace arrivals {

// What the form looks like, as any front end paints it: every control that
// is drawn rather than being a real widget, bottom to top, each with what it
// draws in twips. The ground is kWindowGrey over kClientWidth x
// kClientHeight; the buttons, boxes and view buttons are widgets of the
// front end's own and are not listed.
//
// Bottom to top: shpDataBorder, the bars, the lines (lneGraph, then Line1),
// the labels, Image1, the packet markers, the digits of the counter
// lblServiced. The axes lie over the bottom row of their bars so that every
// bar stands on an unbroken axis; the markers pass over the track and over
// the counter's opaque box, which they cross on their way, but not over its
// digits, which stay readable during a burst.

enum class Paint : unsigned char {
  Rectangle, // a shape: its fill, then its outline inside its box
  Oval,      // a shape: fill and outline inside its box
  Line,      // a straight line with round ends, in the window-text colour
  Text,      // a label: its opaque ground if it has one, then its caption
  Logo,      // the wordmark, its parts from LogoParts(box) (ui/logo.h)
  Digits,    // the caption of lblServiced alone, over the markers
};

// Every caption is drawn in black, the window-text colour, and an opaque
// label's ground is the window grey. A caption is one line from the top of
// its box, left-aligned or centred, clipped to the box (narrowed to fit
// where it is wider).
inline constexpr Long kTextColor = kBlack;
inline constexpr Long kLineColor = kBlack;
inline constexpr Long kLabelGround = kWindowGrey;

// One painted item. What it draws is read through its pointer, from the
// form's controls as they stand at that moment: exactly one pointer is set,
// the one its `paint` names.
struct DrawItem {
  Paint paint = Paint::Rectangle;
  // The control's name in the form; `index` is -1 for a single control.
  std::string_view array;
  int index = -1;
  const Shape *shape = nullptr; // Rectangle, Oval
  const Line *line = nullptr;   // Line
  const Label *label = nullptr; // Text, Digits
  const Image *image = nullptr; // Logo
  bool arrowhead = false;       // Line: one of the strokes of an arrowhead
  bool captionOnTop = false;    // Text: its caption is a Digits item above

  bool visible() const;
  // The box in twips of anything but a Line.
  const Box &box() const;
  // The box in twips that the item lies in: its box, or for a Line the box
  // from one end to the other (a line's width in pixels is left out).
  Box bounds() const;
  // Text: the box is filled with kLabelGround before the caption.
  bool opaque() const { return paint == Paint::Text && !label->transparent; }
  // Text, Digits: whether this item draws the caption.
  bool drawsCaption() const { return !captionOnTop && !label->caption.empty(); }
  // "sPacket(7)", "lblServiced"
  std::string name() const;
};

// Appends to `items` one item painted as `paint`, named `array`(`index`).
DrawItem *AddDrawItem(std::vector<DrawItem> &items, Paint paint,
                      std::string_view array, int index);

// The drawing of one form's controls, made once with the front end and read
// whenever it paints. Its items point into the controls, so it never needs
// rebuilding and reading it costs no allocation: it must not outlive them.
class Drawing {
public:
  explicit Drawing(const Controls &c);

  std::size_t size() const { return items_.size(); }
  const DrawItem &operator[](std::size_t i) const { return items_[i]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  // The item that paints `control` (a Shape, Line, Label or Image of the
  // form; for lblServiced its label, not its digits), or size().
  std::size_t find(const void *control) const;

private:
  std::vector<DrawItem> items_;
};

} // namespace arrivals
