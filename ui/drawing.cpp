#include "ui/drawing.h"

#include <algorithm>
#include <array>

namespace arrivals {

namespace {

// The strokes of lneGraph that form arrowheads; the others are the axes.
bool IsArrowhead(std::size_t i) {
  constexpr std::array<std::size_t, 8> kAxes = {2, 3, 8, 9, 16, 17, 22, 23};
  return std::none_of(kAxes.begin(), kAxes.end(),
                      [i](std::size_t axis) { return axis == i; });
}

} // namespace

bool DrawItem::visible() const {
  if (shape != nullptr)
    return shape->visible;
  if (label != nullptr)
    return label->visible;
  return true;
}

const Box &DrawItem::box() const {
  if (shape != nullptr)
    return shape->box;
  if (label != nullptr)
    return label->box;
  return image->box;
}

Box DrawItem::bounds() const {
  if (line == nullptr)
    return box();
  const Single left = std::min(line->x1, line->x2);
  const Single top = std::min(line->y1, line->y2);
  return {left, top, std::max(line->x1, line->x2) - left,
          std::max(line->y1, line->y2) - top};
}

std::string DrawItem::name() const {
  std::string name(array);
  if (index >= 0)
    name += '(' + std::to_string(index) + ')';
  return name;
}

DrawItem *AddDrawItem(std::vector<DrawItem> &items, Paint paint,
                      std::string_view array, int index) {
  DrawItem &item = items.emplace_back();
  item.paint = paint;
  item.array = array;
  item.index = index;
  return &item;
}

Drawing::Drawing(const Controls &c) {
  const auto add = [this](Paint paint, std::string_view array, int index) {
    return AddDrawItem(items_, paint, array, index);
  };
  const auto shape = [&add](std::string_view array, int index, const Shape &s) {
    add(s.kind == ShapeKind::Oval ? Paint::Oval : Paint::Rectangle, array,
        index)
        ->shape = &s;
  };
  const auto label = [&add](std::string_view array, int index, const Label &l) {
    add(Paint::Text, array, index)->label = &l;
  };
  const auto each = [](std::string_view array, const auto &all, auto &&one) {
    int i = 0;
    for (const auto &control : all)
      one(array, i++, control);
  };

  items_.reserve(200);
  shape("shpDataBorder", -1, c.shpDataBorder);
  each("shpOneBar", c.shpOneBar, shape);
  each("shpInterArrivalBar", c.shpInterArrivalBar, shape);
  each("shpTwoBar", c.shpTwoBar, shape);
  each("shpThreeBar", c.shpThreeBar, shape);
  for (std::size_t i = 0; i < c.lneGraph.size(); ++i) {
    DrawItem *line = add(Paint::Line, "lneGraph", static_cast<int>(i));
    line->line = &c.lneGraph[i];
    line->arrowhead = IsArrowhead(i);
  }
  add(Paint::Line, "Line1", -1)->line = &c.Line1;
  label("lblDataRate", -1, c.lblDataRate);
  label("lblServiced", -1, c.lblServiced);
  items_.back().captionOnTop = true;
  each("lblGraphTitle", c.lblGraphTitle, label);
  each("lblYAxis", c.lblYAxis, label);
  each("lblGraph", c.lblGraph, label);
  label("lblMeanWaitingTime", -1, c.lblMeanWaitingTime);
  for (std::size_t i = 0; i < c.lblArrivalGraph.size(); ++i)
    if (c.lblArrivalGraph[i].exists) // there is no item 7
      label("lblArrivalGraph", static_cast<int>(i), c.lblArrivalGraph[i].label);
  each("lblGraphTwo", c.lblGraphTwo, label);
  each("lblGraphThree", c.lblGraphThree, label);
  add(Paint::Logo, "Image1", -1)->image = &c.Image1;
  each("sPacket", c.sPacket, shape);
  add(Paint::Digits, "lblServiced", -1)->label = &c.lblServiced;
}

std::size_t Drawing::find(const void *control) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const DrawItem &item = items_[i];
    if (item.paint == Paint::Digits)
      continue;
    const void *drawn =
        item.shape != nullptr   ? item.shape
        : item.line != nullptr  ? static_cast<const void *>(item.line)
        : item.label != nullptr ? static_cast<const void *>(item.label)
                                : item.image;
    if (drawn == control)
      return i;
  }
  return items_.size();
}

} // namespace arrivals
