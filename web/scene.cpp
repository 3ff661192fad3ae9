#include "web/scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "script/script_dump.h"
#include "ui/logo.h"

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

using scene::Kind;
using scene::Layer;

static_assert(RgbOf(kWindowGrey) == scene::ColourOf("ground"));
static_assert(RgbOf(kBlack) == scene::ColourOf("ink"));

// A record of kind K: its kind, layer and item, then exactly the kind's own
// fields, in the order scene_format.h gives them.
template <Kind K>
using Fields = std::array<float, scene::SizeOf(K) - scene::kHead>;

constexpr std::size_t kTextField = scene::FieldOf(Kind::Text, "text");
constexpr std::size_t kFaceField = scene::FieldOf(Kind::Lettering, "face");
static_assert(kTextField == scene::FieldOf(Kind::Lettering, "text"));

// A record's size by its kind's number, looked up at every item of a build.
constexpr auto kSizes = [] {
  std::array<std::size_t, scene::kKinds.size() + 1> sizes{};
  for (const scene::KindFormat &k : scene::kKinds)
    sizes[static_cast<std::size_t>(k.kind)] = scene::FieldCount(k.fields);
  return sizes;
}();

// A point of the logo, placed in twips, in CSS pixels: not rounded, since
// its parts are drawn antialiased.
float Exact(float twips) { return twips / kTwipsPerPixel; }

class Writer {
public:
  Writer(std::vector<float> &n, std::string &t) : n_(n), t_(t) {}

  // Where the last item's first record begins, or none when it was not
  // shown.
  std::optional<std::size_t> at;
  std::string_view caption; // of the last item, when a text, until the next

  void Shape(Kind kind, Layer layer, const arrivals::Shape &s) {
    if (!s.visible)
      return;
    const PxBox b = ToPx(s.box);
    if (b.w <= 0 || b.h <= 0)
      return;
    Put<Kind::Rect>(kind, layer,
                    {b.x, b.y, b.w, b.h, s.filled ? 1.0F : 0.0F,
                     Colour(s.fillColor), float(s.outlinePixels),
                     Colour(s.outlineColor)});
  }

  void Stroke(Layer layer, const arrivals::Line &l) {
    Put<Kind::Line>(
        Kind::Line, layer,
        {Px(l.x1), Px(l.y1), Px(l.x2), Px(l.y2), float(l.widthPixels)});
  }

  void Text(Layer layer, const Label &l) {
    if (!l.visible)
      return;
    const PxBox b = ToPx(l.box);
    Put<Kind::Text>(Kind::Text, layer,
                    {b.x, b.y, b.w, b.h,
                     float(std::lround(l.font.points * 96.0 / 72.0)),
                     l.font.bold ? 1.0F : 0.0F,
                     l.alignment == Alignment::Center ? 1.0F : 0.0F,
                     l.transparent ? 0.0F : 1.0F, float(t_.size()),
                     float(l.caption.size())});
    t_ += l.caption;
    // In `texts`, which outlives the label (a copy, for the count's digits).
    caption = std::string_view(t_).substr(t_.size() - l.caption.size());
  }

  // The logo as its parts, placed in the image's box, each part's record
  // with that box: the lettering first, then the polygons over it.
  void Logo(Layer layer, const Image &i) {
    const PxBox b = ToPx(i.box);
    const float ink = Colour(kLogo.ink);
    for (const LogoPart &part : LogoParts(i.box)) {
      const LogoPoint first = part.corners[0];
      if (part.kind == LogoPart::Kind::Lettering) {
        const float text = float(t_.size());
        t_ += kLogo.text;
        const float face = float(t_.size());
        t_ += kLogo.font;
        Put<Kind::Lettering>(
            Kind::Lettering, layer,
            {b.x, b.y, b.w, b.h, Exact(part.size), kLogo.bold ? 1.0F : 0.0F,
             face, ink, text, float(kLogo.text.size()),
             float(kLogo.font.size()), Exact(first.x), Exact(first.y)});
        continue;
      }
      Fields<Kind::Polygon> f{b.x, b.y, b.w, b.h, float(part.count), ink};
      for (std::size_t c = 0; c < part.count; ++c) {
        f[6 + 2 * c] = Exact(part.corners[c].x);
        f[7 + 2 * c] = Exact(part.corners[c].y);
      }
      Put<Kind::Polygon>(Kind::Polygon, layer, f);
    }
  }

  void Item(int item) {
    item_ = float(item);
    at.reset();
    caption = {};
  }

private:
  // `As` gives the fields' count: a rectangle's and an oval's are alike.
  template <Kind As>
  void Put(Kind kind, Layer layer, const Fields<As> &fields) {
    static_assert(scene::SizeOf(As) <= scene::kMaxFields);
    if (!at)
      at = n_.size();
    n_.insert(n_.end(), {float(kind), float(layer), item_});
    n_.insert(n_.end(), fields.begin(), fields.end());
  }

  std::vector<float> &n_;
  std::string &t_;
  float item_ = 0;
};

static_assert(scene::SizeOf(Kind::Rect) == scene::SizeOf(Kind::Oval));

// The page's layer of an item: the bars, the markers and the count's digits
// move; everything else is still.
Layer LayerOf(const DrawItem &item) {
  const bool moving =
      item.paint == Paint::Oval || item.paint == Paint::Digits ||
      (item.paint == Paint::Rectangle && item.array != "shpDataBorder");
  return moving ? Layer::Moving : Layer::Still;
}

