#include "window/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include "ui/form.h"
#include "window/canvas_accessible.h"
#include "window/fonts.h"
#include "window/logo.h"
#include "window/pixels.h"

namespace arrivals {

namespace {

int barGroupSlot(ShapeGroup group) {
  switch (group) {
  case ShapeGroup::OneBar:
    return 0;
  case ShapeGroup::InterArrivalBar:
    return 1;
  case ShapeGroup::TwoBar:
    return 2;
  case ShapeGroup::ThreeBar:
    return 3;
  case ShapeGroup::Packet:
    break;
  }
  return -1;
}

} // namespace

FormCanvas::FormCanvas(const Controls &controls, QWidget *parent)
    : QWidget(parent), c_(controls), drawing_(controls),
      texts_(drawing_.size()) {
  // Before anything asks for the canvas's accessibility interface (naming
  // it does): an interface made without the factory is kept for the
  // canvas's whole life, and it would show none of the painted controls.
  CanvasAccessible::install();
  // Every paint event fills its whole region itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName(QStringLiteral("canvas"));
  setAccessibleName(QStringLiteral("canvas"));
  setFixedSize(sizeHint());
}

FormCanvas::~FormCanvas() {
  if (accessible_ != nullptr)
    accessible_->forgetCanvas();
}

QSize FormCanvas::sizeHint() const {
  return QSize(toPixels(kClientWidth, zoom_), toPixels(kClientHeight, zoom_));
}

void FormCanvas::setZoom(double zoom) {
  if (zoom == zoom_)
    return;
  zoom_ = zoom;
  sprite_ = Sprite{};
  texts_.assign(drawing_.size(), FittedText{});
  logo_ = QPixmap();
  setFixedSize(sizeHint());
  update();
}

// The pixels a visible shape covers; its outline lies inside its box.
QRect FormCanvas::shapeRect(const Shape &s) const {
  return s.visible ? toPixels(s.box, zoom_) : QRect();
}

const Shape &FormCanvas::shapeAt(ShapeGroup group, int index) const {
  return ShapeAt(c_, group, index);
}

const Label &FormCanvas::labelAt(LabelGroup group, int index) const {
  return LabelAt(c_, group, index);
}

void FormCanvas::shapeChanged(ShapeGroup group, int index,
                              const Shape &before) {
  const QRect dirty = shapeRect(before) | shapeRect(shapeAt(group, index));
  if (dirty.isEmpty())
    return;
  const int slot = barGroupSlot(group);
  if (slot < 0)
    invalidate(dirty);
  else
    barsDirty_[static_cast<std::size_t>(slot)] |= dirty;
}

void FormCanvas::labelChanged(LabelGroup group, int index) {
  const Label &l = labelAt(group, index);
  invalidate(toPixels(l.box, zoom_));
  // Announced once assistive technology has asked for the canvas.
  if (accessible_ == nullptr)
    return;
  if (QAccessibleInterface *child = accessible_->childFor(&l)) {
    QAccessibleEvent changed(child, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
  }
  if (group == LabelGroup::Serviced)
    accessible_->counterChanged();
}

void FormCanvas::flushBars() {
  for (QRect &dirty : barsDirty_) {
    if (!dirty.isEmpty())
      invalidate(dirty);
    dirty = QRect();
  }
  // The graphs' descriptions change only with a redraw or a reset of them.
  if (form_ != nullptr && form_->graphsVersion() != graphsSeen_) {
    graphsSeen_ = form_->graphsVersion();
    if (accessible_ != nullptr)
      accessible_->graphsRedrawn();
  }
}

void FormCanvas::sayState() {
  // With no interface made, nothing is listening.
  if (accessible_ != nullptr)
    accessible_->stateRequested();
}

void FormCanvas::setCovered(const QRegion &covered) {
  covered_ = covered;
  coveredBounds_ = covered.boundingRect();
}

void FormCanvas::invalidate(const QRect &dirty) {
  if (!dirty.intersects(coveredBounds_) || !covered_.intersects(dirty)) {
    update(dirty);
    return;
  }
  const QRegion seen = QRegion(dirty) - covered_;
  if (!seen.isEmpty())
    update(seen);
}

void FormCanvas::paintEvent(QPaintEvent *event) {
  const QRegion &region = event->region();
  QPainter p(this);
  const QColor grey = toColor(kWindowGrey);
  for (const QRect &r : region)
    p.fillRect(r, grey);

  // Items far from the region are passed over in twips, before any
  // conversion: the margin is wider than half the widest line and the
  // rounding of both edges, so nothing that meets the region is left out.
  const QRect b = region.boundingRect();
  const double twips = kTwipsPerPixel / zoom_;
  const double margin = 2 + 2 * zoom_;
  const double left = (b.left() - margin) * twips;
  const double top = (b.top() - margin) * twips;
  const double right = (b.right() + 1 + margin) * twips;
  const double bottom = (b.bottom() + 1 + margin) * twips;
  for (std::size_t i = 0; i < drawing_.size(); ++i) {
    const DrawItem &item = drawing_[i];
    const Box box = item.bounds();
    if (box.left > right || box.top > bottom || box.left + box.width < left ||
        box.top + box.height < top)
      continue;
    paintItem(p, i, item, region);
  }
}

void FormCanvas::paintItem(QPainter &p, std::size_t index, const DrawItem &item,
                           const QRegion &region) {
  switch (item.paint) {
  case Paint::Rectangle:
    paintRectangle(p, *item.shape, region);
    break;
  case Paint::Oval:
    paintOval(p, *item.shape, region);
    break;
  case Paint::Line:
    paintLine(p, *item.line, region);
    break;
  case Paint::Text:
  case Paint::Digits:
    paintText(p, index, item, region);
    break;
  case Paint::Logo: {
    const QRect image = toPixels(item.image->box, zoom_);
    if (region.intersects(image))
      p.drawPixmap(image.topLeft(), logo());
    break;
  }
  }
}

// Rectangles are filled, and outlined inside their box, with whole-pixel
// rectangles: no antialiasing, so edges stay crisp at any pixel ratio.
void FormCanvas::paintRectangle(QPainter &p, const Shape &s,
                                const QRegion &region) const {
  const QRect r = shapeRect(s);
  if (r.isEmpty() || !region.intersects(r))
    return;
  const int w = zoomedWidth(s.outlinePixels, zoom_);
  if (s.filled)
    p.fillRect(r.adjusted(w, w, -w, -w), toColor(s.fillColor));
  if (w <= 0)
    return;
  const QColor ink = toColor(s.outlineColor);
  p.fillRect(QRect(r.left(), r.top(), r.width(), w), ink);
  p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), ink);
  p.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), ink);
  p.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), ink);
}

