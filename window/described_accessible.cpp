#include "window/described_accessible.h"

#include <algorithm>

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "model/simulation.h"
#include "ui/description.h"
#include "ui/form.h"
#include "window/canvas.h"
#include "window/canvas_accessible.h"
#include "window/pixels.h"

namespace arrivals {

namespace {

// The box in twips around lines first to last of lneGraph, with the tick
// labels under the baseline and the graph's title.
Box GraphBox(const Controls &c, std::size_t first, std::size_t last,
             const Box &title) {
  Single left = title.left;
  Single top = title.top;
  Single right = title.left + title.width;
  Single bottom = title.top + title.height;
  for (std::size_t i = first; i <= last; ++i) {
    const Line &l = c.lneGraph[i];
    left = std::min({left, l.x1, l.x2});
    top = std::min({top, l.y1, l.y2});
    right = std::max({right, l.x1, l.x2});
    bottom = std::max({bottom, l.y1 + 375, l.y2 + 375}); // tick labels
  }
  return {left, top, right - left, bottom - top};
}

// It holds no state: every answer is read from the form when asked.
class DescribedAccessible final : public CanvasLeafAccessible {
public:
  DescribedAccessible(FormCanvas *canvas, Described which)
      : CanvasLeafAccessible(canvas), which_(which) {}

  QAccessible::State state() const override { return {}; }

  QAccessible::Role role() const override {
    if (which_ == Described::State)
      return QAccessible::StatusBar;
    return graph() >= 0 ? QAccessible::Chart : QAccessible::StaticText;
  }

  QString text(QAccessible::Text t) const override {
    const MainForm *form = canvas_ ? canvas_->form() : nullptr;
    if (form == nullptr)
      return QString();
    const int g = graph();
    if (g >= 0) {
      const GraphDescription d =
          DescribeGraphs(*form)[static_cast<std::size_t>(g)];
      if (t == QAccessible::Name)
        return QString::fromStdString(d.title);
      if (t == QAccessible::Description)
        return QString::fromStdString(GraphText(d));
      return QString();
    }
    if (t == QAccessible::Name) {
      if (which_ == Described::Counter)
        return QStringLiteral("Packet counter");
      return which_ == Described::State ? QStringLiteral("Run state")
                                        : QStringLiteral("Packets in flight");
    }
    if (t != QAccessible::Description && t != QAccessible::Value)
      return QString();
    if (which_ == Described::Counter)
      return QString::fromStdString(CounterText(form->state().packetCount));
    return QString::fromStdString(which_ == Described::State
                                      ? StateText(*form)
                                      : InFlightText(form->controls()));
  }

  QRect rect() const override {
    if (!canvas_)
      return QRect();
    const Controls &c = canvas_->controls();
    Box box;
    switch (which_) {
    case Described::Counter:
      box = c.lblServiced.box;
      break;
    case Described::GraphOne:
      box = GraphBox(c, 0, 5, c.lblGraphTitle[0].box);
      break;
    case Described::InterArrival:
      box = GraphBox(c, 6, 11, c.lblMeanWaitingTime.box);
      break;
    case Described::GraphTwo:
      box = GraphBox(c, 12, 17, c.lblGraphTitle[1].box);
      break;
    case Described::GraphThree:
      box = GraphBox(c, 18, 23, c.lblGraphTitle[2].box);
      break;
    case Described::State:
      box = c.shpDataBorder.box; // the controls of the run
      break;
    case Described::InFlight: {
      // Where a marker can be: from the source to the furthest Left it
      // reaches before it is hidden, 34 steps on.
      const Box &p = c.sPacket[0].box;
      box = {kPacketSourceLeft, kPacketTrackTop, 34 * 250 + p.width, p.height};
      break;
    }
    }
    return toPixels(box, canvas_->zoom())
        .translated(canvas_->mapToGlobal(QPoint(0, 0)));
  }

private:
  // The graph's index in DescribeGraphs, or -1.
  int graph() const {
    const int i = static_cast<int>(which_) - 1;
    return i >= 0 && i < static_cast<int>(kGraphCount) ? i : -1;
  }

  Described which_;
};

} // namespace

QAccessibleInterface *makeDescribedAccessible(FormCanvas *canvas,
                                              Described which) {
  return new DescribedAccessible(canvas, which);
}

} // namespace arrivals
