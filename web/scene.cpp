#include "web/scene.h"

#include <cmath>
#include <optional>

#include "script/script_dump.h"

namespace arrivals {

namespace {

// Whole pixels, edge by edge, as the desktop window rounds: boxes that share
// an edge in twips share it in pixels, and a bar of height 0 has none.
float Px(double twips) {
  return static_cast<float>(std::lround(twips / kTwipsPerPixel));
}

struct PxBox {
  float x, y, w, h;
};

PxBox ToPx(const Box &b) {
  const float left = Px(b.left);
  const float top = Px(b.top);
  return {left, top, Px(static_cast<double>(b.left) + b.width) - left,
          Px(static_cast<double>(b.top) + b.height) - top};
}

float Colour(Long c) { return static_cast<float>(RgbOf(c)); }

class Writer {
public:
  Writer(std::vector<float> &n, std::string &t) : n_(n), t_(t) {}

  void Shape(SceneKind kind, SceneLayer layer, const arrivals::Shape &s) {
    if (!s.visible)
      return;
    const PxBox b = ToPx(s.box);
    if (b.w <= 0 || b.h <= 0)
      return;
    n_.insert(n_.end(), {float(kind), float(layer), b.x, b.y, b.w, b.h,
                         s.filled ? 1.0F : 0.0F, Colour(s.fillColor),
                         float(s.outlinePixels), Colour(s.outlineColor)});
  }

  void Stroke(SceneLayer layer, const arrivals::Line &l) {
    n_.insert(n_.end(), {float(kLine), float(layer), Px(l.x1), Px(l.y1),
                         Px(l.x2), Px(l.y2), float(l.widthPixels)});
  }

  void Text(SceneLayer layer, const Label &l) {
    if (!l.visible)
      return;
    const PxBox b = ToPx(l.box);
    n_.insert(n_.end(), {float(kText), float(layer), b.x, b.y, b.w, b.h,
                         float(std::lround(l.font.points * 96.0 / 72.0)),
                         l.font.bold ? 1.0F : 0.0F,
                         l.alignment == Alignment::Center ? 1.0F : 0.0F,
                         l.transparent ? 0.0F : 1.0F, float(texts_)});
    if (texts_++ > 0)
      t_ += '\x1f';
    t_ += l.caption;
  }

