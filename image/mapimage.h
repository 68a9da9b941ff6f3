// The picture of an element map: the map in colour, enlarged by whole
// pixels when it is small, its title above it and its colour scale beside
// it, marked with the counts at its top, middle and bottom.
#pragma once

#include "png.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace image {

// The colour of t in [0, 1] (clamped): a scale that darkens evenly from
// yellow through green and blue to dark violet, readable in grey and by
// the colour-blind (matplotlib's viridis, by eight of its colours).
std::array<std::uint8_t, 3> mapColour(double t);

// The top of a map's scale: its largest finite value, or 1 when it has none
// above 0.
double mapTop(std::span<const float> values);

// The picture of width × height values (row by row from the top left),
// 0 to mapTop() on the colour scale; a value that is not a number is grey.
RgbImage renderMap(std::span<const float> values, std::size_t width, std::size_t height, std::string_view title);

} // namespace image
