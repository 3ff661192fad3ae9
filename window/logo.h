#pragma once

#include <QPixmap>
#include <QSize>

namespace arrivals {

// The wordmark painted from its table (ui/logo.h) at `size` logical pixels
// and device pixel ratio `ratio`, on a transparent ground: sharp at any
// size. window/make_logo.cpp saves it as the 300 x 48 and 600 x 96
// pictures that the window shows at scale 1.
QPixmap logoPicture(QSize size, qreal ratio);

} // namespace arrivals
