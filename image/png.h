// PNG files of 8-bit RGB pixels (the element maps' pictures), written with
// zlib: the signature, IHDR, one IDAT and IEND, each row unfiltered.
#pragma once

#include "header.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace image {

// An image of width × height pixels, each three bytes (red, green, blue),
// row by row from the top left.
struct RgbImage {
    std::size_t width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// The PNG file's bytes; empty when the image holds no pixel, its sizes and
// rgb disagree, or zlib fails.
std::vector<std::uint8_t> encodePng(const RgbImage &image);

// Writes the image as a PNG file; refused, with the reason, when it cannot.
std::optional<Error> writePng(const std::string &path, const RgbImage &image);

} // namespace image
