#include "png.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace image {

namespace {

void put32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void chunk(std::vector<std::uint8_t> &out, const char type[4], const std::uint8_t *data, std::size_t size)
{
    put32(out, std::uint32_t(size));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size)
        out.insert(out.end(), data, data + size);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + start, uInt(out.size() - start));
    put32(out, std::uint32_t(crc));
}

} // namespace

std::vector<std::uint8_t> encodePng(const RgbImage &image)
{
    const std::size_t w = image.width, h = image.height;
    if (w == 0 || h == 0 || w > (1u << 24) || h > (1u << 24) || image.rgb.size() != w * h * 3)
        return {};
    // Each row: its filter (0, none), then its pixels.
    const std::size_t row = 1 + 3 * w;
    std::vector<std::uint8_t> raw(row * h);
    for (std::size_t y = 0; y < h; ++y) {
        raw[y * row] = 0;
        std::memcpy(raw.data() + y * row + 1, image.rgb.data() + y * w * 3, w * 3);
    }
    if (raw.size() > std::numeric_limits<uLong>::max() / 2)
        return {};
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return {};
    if (packedSize > 0x7FFFFFFFu)
        return {};

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t ihdr[13];
    for (int k = 0; k < 4; ++k) {
        ihdr[k] = std::uint8_t(w >> (24 - 8 * k));
        ihdr[4 + k] = std::uint8_t(h >> (24 - 8 * k));
    }
    ihdr[8] = 8;  // bits per sample
    ihdr[9] = 2;  // truecolour
    ihdr[10] = 0; // deflate
    ihdr[11] = 0; // adaptive filtering
    ihdr[12] = 0; // not interlaced
    chunk(out, "IHDR", ihdr, sizeof ihdr);
    chunk(out, "IDAT", packed.data(), packedSize);
    chunk(out, "IEND", nullptr, 0);
    return out;
}

std::optional<Error> writePng(const std::string &path, const RgbImage &image)
{
    const std::vector<std::uint8_t> bytes = encodePng(image);
    if (bytes.empty())
        return Error{"the picture could not be encoded (" + std::to_string(image.width) + " × " +
                     std::to_string(image.height) + " pixels)"};
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return Error{std::strerror(errno)};
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int error = errno;
    if (std::fclose(file) != 0 || !ok)
        return Error{std::strerror(ok ? errno : error)};
    return std::nullopt;
}

} // namespace image
