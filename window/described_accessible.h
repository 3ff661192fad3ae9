#pragma once

#include <QAccessibleInterface>

namespace arrivals {

class FormCanvas;

// The parts of the canvas that a screen reader reads as a whole, in words
// from the form's description (ui/description.h): the packet counter, the
// four graphs with the counts behind their bars as last drawn, and the
// packets in flight. They follow the painted controls among the canvas's
// children, in this order.
enum class Described {
  Counter,
  GraphOne,
  InterArrival,
  GraphTwo,
  GraphThree,
  InFlight
};
inline constexpr int kDescribedCount = 6;

// A new interface for part `which` of `canvas`; Qt's registry takes it.
QAccessibleInterface *makeDescribedAccessible(FormCanvas *canvas,
                                              Described which);

} // namespace arrivals
