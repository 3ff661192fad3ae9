#pragma once

#include <optional>
#include <string_view>

#include "ui/controls.h"

namespace arrivals {

// The form drawn larger or smaller, for a projector or a small screen. A
// zoom F draws every twip at F / 15 pixels: the client area is 844 F x 645 F
// pixels, each rounded to whole pixels, halves up.
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 4;
inline constexpr double kZoomStep = 0.25;

// A decimal from 0.5 to 4 ("2", "1.25", ".75"), or nothing. No sign, no
// exponent, no blanks: "." is the decimal point whatever the locale.
std::optional<double> ParseZoom(std::string_view text);

// Twips to whole pixels at `zoom`, halves up.
int ZoomedPixels(double twips, double zoom);

// The next step of kZoomStep up or down from `zoom`, within kMinZoom and
// kMaxZoom; a zoom between two steps goes to the nearer step that way.
double ZoomIn(double zoom);
double ZoomOut(double zoom);

// The zoom to draw at when `wanted` is asked for on a screen with room for
// `width` x `height` pixels: `wanted` where the client area fits, otherwise
// the largest zoom that fits, but never less than the smaller of `wanted`
// and 1 (the form at its own size is shown as it is, fitting or not).
double FitZoom(double wanted, double width, double height);

} // namespace arrivals
