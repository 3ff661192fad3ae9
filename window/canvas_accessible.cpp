#include "window/canvas_accessible.h"

#include <utility>

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "window/canvas.h"
#include "window/described_accessible.h"
#include "window/pixels.h"

namespace arrivals {

CanvasLeafAccessible::CanvasLeafAccessible(FormCanvas *canvas)
    : canvas_(canvas) {}

QWindow *CanvasLeafAccessible::window() const {
  return canvas_ ? canvas_->window()->windowHandle() : nullptr;
}

QAccessibleInterface *CanvasLeafAccessible::parent() const {
  return QAccessible::queryAccessibleInterface(canvas_.data());
}

namespace {

// A painted control in the accessibility tree. It holds no state: every
// answer is read from the form's controls when asked.
class PaintedAccessible final : public CanvasLeafAccessible {
public:
  PaintedAccessible(FormCanvas *canvas, std::size_t item)
      : CanvasLeafAccessible(canvas), item_(item) {}

  QString text(QAccessible::Text t) const override {
    if (!canvas_)
      return QString();
    const DrawItem &item = this->item();
    if (t == QAccessible::Name)
      return QString::fromStdString(item.name());
    if (item.label != nullptr &&
        (t == QAccessible::Description || t == QAccessible::Value))
      return QString::fromStdString(item.label->caption);
    return QString();
  }

  QRect rect() const override {
    if (!canvas_)
      return QRect();
    const DrawItem &item = this->item();
    QRect r;
    if (item.line == nullptr) {
      r = toPixels(item.box(), canvas_->zoom());
    } else {
      const QLine l = toPixels(*item.line, canvas_->zoom());
      const int w = zoomedWidth(item.line->widthPixels, canvas_->zoom());
      r = QRect(l.p1(), l.p2())
              .normalized()
              .adjusted(-w / 2, -w / 2, w / 2, w / 2);
    }
    return r.translated(canvas_->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override {
    if (canvas_ && item().paint == Paint::Text)
      return QAccessible::StaticText;
    return QAccessible::Graphic;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invisible = !canvas_.isNull() && !item().visible();
    return s;
  }

private:
  const DrawItem &item() const { return canvas_->drawing()[item_]; }

  std::size_t item_;
};

QAccessibleInterface *canvasFactory(const QString &, QObject *object) {
  if (auto *canvas = dynamic_cast<FormCanvas *>(object))
    return new CanvasAccessible(canvas);
  return nullptr;
}

} // namespace

CanvasAccessible::CanvasAccessible(FormCanvas *canvas)
    : QAccessibleWidget(canvas, QAccessible::Pane), canvas_(canvas) {
  const Drawing &drawing = canvas->drawing();
  for (std::size_t i = 0; i < drawing.size(); ++i)
    if (drawing[i].paint != Paint::Digits)
      items_.push_back(i);
  ids_.resize(items_.size() + kDescribedCount);
  canvas->setAccessible(this);
}

CanvasAccessible::~CanvasAccessible() {
  if (canvas_)
    canvas_->setAccessible(nullptr);
  for (QAccessible::Id id : ids_)
    if (id != 0)
      QAccessible::deleteAccessibleInterface(id);
}

int CanvasAccessible::childCount() const {
  return static_cast<int>(ids_.size());
}

QAccessibleInterface *CanvasAccessible::child(int index) const {
  if (index < 0 || index >= childCount())
    return nullptr;
  QAccessible::Id &id = ids_[static_cast<std::size_t>(index)];
  // Qt's registry owns the interface from here on; the destructor hands it
  // back with deleteAccessibleInterface.
  const auto i = static_cast<std::size_t>(index);
  if (id != 0)
    return QAccessible::accessibleInterface(id);
  if (i >= items_.size())
    id = QAccessible::registerAccessibleInterface(makeDescribedAccessible(
        canvas_, static_cast<Described>(i - items_.size())));
  else
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    id = QAccessible::registerAccessibleInterface(
        new PaintedAccessible(canvas_, items_[i]));
  return QAccessible::accessibleInterface(id);
}

int CanvasAccessible::indexOfChild(const QAccessibleInterface *child) const {
  for (std::size_t i = 0; i < ids_.size(); ++i)
    if (ids_[i] != 0 && QAccessible::accessibleInterface(ids_[i]) == child)
      return static_cast<int>(i);
  return -1;
}

// The topmost visible painted control at a point on the screen.
QAccessibleInterface *CanvasAccessible::childAt(int x, int y) const {
  for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i) {
    QAccessibleInterface *c = child(i);
    if (!c->state().invisible && c->rect().contains(x, y))
      return c;
  }
  return nullptr;
}

QAccessibleInterface *CanvasAccessible::childFor(const void *control) const {
  if (canvas_ == nullptr)
    return nullptr;
  const std::size_t item = canvas_->drawing().find(control);
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == item)
      return child(static_cast<int>(i));
  return nullptr;
}

void CanvasAccessible::counterChanged() const {
  QAccessibleEvent changed(child(static_cast<int>(items_.size()) +
                                 static_cast<int>(Described::Counter)),
                           QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
}

void CanvasAccessible::stateRequested() const {
  QAccessibleEvent changed(child(static_cast<int>(items_.size()) +
                                 static_cast<int>(Described::State)),
                           QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
}

void CanvasAccessible::graphsRedrawn() const {
  for (Described g : {Described::GraphOne, Described::InterArrival,
                      Described::GraphTwo, Described::GraphThree}) {
    QAccessibleEvent changed(
        child(static_cast<int>(items_.size()) + static_cast<int>(g)),
        QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
  }
}

void CanvasAccessible::install() {
  static const bool installed = [] {
    QAccessible::installFactory(canvasFactory);
    return true;
  }();
  (void)installed;
}

} // namespace arrivals
