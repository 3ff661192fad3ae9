#pragma once

#include <cstdint>
#include <limits>

namespace arrivals {

// The widths the program's numbers are kept in.
using Integer = std::int16_t; // counts, indices, tallies
using Long = std::int32_t;    // milliseconds, packet total, colours
using Single = float;         // window geometry in twips

inline constexpr Integer kIntegerMax = std::numeric_limits<Integer>::max();
inline constexpr Long kLongMin = std::numeric_limits<Long>::min();
inline constexpr Long kLongMax = std::numeric_limits<Long>::max();

// Colours are 24-bit numbers with red in the low byte, then green, then blue.
constexpr Long Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Long>(r | g << 8 | b << 16);
}

inline constexpr Long kRed = Rgb(255, 0, 0);
inline constexpr Long kBlack = Rgb(0, 0, 0);

} // namespace arrivals
