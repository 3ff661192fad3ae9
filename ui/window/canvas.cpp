#include "ui/window/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include "ui/window/canvas_accessible.h"
#include "ui/window/fonts.h"
#include "ui/window/pixels.h"

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

// The pixels a visible shape covers; its outline lies inside its box.
QRect shapeRect(const Shape &s) {
  return s.visible ? toPixels(s.box) : QRect();
}

template <class F> void forEachLabel(const Controls &c, F &&f) {
  f(c.lblDataRate);
  f(c.lblServiced);
  for (const Label &l : c.lblGraphTitle)
    f(l);
  for (const Label &l : c.lblYAxis)
    f(l);
  for (const Label &l : c.lblGraph)
    f(l);
  f(c.lblMeanWaitingTime);
  for (const OptionalLabel &l : c.lblArrivalGraph)
    if (l.exists)
      f(l.label);
  for (const Label &l : c.lblGraphTwo)
    f(l);
  for (const Label &l : c.lblGraphThree)
    f(l);
}

template <class F> void forEachBar(const Controls &c, F &&f) {
  for (const Shape &s : c.shpOneBar)
    f(s);
  for (const Shape &s : c.shpInterArrivalBar)
    f(s);
  for (const Shape &s : c.shpTwoBar)
    f(s);
  for (const Shape &s : c.shpThreeBar)
    f(s);
}

} // namespace

FormCanvas::FormCanvas(const Controls &controls, QWidget *parent)
    : QWidget(parent), c_(controls) {
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
  return QSize(toPixels(kClientWidth), toPixels(kClientHeight));
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
  invalidate(toPixels(l.box));
  // Announced once assistive technology has asked for the canvas.
  if (accessible_ == nullptr)
    return;
  if (QAccessibleInterface *child = accessible_->childFor(&l.box)) {
    QAccessibleEvent changed(child, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
  }
}

void FormCanvas::flushBars() {
  for (QRect &dirty : barsDirty_) {
    if (!dirty.isEmpty())
      invalidate(dirty);
    dirty = QRect();
  }
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

  paintRectangle(p, c_.shpDataBorder, region);
  forEachBar(c_, [&](const Shape &s) { paintRectangle(p, s, region); });
  for (const Line &l : c_.lneGraph)
    paintLine(p, l, region);
  paintLine(p, c_.Line1, region);
  p.setPen(Qt::black);
  forEachLabel(c_, [&](const Label &l) {
    paintLabelGround(p, l, region);
    if (&l != &c_.lblServiced)
      paintLabelText(p, l, region);
  });
  const QRect image = toPixels(c_.Image1.box);
  if (region.intersects(image))
    p.drawPixmap(image.topLeft(), logo());
  for (const Shape &s : c_.sPacket)
    paintOval(p, s, region);
  // The count stays readable while markers cross its box.
  p.setPen(Qt::black);
  paintLabelText(p, c_.lblServiced, region);
}

// Rectangles are filled, and outlined inside their box, with whole-pixel
// rectangles: no antialiasing, so edges stay crisp at any pixel ratio.
void FormCanvas::paintRectangle(QPainter &p, const Shape &s,
                                const QRegion &region) {
  const QRect r = shapeRect(s);
  if (r.isEmpty() || !region.intersects(r))
    return;
  const int w = s.outlinePixels;
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
  const qreal half = s.outlinePixels / 2.0;
  if (s.outlinePixels > 0)
    sp.setPen(QPen(toColor(s.outlineColor), s.outlinePixels));
  else
    sp.setPen(Qt::NoPen);
  if (s.filled)
    sp.setBrush(toColor(s.fillColor));
  sp.drawEllipse(
      QRectF(QPointF(0, 0), QSizeF(size)).adjusted(half, half, -half, -half));
  return k.pixmap;
}

void FormCanvas::paintLine(QPainter &p, const Line &l, const QRegion &region) {
  const QLine line = toPixels(l);
  const int w = l.widthPixels;
  const QRect bounds =
      QRect(line.p1(), line.p2()).normalized().adjusted(-w, -w, w, w);
  if (!region.intersects(bounds))
    return;
  p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(line);
}

// An opaque label fills its box with the window grey.
void FormCanvas::paintLabelGround(QPainter &p, const Label &l,
                                  const QRegion &region) {
  if (!l.visible || l.transparent)
    return;
  const QRect r = toPixels(l.box);
  if (region.intersects(r))
    p.fillRect(r, toColor(kWindowGrey));
}

// Text starts at the top of the box, left-aligned or centred, and is
// clipped to the box; a caption wider than its box is narrowed to fit.
void FormCanvas::paintLabelText(QPainter &p, const Label &l,
                                const QRegion &region) {
  if (!l.visible || l.caption.empty())
    return;
  const QRect r = toPixels(l.box);
  if (!region.intersects(r))
    return;
  const QString text = QString::fromStdString(l.caption);
  p.setFont(fittedFont(toQFont(l.font), text, r.width()));
  const int align =
      Qt::AlignTop | Qt::TextSingleLine |
      (l.alignment == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft);
  p.drawText(r, align, text);
}

const QPixmap &FormCanvas::logo() {
  const qreal ratio = devicePixelRatioF();
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
