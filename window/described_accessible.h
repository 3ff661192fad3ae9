#pragma once

#include <QAccessibleInterface>

namespace arrivals {

class FormCanvas;

// The parts of the canvas that a screen reader reads as a whole, in words
// from the form's description (ui/description.h): the packet counter, the
// four graphs with the counts behind their bars as last drawn, the
// packets in flight, and a status item whose description is the run's
// state in one sentence (what F2 asks to be read). They follow the painted
// controls among the canvas's children, in this order.
enum class Described {
  Counter,
  GraphOne,
  InterArrival,
  GraphTwo,
  GraphThree,
  InFlight,
  State
};
inline constexpr int kDescribedCount = 7;

// A new interface for part `which` of `canvas`; Qt's registry takes it.
QAccessibleInterface *makeDescribedAccessible(FormCanvas *canvas,
                                              Described which);

} // namespace arrivals
