#include "arrayview.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace image {

Result<std::shared_ptr<ArrayView>> ArrayView::of(std::span<const std::byte> counts, std::size_t width,
                                                 std::size_t height, std::size_t channels, SampleType type,
                                                 std::optional<spectrum::Calibration> calibration,
                                                 std::optional<double> beam_kV)
{
    if (auto error = checkSize(width, height, channels))
        return *error;
    Header h;
    h.format = Format::Array;
    h.width = width;
    h.height = height;
    h.channels = channels;
    h.type = type;
    if (calibration && !(std::isfinite(calibration->offset_eV) && std::isfinite(calibration->gain_eV) &&
                         calibration->gain_eV > 0))
        return Error{"a calibration whose offset is not a number, or whose gain is not above 0"};
    h.calibration = calibration;
    if (beam_kV && !(*beam_kV > 0 && *beam_kV <= 1000))
        return Error{"a beam energy that is not between 0 and 1000 kV"};
    h.meta.beam_kV = beam_kV;
    if (counts.size() != h.decodedBytes())
        return Error{std::to_string(counts.size()) + " bytes for " + sizeText(h) + " of " +
                     std::string(sampleTypeName(type)) + " (" + std::to_string(h.decodedBytes()) + " bytes)"};
    if (reinterpret_cast<std::uintptr_t>(counts.data()) % sampleBytes(type) != 0)
        return Error{"counts not aligned for " + std::string(sampleTypeName(type))};
    return std::shared_ptr<ArrayView>(new ArrayView(std::move(h), counts));
}

std::optional<Error> ArrayView::read(std::size_t first, std::size_t count, std::span<std::byte> out) const
{
    if (auto error = checkRange(first, count, out.size()))
        return error;
    if (!out.empty())
        std::memcpy(out.data(), counts_.data() + first * header_.pixelBytes(), out.size());
    return std::nullopt;
}

} // namespace image
