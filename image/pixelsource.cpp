#include "pixelsource.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace image {

std::optional<Error> PixelSource::checkRange(std::size_t first, std::size_t count, std::size_t outBytes) const
{
    const Header &h = header();
    if (first > h.pixels() || count > h.pixels() - first)
        return Error::make(ErrorKind::PixelsOutside,
                           {std::to_string(first), std::to_string(first + count), std::to_string(h.pixels())});
    if (outBytes != count * h.pixelBytes())
        return Error::make(ErrorKind::BufferSize,
                           {std::to_string(outBytes), std::to_string(count), std::to_string(h.pixelBytes())});
    return std::nullopt;
}

std::size_t chunkPixels(const Header &header, const ChunkOptions &options)
{
    if (options.chunkPixels > 0)
        return options.chunkPixels;
    const std::size_t pixelBytes = std::max<std::size_t>(1, header.pixelBytes());
    const std::size_t rowBytes = std::max<std::size_t>(1, header.width * pixelBytes);
    if (rowBytes > ChunkBytes) // rows too long for a chunk: pixels that fit
        return std::max<std::size_t>(1, ChunkBytes / pixelBytes);
    const std::size_t rows = ChunkBytes / rowBytes;
    return std::max<std::size_t>(1, std::min(rows * header.width, header.pixels()));
}

unsigned threadCount(const ChunkOptions &options)
{
    if (options.threads > 0)
        return options.threads;
    return std::max(1u, std::thread::hardware_concurrency());
}

std::optional<Error> forEachPiece(std::size_t total, std::size_t piece, unsigned threads, const Progress &progress,
                                  const std::function<std::optional<Error>(std::size_t, std::size_t, unsigned)> &work)
{
    if (total == 0)
        return std::nullopt;
    piece = std::max<std::size_t>(1, piece);
    const std::size_t pieces = (total - 1) / piece + 1;
    threads = unsigned(std::clamp<std::size_t>(threads, 1, pieces));

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex; // guards failure, done and the calls of progress
    std::optional<Error> failure;
    std::uint64_t done = 0;
    const auto run = [&](unsigned worker) {
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t k = next.fetch_add(1);
            if (k >= pieces)
                return;
            const std::size_t first = k * piece;
            const std::size_t count = std::min(piece, total - first);
            std::optional<Error> error;
            try {
                error = work(first, count, worker);
            } catch (const std::bad_alloc &) {
                error = Error::make(ErrorKind::NoMemory);
            }
            const std::lock_guard lock(mutex);
            if (error) {
                if (!failure)
                    failure = std::move(error);
                stop = true;
                return;
            }
            done += count;
            if (progress && !stop && !progress(done, total)) {
                failure = cancelledError();
                stop = true;
                return;
            }
        }
    };

    std::vector<std::thread> helpers;
    for (unsigned worker = 1; worker < threads; ++worker) {
        try {
            helpers.emplace_back(run, worker);
        } catch (const std::system_error &) {
            break; // fewer threads then
        }
    }
    run(0);
    for (std::thread &helper : helpers)
        helper.join();
    return failure;
}

std::optional<Error> forEachChunk(const PixelSource &source, std::size_t first, std::size_t count,
                                  const ChunkOptions &options, const ChunkConsumer &consume)
{
    const Header &h = source.header();
    if (first > h.pixels() || count > h.pixels() - first)
        return Error::make(ErrorKind::PixelsOutside,
                           {std::to_string(first), std::to_string(first + count), std::to_string(h.pixels())});
    const std::size_t piece = chunkPixels(h, options);
    const unsigned threads = threadCount(options);
    const std::size_t pixelBytes = h.pixelBytes();
    const auto chunk = [&](std::size_t at, std::size_t n, unsigned worker, const std::byte *bytes) {
        return Chunk{at, n, h.channels, h.type, std::span<const std::byte>(bytes, n * pixelBytes), worker};
    };

    if (const std::byte *data = source.data())
        return forEachPiece(count, piece, threads, options.progress,
                            [&](std::size_t at, std::size_t n, unsigned worker) {
                                return consume(chunk(first + at, n, worker, data + (first + at) * pixelBytes));
                            });

    // One buffer per thread, of 8-byte words: aligned for every sample type.
    std::vector<std::unique_ptr<std::uint64_t[]>> buffers(threads);
    const std::size_t words = (std::min(piece, count) * pixelBytes + 7) / 8;
    return forEachPiece(count, piece, threads, options.progress,
                        [&](std::size_t at, std::size_t n, unsigned worker) -> std::optional<Error> {
                            std::unique_ptr<std::uint64_t[]> &buffer = buffers[worker];
                            if (!buffer)
                                buffer = std::make_unique_for_overwrite<std::uint64_t[]>(std::max<std::size_t>(1, words));
                            const std::span<std::byte> out(reinterpret_cast<std::byte *>(buffer.get()), n * pixelBytes);
                            if (auto error = source.read(first + at, n, out))
                                return error;
                            return consume(chunk(first + at, n, worker, out.data()));
                        });
}

std::optional<Error> forEachChunk(const PixelSource &source, const ChunkOptions &options, const ChunkConsumer &consume)
{
    return forEachChunk(source, 0, source.header().pixels(), options, consume);
}

} // namespace image
