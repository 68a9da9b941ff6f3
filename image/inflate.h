// zlib decompression of one whole block at a time, reusing its state
// between blocks.
#pragma once

#include "header.h"

#include <cstddef>
#include <memory>
#include <span>

namespace image {

class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;

    // Decompresses the zlib stream `in` into exactly out.size() bytes.
    // Refused, with zlib's reason, when the data are not a zlib stream, are
    // damaged, or decompress to another size than out.size().
    std::optional<Error> inflate(std::span<const std::byte> in, std::span<std::byte> out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace image
