// A spectrum image whose counts someone else holds (a NumPy array, a block
// of a Dask array): a PixelSource over their memory, without a copy, for
// the operations that read through one (sums, element maps). The memory
// must outlive the view and stay unchanged while it is read.
#pragma once

#include "pixelsource.h"

#include <cstddef>
#include <memory>
#include <span>

namespace image {

class ArrayView final : public PixelSource {
public:
    // A view of width × height pixels of `channels` counts of `type` each,
    // each pixel's channels together, row by row from the top left (a C
    // array of shape height × width × channels). Refused when the sizes
    // break the limits (checkSize) or disagree with the bytes given, or
    // when the bytes are not aligned for the type.
    static Result<std::shared_ptr<ArrayView>> of(std::span<const std::byte> counts, std::size_t width,
                                                 std::size_t height, std::size_t channels, SampleType type,
                                                 std::optional<spectrum::Calibration> calibration,
                                                 std::optional<double> beam_kV = std::nullopt);

    const Header &header() const override { return header_; }
    std::optional<Error> read(std::size_t first, std::size_t count, std::span<std::byte> out) const override;
    const std::byte *data() const override { return counts_.data(); }

private:
    ArrayView(Header header, std::span<const std::byte> counts) : header_(std::move(header)), counts_(counts) {}

    Header header_;
    std::span<const std::byte> counts_;
};

} // namespace image