  void Logo(SceneLayer layer, const Image &i) {
    const PxBox b = ToPx(i.box);
    n_.insert(n_.end(), {float(kLogo), float(layer), b.x, b.y, 300, 48});
  }

private:
  std::vector<float> &n_;
  std::string &t_;
  int texts_ = 0;
};

// The page's layer of an item: the bars, the markers and the count's digits
// move; everything else is still.
SceneLayer LayerOf(const DrawItem &item) {
  const bool moving =
      item.paint == Paint::Oval || item.paint == Paint::Digits ||
      (item.paint == Paint::Rectangle && item.array != "shpDataBorder");
  return moving ? kMoving : kStill;
}

} // namespace

std::uint32_t RgbOf(Long color) {
  const auto c = static_cast<std::uint32_t>(color);
  return (c & 0xffU) << 16 | (c & 0xff00U) | (c >> 16 & 0xffU);
}

void Scene::Build(const Controls &c) {
  numbers.clear();
  texts.clear();
  Writer w(numbers, texts);
  // The same items in the same order as the desktop canvas paints.
  if (drawnControls_ != &c) {
    drawing_.emplace(c);
    drawnControls_ = &c;
  }
  for (const DrawItem &item : *drawing_) {
    const SceneLayer layer = LayerOf(item);
    switch (item.paint) {
    case Paint::Rectangle:
      w.Shape(kRect, layer, *item.shape);
      break;
    case Paint::Oval:
      w.Shape(kOval, layer, *item.shape);
      break;
    case Paint::Line:
      w.Stroke(layer, *item.line);
      break;
    case Paint::Text:
      if (item.captionOnTop) {
        // The count's opaque ground is still; its digits move over the
        // markers.
        Label ground = *item.label;
        ground.caption.clear();
        w.Text(layer, ground);
      } else {
        w.Text(layer, *item.label);
      }
      break;
    case Paint::Logo:
      w.Logo(layer, *item.image);
      break;
    case Paint::Digits: {
      Label digits = *item.label;
      digits.transparent = true;
      w.Text(layer, digits);
      break;
    }
    }
  }

  // The still layer changes with a caption or a label shown or hidden.
  std::vector<float> still;
  for (std::size_t i = 0; i < numbers.size();) {
    const auto kind = static_cast<int>(numbers[i]);
    const std::size_t size = kind == kLine   ? 7
                             : kind == kText ? 11
                             : kind == kLogo ? 6
                                             : 10;
    if (numbers[i + 1] == float(kStill))
      still.insert(still.end(), numbers.begin() + static_cast<long>(i),
                   numbers.begin() + static_cast<long>(i + size));
    i += size;
  }
  std::string stillTexts = texts;
  stillTexts.resize(
      texts.rfind('\x1f') == std::string::npos ? 0 : texts.rfind('\x1f'));
  if (still != still_ || stillTexts != lastStill_) {
    still_ = std::move(still);
    lastStill_ = std::move(stillTexts);
    textsVersion += 1;
  }
}

namespace {

void Member(std::string &out, const char *key) {
  if (out.back() != '{' && out.back() != '[')
    out += ',';
  out += '"';
  out += key;
  out += "\":";
}

void BoxJson(std::string &out, const Box &b) {
  const PxBox p = ToPx(b);
  Member(out, "box");
  out += '[' + std::to_string(int(p.x)) + ',' + std::to_string(int(p.y)) + ',' +
         std::to_string(int(p.w)) + ',' + std::to_string(int(p.h)) + ']';
}

void FontJson(std::string &out, const Font &f) {
  Member(out, "font");
  out += '[' + std::to_string(std::lround(f.points * 96.0 / 72.0)) + ',' +
         (f.bold ? "1" : "0") + ']';
}

void ComboJson(std::string &out, const char *key, const ComboBox &b) {
  Member(out, key);
  out += '{';
  BoxJson(out, b.box);
  FontJson(out, b.font);
  Member(out, "text");
  AppendJsonString(out, b.text);
  Member(out, "color");
  out += std::to_string(RgbOf(b.foreColor));
  Member(out, "items");
  out += '[';
  for (std::size_t i = 0; i < b.items.size(); ++i) {
    if (i > 0)
      out += ',';
    AppendJsonString(out, b.items[i]);
  }
  out += "]}";
}

void ButtonJson(std::string &out, const char *key, const Box &box,
                const Font &font, const std::string &caption, int value) {
  Member(out, key);
  out += '{';
  BoxJson(out, box);
  FontJson(out, font);
  Member(out, "caption");
  AppendJsonString(out, caption);
  if (value >= 0) {
    Member(out, "value");
    out += value != 0 ? "true" : "false";
  }
  out += '}';
}

} // namespace

std::string ControlsJson(const Controls &c) {
  std::string out = "{";
  ComboJson(out, "cmbExperiment", c.cmbExperiment);
  ComboJson(out, "cmbData", c.cmbData);
  ButtonJson(out, "btnStart", c.btnStart.box, c.btnStart.font,
             c.btnStart.caption, -1);
  ButtonJson(out, "btnPause", c.btnPause.box, c.btnPause.font,
             c.btnPause.caption, -1);
  ButtonJson(out, "optGraphs0", c.optGraphs[0].box, c.optGraphs[0].font,
             c.optGraphs[0].caption, c.optGraphs[0].value ? 1 : 0);
  ButtonJson(out, "optGraphs1", c.optGraphs[1].box, c.optGraphs[1].font,
             c.optGraphs[1].caption, c.optGraphs[1].value ? 1 : 0);
  Member(out, "timer");
  out += c.tmrMain.enabled ? "true" : "false";
  out += '}';
  return out;
}

} // namespace arrivals
