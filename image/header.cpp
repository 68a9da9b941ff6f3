#include "header.h"

namespace image {

std::string_view formatName(Format format)
{
    return format == Format::Bcf ? "bcf" : format == Format::Ripple ? "ripple" : "array";
}

std::string_view formatTitle(Format format)
{
    return format == Format::Bcf ? "Bruker bcf" : format == Format::Ripple ? "Lispix ripple (.rpl, .raw)" : "an array in memory";
}

std::optional<Error> checkSize(std::size_t width, std::size_t height, std::size_t channels)
{
    if (width == 0 || height == 0)
        return Error{"an image of " + std::to_string(width) + " × " + std::to_string(height) + " pixels holds nothing"};
    if (channels == 0)
        return Error{"spectra of 0 channels"};
    if (width > MaxSide || height > MaxSide)
        return Error{"an image of " + std::to_string(width) + " × " + std::to_string(height) +
                     " pixels; a side can be at most " + std::to_string(MaxSide) + " pixels"};
    if (std::uint64_t(width) * height > MaxPixels)
        return Error{"an image of " + std::to_string(width) + " × " + std::to_string(height) +
                     " pixels; at most 2^32 pixels are read"};
    if (channels > MaxChannels)
        return Error{"spectra of " + std::to_string(channels) + " channels; at most " + std::to_string(MaxChannels) +
                     " are read"};
    return std::nullopt;
}

std::string sizeText(const Header &header)
{
    return std::to_string(header.width) + " × " + std::to_string(header.height) + " pixels × " +
           std::to_string(header.channels) + " channels";
}

} // namespace image
