// NumPy's .npy format (version 1.0): a short header that gives the numbers'
// type, their order and the array's shape, then the numbers. Written for
// the element maps (float32, height × width) and anything else a user's
// NumPy should read as it is.
#pragma once

#include "header.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace image {

// The header of an array of `descr` ("<f4", "<f8") in C order of that
// shape: the magic string, the version, the header's length and its
// dictionary, padded with spaces to a multiple of 64 bytes.
std::string npyHeader(std::string_view descr, std::span<const std::size_t> shape);

// Writes values (little-endian, whatever the machine's order) as a .npy
// file of that shape; refused, naming the reason, when the file cannot be
// written or the shape does not hold values.size() numbers.
std::optional<Error> writeNpy(const std::string &path, std::span<const float> values,
                              std::span<const std::size_t> shape);
std::optional<Error> writeNpy(const std::string &path, std::span<const double> values,
                              std::span<const std::size_t> shape);

} // namespace image
