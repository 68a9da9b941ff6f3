#include "cube.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace image {

namespace {

Error noMemory(const Header &header)
{
    return Error::make(ErrorKind::CubeMemory, {std::to_string(header.width), std::to_string(header.height),
                                               std::to_string(header.channels), byteSizeText(header.decodedBytes())});
}

} // namespace

std::string byteSizeText(std::uint64_t bytes)
{
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    double value = double(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

Result<std::shared_ptr<Cube>> Cube::zeros(Header header)
{
    if (auto error = checkSize(header.width, header.height, header.channels))
        return *error;
    try {
        auto data = std::make_unique<std::byte[]>(std::size_t(header.decodedBytes()));
        return std::shared_ptr<Cube>(new Cube(std::move(header), std::move(data)));
    } catch (const std::bad_alloc &) {
        return noMemory(header);
    }
}

Result<std::shared_ptr<Cube>> Cube::copyOf(Header header, std::span<const std::byte> bytes)
{
    if (auto error = checkSize(header.width, header.height, header.channels))
        return *error;
    if (bytes.size() != header.decodedBytes())
        return Error::make(ErrorKind::CubeBytes,
                           {std::to_string(bytes.size()), std::to_string(header.width), std::to_string(header.height),
                            std::to_string(header.channels), std::string(sampleTypeName(header.type)),
                            std::to_string(header.decodedBytes())});
    try {
        auto data = std::make_unique_for_overwrite<std::byte[]>(bytes.size());
        std::memcpy(data.get(), bytes.data(), bytes.size());
        return std::shared_ptr<Cube>(new Cube(std::move(header), std::move(data)));
    } catch (const std::bad_alloc &) {
        return noMemory(header);
    }
}

std::optional<Error> Cube::read(std::size_t first, std::size_t count, std::span<std::byte> out) const
{
    if (auto error = checkRange(first, count, out.size()))
        return error;
    if (!out.empty())
        std::memcpy(out.data(), data_.get() + first * header_.pixelBytes(), out.size());
    return std::nullopt;
}

std::span<const std::byte> Cube::pixel(std::size_t x, std::size_t y) const
{
    const std::size_t bytes = header_.pixelBytes();
    return {data_.get() + (y * header_.width + x) * bytes, bytes};
}

Result<std::shared_ptr<Cube>> loadCube(const PixelSource &source, const ChunkOptions &options)
{
    const Header &header = source.header();
    std::unique_ptr<std::byte[]> data;
    try {
        // Not zeroed here: every reader writes every byte of its range.
        data = std::make_unique_for_overwrite<std::byte[]>(std::size_t(header.decodedBytes()));
    } catch (const std::bad_alloc &) {
        return noMemory(header);
    }
    const std::size_t pixelBytes = header.pixelBytes();
    std::byte *const base = data.get();
    const auto failure = forEachPiece(header.pixels(), chunkPixels(header, options), threadCount(options),
                                      options.progress, [&](std::size_t first, std::size_t count, unsigned) {
                                          return source.read(first, count,
                                                             {base + first * pixelBytes, count * pixelBytes});
                                      });
    if (failure)
        return *failure;
    return std::shared_ptr<Cube>(new Cube(header, std::move(data)));
}

} // namespace image
