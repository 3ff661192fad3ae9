#pragma once

#include <QFont>
#include <QString>

#include "ui/controls.h"

namespace arrivals {

// "MS Sans Serif" where the system has it, otherwise Liberation Sans (Debian
// package fonts-liberation2), a sans face of much the same size and weight.
QString formFontFamily();

// The face at the control's size. Sizes are points at 96 dots per inch, as
// the layout is: they are set in logical pixels so that the text keeps its
// place in the fixed layout whatever the screen's reported resolution.
// At a zoom other than 1 the face is that many times larger.
QFont toQFont(const Font &f, double zoom = 1);

// `font`, narrowed just enough for `text` to fit `width` pixels. The point
// size stays; only the letters get narrower, and only when they must.
QFont fittedFont(const QFont &font, const QString &text, int width);

} // namespace arrivals
