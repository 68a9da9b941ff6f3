// A spectrum image in memory: the whole cube of counts in one buffer, in
// the type the file stores. It is a PixelSource too, so the operations that
// stream a file work on it unchanged (handing out chunks in place).
#pragma once

#include "pixelsource.h"

#include <cstddef>
#include <memory>
#include <span>

namespace image {

class Cube;
Result<std::shared_ptr<Cube>> loadCube(const PixelSource &source, const ChunkOptions &options);

class Cube final : public PixelSource {
public:
    // A cube of zeros with that header; refused, with the size, when the
    // memory cannot be had.
    static Result<std::shared_ptr<Cube>> zeros(Header header);
    // A cube holding a copy of `bytes` (header.decodedBytes() of them, laid
    // out as PixelSource::read writes them).
    static Result<std::shared_ptr<Cube>> copyOf(Header header, std::span<const std::byte> bytes);

    const Header &header() const override { return header_; }
    std::optional<Error> read(std::size_t first, std::size_t count, std::span<std::byte> out) const override;
    const std::byte *data() const override { return data_.get(); }

    std::span<const std::byte> bytes() const { return {data_.get(), std::size_t(header_.decodedBytes())}; }
    std::span<std::byte> bytes() { return {data_.get(), std::size_t(header_.decodedBytes())}; }
    // The counts as T, which must be the C++ type of header().type.
    template <class T> std::span<const T> samples() const
    {
        return {reinterpret_cast<const T *>(data_.get()), std::size_t(header_.samples())};
    }
    template <class T> std::span<T> samples()
    {
        return {reinterpret_cast<T *>(data_.get()), std::size_t(header_.samples())};
    }
    // One pixel's channels, x and y within the image.
    std::span<const std::byte> pixel(std::size_t x, std::size_t y) const;

private:
    friend Result<std::shared_ptr<Cube>> loadCube(const PixelSource &source, const ChunkOptions &options);
    Cube(Header header, std::unique_ptr<std::byte[]> data) : header_(std::move(header)), data_(std::move(data)) {}

    Header header_;
    std::unique_ptr<std::byte[]> data_; // from operator new: aligned for every sample type
};

// Reads the whole of `source` into a Cube, decoding straight into the
// cube's buffer chunk by chunk (with options.threads threads): the peak is
// the cube plus one chunk's worth of decoding per thread. Refused when the
// source fails or the memory cannot be had; cancelled by the progress.
Result<std::shared_ptr<Cube>> loadCube(const PixelSource &source, const ChunkOptions &options = {});

// "2.0 GiB", "512 MiB", "12 KiB", "100 bytes".
std::string byteSizeText(std::uint64_t bytes);

} // namespace image