// The box a record covers in CSS pixels: a line's with its width and round
// ends.
std::array<float, 4> BoundsOf(const float *r) {
  const auto kind = static_cast<Kind>(r[0]);
  const auto f = [&](std::string_view name) {
    return r[scene::FieldOf(kind, name)];
  };
  if (kind == Kind::Line) {
    const float half = std::ceil(f("width") / 2) + 1;
    const float left = std::min(f("x1"), f("x2")) - half;
    const float top = std::min(f("y1"), f("y2")) - half;
    return {left, top, std::max(f("x1"), f("x2")) + half - left,
            std::max(f("y1"), f("y2")) + half - top};
  }
  return {f("x"), f("y"), f("w"), f("h")};
}

} // namespace

void Scene::Build(const Controls &c, bool wantFull) {
  numbers.clear();
  texts.clear();
  changes.clear();
  Writer w(numbers, texts);
  // The same items in the same order as the desktop canvas paints.
  if (drawnControls_ != &c) {
    drawing_.emplace(c);
    drawnControls_ = &c;
    last_.clear();
  }
  full = wantFull || last_.empty();
  last_.resize(drawing_->size());
  int index = 0;
  for (const DrawItem &item : *drawing_) {
    const Layer layer = LayerOf(item);
    w.Item(index);
    switch (item.paint) {
    case Paint::Rectangle:
      w.Shape(Kind::Rect, layer, *item.shape);
      break;
    case Paint::Oval:
      w.Shape(Kind::Oval, layer, *item.shape);
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

    // The item against the last frame's: the same first record (where its
    // texts lie in `texts` aside) and the same caption, or a change. The
    // logo's first record, its lettering, carries the box that places all
    // its parts.
    Last &last = last_[static_cast<std::size_t>(index)];
    std::array<float, scene::kMaxFields> record{};
    std::size_t size = 0;
    if (w.at) {
      const float *r = numbers.data() + *w.at;
      const auto kind = static_cast<Kind>(r[0]);
      size = kSizes[static_cast<std::size_t>(kind)];
      std::memcpy(record.data(), r, size * sizeof(float));
      if (kind == Kind::Text || kind == Kind::Lettering)
        record[kTextField] = 0;
      if (kind == Kind::Lettering)
        record[kFaceField] = 0;
    }
    // Compared as bytes: a whole record at once, at every tick for every
    // item. The numbers are whole or exact, never NaN.
    const bool shown = w.at.has_value();
    if (shown != last.shown || size != last.size ||
        std::memcmp(record.data(), last.record.data(), size * sizeof(float)) !=
            0 ||
        w.caption != last.caption) {
      if (!full) {
        const auto was =
            last.shown ? BoundsOf(last.record.data()) : std::array<float, 4>{};
        changes.insert(changes.end(), {float(index), float(layer),
                                       shown ? float(*w.at) : -1.0F, was[0],
                                       was[1], was[2], was[3]});
      }
      last.shown = shown;
      last.size = size;
      last.record = record;
      last.caption = w.caption;
    }
    ++index;
  }
}

void BuildRecords(const std::vector<DrawItem> &items,
                  std::vector<float> &numbers, std::string &texts) {
  numbers.clear();
  texts.clear();
  Writer w(numbers, texts);
  int index = 0;
  for (const DrawItem &item : items) {
    w.Item(index++);
    switch (item.paint) {
    case Paint::Rectangle:
      w.Shape(Kind::Rect, Layer::Still, *item.shape);
      break;
    case Paint::Oval:
      w.Shape(Kind::Oval, Layer::Still, *item.shape);
      break;
    case Paint::Line:
      w.Stroke(Layer::Still, *item.line);
      break;
    case Paint::Text:
    case Paint::Digits:
      w.Text(Layer::Still, *item.label);
      break;
    case Paint::Logo:
      w.Logo(Layer::Still, *item.image);
      break;
    }
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

namespace {

void StringMember(std::string &out, const char *key, std::string_view text) {
  Member(out, key);
  AppendJsonString(out, text);
}

} // namespace

std::string DescriptionJson(const FormDescription &d, const Controls &c) {
  std::string out = "{";
  StringMember(out, "counter", d.counter);
  StringMember(out, "redProcess", d.redProcess);
  StringMember(out, "inFlight", d.inFlight);
  Member(out, "graphs");
  out += '[';
  for (const GraphDescription &g : d.graphs) {
    out += '{';
    StringMember(out, "title", g.title);
    StringMember(out, "xAxis", g.xAxis);
    StringMember(out, "height", g.height);
    StringMember(out, "labelHeading", g.labelHeading);
    StringMember(out, "countHeading", g.countHeading);
    Member(out, "rows");
    out += '[';
    for (const BarRow &r : g.rows) {
      if (out.back() != '[')
        out += ',';
      out += '[';
      AppendJsonString(out, r.label);
      out += ',' + std::to_string(r.count) + ']';
    }
    out += "]}";
    if (&g != &d.graphs.back())
      out += ',';
  }
  out += ']';
  Member(out, "views");
  out += '{';
  StringMember(out, "name", d.views.name);
  Member(out, "buttons");
  out += '[';
  for (const ViewButtonDescription &b : d.views.buttons) {
    out += '{';
    StringMember(out, "caption", b.caption);
    StringMember(out, "description", b.description);
    out += '}';
    if (&b != &d.views.buttons.back())
      out += ',';
  }
  out += "]}";
  StringMember(out, "btnStart", CaptionNote(c.btnStart.caption));
  StringMember(out, "btnPause", CaptionNote(c.btnPause.caption));
  out += '}';
  return out;
}

} // namespace arrivals
