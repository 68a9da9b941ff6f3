// Text drawn into pictures without a font library: a 5 × 7 pixel face of
// the ASCII letters and digits and the signs numbers use, for the labels of
// the element maps' pictures.
#pragma once

#include "png.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace image {

inline constexpr std::size_t GlyphWidth = 5, GlyphHeight = 7;

// The width of `text` drawn at `scale` pixels a dot (a dot between letters).
std::size_t textWidth(std::string_view text, int scale);
// Draws `text` with its top left at x, y, clipped to the image; characters
// the face lacks are left blank.
void drawText(RgbImage &image, std::size_t x, std::size_t y, std::string_view text, int scale,
              std::array<std::uint8_t, 3> colour);

} // namespace image
