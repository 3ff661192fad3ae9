#pragma once

#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include "ui/controls.h"

namespace arrivals {

class FormCanvas;

// A child of the canvas in the accessibility tree with no children of its
// own: what every painted or described part answers alike. It holds only
// the canvas, and is valid while the canvas lives.
class CanvasLeafAccessible : public QAccessibleInterface {
public:
  explicit CanvasLeafAccessible(FormCanvas *canvas);

  bool isValid() const override { return !canvas_.isNull(); }
  QObject *object() const override { return nullptr; }
  QWindow *window() const override;
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }
  QAccessibleInterface *parent() const override;
  QAccessibleInterface *child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }
  void setText(QAccessible::Text, const QString &) override {}

protected:
  QPointer<FormCanvas> canvas_;
};

// The canvas in the accessibility tree, with one child per painted control
// of the canvas's Drawing, bottom to top and named as in the form
// ("lblServiced", "sPacket(7)", ...), so that a screen reader (or a test)
// finds each of them by name; then the parts described in words (see
// described_accessible.h). Children are made only when something asks
// for them, and read the form's controls whenever they are asked.
class CanvasAccessible final : public QAccessibleWidget {
public:
  explicit CanvasAccessible(FormCanvas *canvas);
  ~CanvasAccessible() override;

  CanvasAccessible(const CanvasAccessible &) = delete;
  CanvasAccessible &operator=(const CanvasAccessible &) = delete;

  int childCount() const override;
  QAccessibleInterface *child(int index) const override;
  int indexOfChild(const QAccessibleInterface *child) const override;
  QAccessibleInterface *childAt(int x, int y) const override;

  // The child for the control whose caption or visibility has changed, so
  // that an event can name it; nullptr for a control the canvas lacks.
  QAccessibleInterface *childFor(const void *control) const;

  // The counter's and the graphs' descriptions have changed (see
  // described_accessible.h): tells assistive technology.
  void counterChanged() const;
  void graphsRedrawn() const;
  // Asks assistive technology to read the run's state again (F2).
  void stateRequested() const;

  // Installs the factory that gives every FormCanvas this interface.
  static void install();
  // Told by the canvas as it is destroyed, before Qt deletes this.
  void forgetCanvas() { canvas_ = nullptr; }

private:
  FormCanvas *canvas_; // null once the canvas is being destroyed

  // The drawing's items that are controls of their own: all but the
  // counter's digits, which belong to lblServiced.
  std::vector<std::size_t> items_;
  mutable std::vector<QAccessible::Id> ids_; // 0 until made
};

} // namespace arrivals
