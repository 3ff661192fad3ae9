#include "ui/window/canvas_accessible.h"

#include <utility>

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "ui/window/canvas.h"
#include "ui/window/pixels.h"

namespace arrivals {

namespace {

QString indexed(const char *array, std::size_t i) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i);
}

PaintedControl shape(QString name, const Shape &s) {
  return {std::move(name), QAccessible::Graphic, &s.box,
          nullptr,         &s.visible,           nullptr};
}

PaintedControl label(QString name, const Label &l) {
  return {std::move(name), QAccessible::StaticText, &l.box, nullptr, &l.visible,
          &l.caption};
}

PaintedControl line(QString name, const Line &l) {
  return {std::move(name), QAccessible::Graphic, nullptr, &l, nullptr, nullptr};
}

template <std::size_t N>
void addShapes(std::vector<PaintedControl> &out, const char *name,
               const std::array<Shape, N> &shapes) {
  for (std::size_t i = 0; i < N; ++i)
    out.push_back(shape(indexed(name, i), shapes[i]));
}

template <std::size_t N>
void addLabels(std::vector<PaintedControl> &out, const char *name,
               const std::array<Label, N> &labels) {
  for (std::size_t i = 0; i < N; ++i)
    out.push_back(label(indexed(name, i), labels[i]));
}

// A painted control in the accessibility tree. It holds no state: every
// answer is read from the form's controls when asked.
class PaintedAccessible final : public QAccessibleInterface {
public:
  PaintedAccessible(QWidget *canvas, PaintedControl control)
      : canvas_(canvas), c_(std::move(control)) {}

  bool isValid() const override { return !canvas_.isNull(); }
  QObject *object() const override { return nullptr; }
  QWindow *window() const override {
    return canvas_ ? canvas_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }
  QAccessibleInterface *parent() const override {
    return QAccessible::queryAccessibleInterface(canvas_.data());
  }
  QAccessibleInterface *child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name)
      return c_.name;
    if (c_.caption != nullptr &&
        (t == QAccessible::Description || t == QAccessible::Value))
      return QString::fromStdString(*c_.caption);
    return QString();
  }
  void setText(QAccessible::Text, const QString &) override {}

  QRect rect() const override {
    if (!canvas_)
      return QRect();
    QRect r;
    if (c_.box != nullptr) {
      r = toPixels(*c_.box);
    } else {
      const QLine l = toPixels(*c_.line);
      const int w = c_.line->widthPixels;
      r = QRect(l.p1(), l.p2())
              .normalized()
              .adjusted(-w / 2, -w / 2, w / 2, w / 2);
    }
    return r.translated(canvas_->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override { return c_.role; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invisible = c_.visible != nullptr && !*c_.visible;
    return s;
  }

private:
  QPointer<QWidget> canvas_;
  PaintedControl c_;
};

QAccessibleInterface *canvasFactory(const QString &, QObject *object) {
  if (auto *canvas = dynamic_cast<FormCanvas *>(object))
    return new CanvasAccessible(canvas);
  return nullptr;
}

} // namespace

std::vector<PaintedControl> paintedControls(const Controls &c) {
  std::vector<PaintedControl> out;
  out.push_back(shape(QStringLiteral("shpDataBorder"), c.shpDataBorder));
  addShapes(out, "shpOneBar", c.shpOneBar);
  addShapes(out, "shpInterArrivalBar", c.shpInterArrivalBar);
  addShapes(out, "shpTwoBar", c.shpTwoBar);
  addShapes(out, "shpThreeBar", c.shpThreeBar);
  for (std::size_t i = 0; i < c.lneGraph.size(); ++i)
    out.push_back(line(indexed("lneGraph", i), c.lneGraph[i]));
  out.push_back(line(QStringLiteral("Line1"), c.Line1));
  out.push_back(label(QStringLiteral("lblDataRate"), c.lblDataRate));
  out.push_back(label(QStringLiteral("lblServiced"), c.lblServiced));
  addLabels(out, "lblGraphTitle", c.lblGraphTitle);
  addLabels(out, "lblYAxis", c.lblYAxis);
  addLabels(out, "lblGraph", c.lblGraph);
  out.push_back(
      label(QStringLiteral("lblMeanWaitingTime"), c.lblMeanWaitingTime));
  for (std::size_t i = 0; i < c.lblArrivalGraph.size(); ++i)
    if (c.lblArrivalGraph[i].exists)
      out.push_back(
          label(indexed("lblArrivalGraph", i), c.lblArrivalGraph[i].label));
  addLabels(out, "lblGraphTwo", c.lblGraphTwo);
  addLabels(out, "lblGraphThree", c.lblGraphThree);
  out.push_back({QStringLiteral("Image1"), QAccessible::Graphic, &c.Image1.box,
                 nullptr, nullptr, nullptr});
  addShapes(out, "sPacket", c.sPacket);
  return out;
}

CanvasAccessible::CanvasAccessible(FormCanvas *canvas)
    : QAccessibleWidget(canvas, QAccessible::Pane), canvas_(canvas),
      controls_(paintedControls(canvas->controls())), ids_(controls_.size()) {
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
  return static_cast<int>(controls_.size());
}

QAccessibleInterface *CanvasAccessible::child(int index) const {
  if (index < 0 || index >= childCount())
    return nullptr;
  QAccessible::Id &id = ids_[static_cast<std::size_t>(index)];
  // Qt's registry owns the interface from here on; the destructor hands it
  // back with deleteAccessibleInterface.
  if (id == 0)
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    id = QAccessible::registerAccessibleInterface(new PaintedAccessible(
        canvas_, controls_[static_cast<std::size_t>(index)]));
  return QAccessible::accessibleInterface(id);
}

int CanvasAccessible::indexOfChild(const QAccessibleInterface *child) const {
  for (std::size_t i = 0; i < ids_.size(); ++i)
    if (ids_[i] != 0 && QAccessible::accessibleInterface(ids_[i]) == child)
      return static_cast<int>(i);
  return -1;
}

// The topmost visible control at a point on the screen.
QAccessibleInterface *CanvasAccessible::childAt(int x, int y) const {
  for (int i = childCount() - 1; i >= 0; --i) {
    QAccessibleInterface *c = child(i);
    if (!c->state().invisible && c->rect().contains(x, y))
      return c;
  }
  return nullptr;
}

QAccessibleInterface *CanvasAccessible::childFor(const void *control) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].box == control || controls_[i].line == control)
      return child(static_cast<int>(i));
  return nullptr;
}

void CanvasAccessible::install() {
  static const bool installed = [] {
    QAccessible::installFactory(canvasFactory);
    return true;
  }();
  (void)installed;
}

} // namespace arrivals
