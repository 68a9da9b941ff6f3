// Where the pixels of a spectrum image come from: a file read in chunks of
// pixels (a cube too large for memory is streamed) or a cube in memory. The
// cube's operations, a fit over every pixel, and the window all read
// through it, chunk by chunk, so that none holds more than a chunk unless
// it asks for the whole cube.
#pragma once

#include "header.h"
#include "progress.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>

namespace image {

class PixelSource {
public:
    virtual ~PixelSource() = default;

    virtual const Header &header() const = 0;

    // Decodes the pixels [first, first + count), numbered row by row from
    // the top left (pixel x, y is y × width + x), into `out`: count ×
    // channels samples of header().type in the machine's byte order, each
    // pixel's channels together. `out` must hold exactly that many bytes.
    // Safe to call from several threads at once (each with its own `out`);
    // pixels close together are cheaper to read together, whole rows
    // cheapest. A refusal when the range or `out` does not fit, or when the
    // file turns out to be damaged where these pixels are.
    virtual std::optional<Error> read(std::size_t first, std::size_t count, std::span<std::byte> out) const = 0;

    // The counts of the whole cube when it is in memory (header().decodedBytes()
    // bytes, laid out as read() writes them), or null.
    virtual const std::byte *data() const { return nullptr; }

protected:
    // The refusal of read() for a range or buffer that does not fit, or
    // nothing.
    std::optional<Error> checkRange(std::size_t first, std::size_t count, std::size_t outBytes) const;
};

// How forEachChunk and the cube's operations go through the pixels.
struct ChunkOptions {
    // Pixels per chunk; 0 chooses whole rows of about ChunkBytes.
    std::size_t chunkPixels = 0;
    // Threads reading (and consuming) chunks at once; 0 uses every core.
    unsigned threads = 1;
    // Told the pixels done out of all; may cancel.
    Progress progress;
};

// The size of a chunk when ChunkOptions leave it to the core.
inline constexpr std::size_t ChunkBytes = 16u << 20;

// Pixels per chunk for these options: whole rows of about ChunkBytes, or
// as many pixels as ChunkBytes hold when a row is longer; or the pixels
// asked for.
std::size_t chunkPixels(const Header &header, const ChunkOptions &options);
// The threads these options use: `threads`, or every core for 0.
unsigned threadCount(const ChunkOptions &options);

// A chunk of decoded pixels.
struct Chunk {
    std::size_t first = 0; // the first pixel, numbered as in PixelSource::read
    std::size_t count = 0;
    std::size_t channels = 0;
    SampleType type = SampleType::U16;
    std::span<const std::byte> bytes; // count × channels samples, aligned for any sample type
    unsigned worker = 0;              // the thread consuming it, 0 to threadCount() - 1

    template <class T> std::span<const T> samples() const
    {
        return {reinterpret_cast<const T *>(bytes.data()), bytes.size() / sizeof(T)};
    }
};

// What forEachChunk hands each chunk to; an Error stops the walk.
using ChunkConsumer = std::function<std::optional<Error>(const Chunk &)>;

// Reads every pixel of `source` in chunks and hands each chunk to `consume`.
// With one thread the chunks come in order; with several, each thread reads
// and consumes its own chunks in no particular order, so `consume` must be
// safe to call from several threads at once (Chunk::worker tells which
// thread calls it). Each thread holds one chunk's buffer; a cube in memory
// is handed out in place. Stops at the first Error, of the source or of
// `consume`, and returns it; cancelling returns cancelledError().
std::optional<Error> forEachChunk(const PixelSource &source, const ChunkOptions &options,
                                  const ChunkConsumer &consume);

// The same over the pixels [first, first + count) only.
std::optional<Error> forEachChunk(const PixelSource &source, std::size_t first, std::size_t count,
                                  const ChunkOptions &options, const ChunkConsumer &consume);

// Runs work(first, count, worker) over [0, total) in pieces of `piece`, on
// `threads` threads; progress as forEachChunk. For the readers and the cube,
// which fill buffers of their own.
std::optional<Error> forEachPiece(std::size_t total, std::size_t piece, unsigned threads, const Progress &progress,
                                  const std::function<std::optional<Error>(std::size_t first, std::size_t count,
                                                                           unsigned worker)> &work);

} // namespace image
