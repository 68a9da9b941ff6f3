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
        return Error::make(ErrorKind::ImageEmpty, {std::to_string(width), std::to_string(height)});
    if (channels == 0)
        return Error::make(ErrorKind::ImageNoChannels);
    if (width > MaxSide || height > MaxSide)
        return Error::make(ErrorKind::ImageSide, {std::to_string(width), std::to_string(height), std::to_string(MaxSide)});
    if (std::uint64_t(width) * height > MaxPixels)
        return Error::make(ErrorKind::ImagePixels, {std::to_string(width), std::to_string(height)});
    if (channels > MaxChannels)
        return Error::make(ErrorKind::ImageChannels, {std::to_string(channels), std::to_string(MaxChannels)});
    return std::nullopt;
}

std::string sizeText(const Header &header)
{
    return std::to_string(header.width) + " × " + std::to_string(header.height) + " pixels × " +
           std::to_string(header.channels) + " channels";
}

} // namespace image
