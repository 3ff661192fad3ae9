#pragma once

#include <QPixmap>
#include <QSize>

namespace arrivals {

// The wordmark drawn from its outlines, as scripts/make-logo.sh draws the
// 300 x 48 pictures that the window shows at its own size: "Arrivals" in
// dark blue serif, then a time line whose ticks are packet arrivals, on a
// transparent ground. `size` is in logical pixels; the picture is sharp at
// any size and device pixel ratio.
QPixmap logoPicture(QSize size, qreal ratio);

} // namespace arrivals
