#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include "ui/controls.h"
#include "ui/drawing.h"

class QPainter;

namespace arrivals {

class CanvasAccessible;
class MainForm;

// Paints every control of the form that is not a real widget (the data
// border, the bars, the axes and the track, the labels, the logo and the
// packet markers) by walking the form's Drawing, bottom to top. It reads the
// form's controls when it paints and keeps no copy of them.
//
// Only what changed is repainted: a moving marker asks for its old and new
// rectangles, a label for its box, and a redraw of the graphs for one
// rectangle per bar group (see flushBars).
//
// Assistive technology sees every painted control as a child of the canvas,
// named as in the form (see CanvasAccessible).
class FormCanvas final : public QWidget {
public:
  explicit FormCanvas(const Controls &controls, QWidget *parent = nullptr);
  ~FormCanvas() override;
  FormCanvas(const FormCanvas &) = delete;
  FormCanvas &operator=(const FormCanvas &) = delete;

  // A shape changed; `before` is how it was.
  void shapeChanged(ShapeGroup group, int index, const Shape &before);
  // A label's caption or visibility changed.
  void labelChanged(LabelGroup group, int index);
  // Asks for the repaint of every bar group changed since the last call, as
  // one rectangle per group. The window calls it after each event it hands
  // to the form, so a redraw of 68 bars costs four update rectangles.
  void flushBars();

  // The area that the real widgets hide from view. A repaint that reaches
  // into it leaves that part out, so that a marker launched beside a box
  // does not make Qt repaint the box as well.
  void setCovered(const QRegion &covered);

  QSize sizeHint() const override;
  // Draws the form at `zoom` times its size (see ui/zoom.h).
  void setZoom(double zoom);
  double zoom() const { return zoom_; }
  const Controls &controls() const { return c_; }
  const Drawing &drawing() const { return drawing_; }
  // The form whose controls these are, for the parts of the canvas that
  // assistive technology reads in words; null for none.
  void setForm(const MainForm *form) { form_ = form; }
  const MainForm *form() const { return form_; }
  // F2: tells assistive technology that the run's state is to be read.
  void sayState();
  // Set while the canvas has an accessibility interface, which then hears
  // of every change of a caption.
  void setAccessible(CanvasAccessible *accessible) { accessible_ = accessible; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void invalidate(const QRect &dirty);
  const Shape &shapeAt(ShapeGroup group, int index) const;
  const Label &labelAt(LabelGroup group, int index) const;
  void paintItem(QPainter &p, std::size_t index, const DrawItem &item,
                 const QRegion &region);
  QRect shapeRect(const Shape &s) const;
  void paintRectangle(QPainter &p, const Shape &s, const QRegion &region) const;
  void paintOval(QPainter &p, const Shape &s, const QRegion &region);
  void paintLine(QPainter &p, const Line &l, const QRegion &region) const;
  void paintText(QPainter &p, std::size_t index, const DrawItem &item,
                 const QRegion &region);
  const QPixmap &ovalSprite(const Shape &s, QSize size);
  const QPixmap &logo();

  const Controls &c_;
  Drawing drawing_;
  double zoom_ = 1;
  // Per drawing item: the caption as last painted, in its fitted face.
  struct FittedText {
    std::string caption;
    int width = -1;
    QString text;
    QFont font;
  };
  std::vector<FittedText> texts_;
  // OneBar, InterArrivalBar, TwoBar, ThreeBar
  std::array<QRect, 4> barsDirty_{};
  QRegion covered_;
  QRect coveredBounds_;

  // The marker oval is drawn once, antialiased, and then only copied.
  struct Sprite {
    QSize size;
    qreal ratio = 0;
    Long fill = -1;
    bool filled = false;
    int outline = -1;
    Long outlineColor = -1;
    QPixmap pixmap;
  } sprite_;

  QPixmap logo_;
  qreal logoRatio_ = 0;
  CanvasAccessible *accessible_ = nullptr;
  const MainForm *form_ = nullptr;
  std::uint32_t graphsSeen_ = 0; // the form's graphsVersion() last told
};

} // namespace arrivals
