#pragma once

#include <string>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

#include "ui/controls.h"

namespace arrivals {

class FormCanvas;

// One control that the canvas paints, as assistive technology sees it: its
// name from the form ("lblServiced", "sPacket(7)", ...) and where to read
// its place, visibility and caption. Points into the form's controls.
struct PaintedControl {
  QString name;
  QAccessible::Role role = QAccessible::Graphic;
  const Box *box = nullptr;   // shapes, labels and the image
  const Line *line = nullptr; // lines
  const bool *visible = nullptr;
  const std::string *caption = nullptr; // labels
};

// Every painted control, in painting order from the bottom.
std::vector<PaintedControl> paintedControls(const Controls &c);

// The canvas in the accessibility tree, with one child per painted control,
// so that a screen reader (or a test) finds each of them by name. Children
// are made only when something asks for them.
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

  // Installs the factory that gives every FormCanvas this interface.
  static void install();
  // Told by the canvas as it is destroyed, before Qt deletes this.
  void forgetCanvas() { canvas_ = nullptr; }

private:
  FormCanvas *canvas_; // null once the canvas is being destroyed

  std::vector<PaintedControl> controls_;
  mutable std::vector<QAccessible::Id> ids_; // 0 until made
};

} // namespace arrivals