void FormCanvas::paintOval(QPainter &p, const Shape &s, const QRegion &region) {
  const QRect r = shapeRect(s);
  if (r.isEmpty() || !region.intersects(r))
    return;
  p.drawPixmap(r.topLeft(), ovalSprite(s, r.size()));
}

const QPixmap &FormCanvas::ovalSprite(const Shape &s, QSize size) {
  const qreal ratio = devicePixelRatioF();
  Sprite &k = sprite_;
  if (k.size == size && k.ratio == ratio && k.fill == s.fillColor &&
      k.filled == s.filled && k.outline == s.outlinePixels &&
      k.outlineColor == s.outlineColor)
    return k.pixmap;
  k = Sprite{size,
             ratio,
             s.fillColor,
             s.filled,
             s.outlinePixels,
             s.outlineColor,
             QPixmap(size * ratio)};
  k.pixmap.setDevicePixelRatio(ratio);
  k.pixmap.fill(Qt::transparent);
  QPainter sp(&k.pixmap);
  sp.setRenderHint(QPainter::Antialiasing);
  const int outline = zoomedWidth(s.outlinePixels, zoom_);
  const qreal half = outline / 2.0;
  if (outline > 0)
    sp.setPen(QPen(toColor(s.outlineColor), outline));
  else
    sp.setPen(Qt::NoPen);
  if (s.filled)
    sp.setBrush(toColor(s.fillColor));
  sp.drawEllipse(
      QRectF(QPointF(0, 0), QSizeF(size)).adjusted(half, half, -half, -half));
  return k.pixmap;
}

void FormCanvas::paintLine(QPainter &p, const Line &l,
                           const QRegion &region) const {
  const QLine line = toPixels(l, zoom_);
  const int w = zoomedWidth(l.widthPixels, zoom_);
  const QRect bounds =
      QRect(line.p1(), line.p2()).normalized().adjusted(-w, -w, w, w);
  if (!region.intersects(bounds))
    return;
  p.setPen(QPen(toColor(kLineColor), w, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(line);
}

// An opaque label fills its box with its ground first. Text starts at the
// top of the box, left-aligned or centred, and is clipped to the box; a
// caption wider than its box is narrowed to fit.
void FormCanvas::paintText(QPainter &p, std::size_t index, const DrawItem &item,
                           const QRegion &region) {
  const Label &l = *item.label;
  if (!l.visible)
    return;
  const QRect r = toPixels(l.box, zoom_);
  if (!region.intersects(r))
    return;
  if (item.opaque())
    p.fillRect(r, toColor(kLabelGround));
  if (!item.drawsCaption())
    return;
  // Measuring a caption costs more than drawing it: the fitted face is
  // kept for as long as the caption and the width stay.
  FittedText &fitted = texts_[index];
  if (fitted.width != r.width() || fitted.caption != l.caption) {
    fitted.caption = l.caption;
    fitted.width = r.width();
    fitted.text = QString::fromStdString(l.caption);
    fitted.font = fittedFont(toQFont(l.font, zoom_), fitted.text, r.width());
  }
  const QString &text = fitted.text;
  p.setPen(toColor(kTextColor));
  p.setFont(fitted.font);
  const int align =
      Qt::AlignTop | Qt::TextSingleLine |
      (l.alignment == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft);
  p.drawText(r, align, text);
}

const QPixmap &FormCanvas::logo() {
  const qreal ratio = devicePixelRatioF();
  if (zoom_ != 1) {
    // Drawn afresh from its outlines at the size it is shown.
    if (logo_.isNull() || logoRatio_ != ratio)
      logo_ = logoPicture(toPixels(c_.Image1.box, zoom_).size(), ratio);
    logoRatio_ = ratio;
    return logo_;
  }
  if (logo_.isNull() || logoRatio_ != ratio) {
    // A picture drawn at twice the size stays sharp on high-DPI screens.
    logo_ = QPixmap(ratio > 1 ? QStringLiteral(":/arrivals/logo@2x.png")
                              : QStringLiteral(":/arrivals/logo.png"));
    logo_.setDevicePixelRatio(ratio > 1 ? 2 : 1);
    logoRatio_ = ratio;
  }
  return logo_;
}

} // namespace arrivals
