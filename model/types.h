#pragma once

#include <cstdint>

namespace arrivals {

// The widths the program's numbers are kept in.
using Integer = std::int16_t; // counts, indices, tallies
using Long = std::int32_t;    // milliseconds, packet total, colours
using Single = float;         // window geometry in twips

inline constexpr Integer kIntegerMax = 32767;
inline constexpr Long kLongMax = 2147483647;

// Colours are 24-bit numbers with red in the low byte.
inline constexpr Long kRed = 255;
inline constexpr Long kBlack = 0;

} // namespace arrivals
