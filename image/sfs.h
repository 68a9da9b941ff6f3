// The SFS container of Bruker's .bcf files: a little file system in one
// file, made of fixed-size chunks.
//
// Layout (all numbers little-endian):
//   0x000  "AAMVHFSS"
//   0x124  float32 the container's version (2.4, 2.6, 2.8 ...)
//   0x128  uint32  the chunk size C
//   0x140  uint32  the chunk where the file table starts; uint32 its
//          entries; uint32 the chunks in the container
//   Chunk k starts at 0x118 + k C: 32 bytes of chunk header, the first
//   uint32 of which is the next chunk of a chained table, then C - 32
//   bytes of data.
//   File table: entries of 512 bytes, (C - 32) / 512 per chunk, in chained
//   chunks. An entry: int32 the chunk where the file's chunk list starts,
//   uint64 its size, four times, uint32 permissions, int32 its directory's
//   entry (-1 at the top), 176 bytes, a byte that is 1 for a directory, 3
//   bytes, its name in 256 bytes (NUL-padded), 32 bytes.
//   A file's chunk list: one uint32 chunk number for each C - 32 bytes of
//   the file, (C - 32) / 4 per chunk, in chained chunks.
//   A file may be compressed: it then starts with "AACS", uint32 the
//   uncompressed block size, uint32, uint32 the number of blocks; from
//   offset 0x80 each block is a header of four uint32 (compressed size,
//   uncompressed size, two more) and that many bytes of zlib data.
#pragma once

#include "bytesource.h"
#include "inflate.h"
#include "progress.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace image::sfs {

class File;

struct Entry {
    std::string name;
    std::int64_t parent = -1; // the directory's entry, -1 at the top
    bool directory = false;
    std::uint64_t size = 0;
    std::uint32_t listChunk = 0; // where the file's chunk list starts
};

class Container {
public:
    // Reads the header and the file table. Refused with the reason: not an
    // SFS container, a chunk size or table that does not fit the file, an
    // entry whose directory does not exist.
    static Result<Container> open(std::shared_ptr<const ByteSource> bytes);

    const std::vector<Entry> &entries() const { return entries_; }
    // The entry of a path such as "EDSDatabase/HeaderData", or nothing.
    std::optional<std::size_t> find(std::string_view path) const;
    // The entries in a directory (-1: at the top), in table order.
    std::vector<std::size_t> children(std::int64_t directory) const;
    // The file of an entry, its chunk list read. Refused for a directory,
    // or a chunk list that points outside the container.
    Result<File> file(std::size_t entry) const;

    std::uint32_t chunkSize() const { return chunkSize_; }
    float version() const { return version_; }

private:
    std::shared_ptr<const ByteSource> bytes_;
    std::uint32_t chunkSize_ = 0;
    std::uint64_t chunks_ = 0; // whole chunks the file holds
    float version_ = 0;
    std::vector<Entry> entries_;

    friend class File;
    // Reads `count` bytes of data from the chained chunks starting at
    // `first`, `perChunk` bytes of each chunk: of the file table, or of the
    // chunk list of the entry named (quoted).
    Result<std::vector<std::byte>> readChained(std::uint32_t first, std::uint64_t count, std::size_t perChunk,
                                               const std::string &listOf = {}) const;
};

// One file of the container, read by offset through its chunk list.
class File {
public:
    std::uint64_t size() const { return size_; }
    const std::string &name() const { return name_; }
    // Exactly out.size() bytes from `offset`; refused past the file's end
    // or when the container is cut short. Safe from several threads.
    std::optional<Error> read(std::uint64_t offset, std::span<std::byte> out) const;

private:
    friend class Container;
    std::shared_ptr<const ByteSource> bytes_;
    std::string name_;
    std::uint32_t chunkSize_ = 0;
    std::uint64_t size_ = 0;
    std::vector<std::uint32_t> chunks_;
};

// A file as a sequence of blocks of its decoded bytes: the zlib blocks of a
// compressed file, or slices of BlockBytes of a plain one.
class BlockStream {
public:
    static constexpr std::size_t BlockBytes = 1u << 20;
    // The largest uncompressed block accepted.
    static constexpr std::size_t MaxBlockBytes = 64u << 20;

    // Reads the block headers of a compressed file (or slices a plain one).
    // Refused when they do not fit the file.
    static Result<BlockStream> open(File file);

    std::uint64_t size() const { return blockStarts_.back(); } // decoded bytes
    std::size_t blocks() const { return blockStarts_.size() - 1; }
    std::uint64_t blockStart(std::size_t i) const { return blockStarts_[i]; }
    std::size_t blockSize(std::size_t i) const { return std::size_t(blockStarts_[i + 1] - blockStarts_[i]); }
    // The block holding decoded byte `offset` (< size()).
    std::size_t blockAt(std::uint64_t offset) const;
    bool compressed() const { return compressed_; }
    const File &file() const { return file_; }

    // Block i decoded into `out` (resized to blockSize(i)); `packed` and
    // `inflater` are scratch kept between calls. Safe from several threads,
    // each with its own scratch.
    std::optional<Error> block(std::size_t i, std::vector<std::byte> &out, std::vector<std::byte> &packed,
                               Inflater &inflater) const;

    // The whole decoded file, refused beyond `limit` bytes.
    Result<std::string> readAll(std::uint64_t limit) const;

private:
    File file_;
    bool compressed_ = false;
    std::vector<std::uint64_t> blockStarts_{0};  // decoded offsets, one more than blocks
    std::vector<std::uint64_t> packedStarts_;    // where each block's zlib data start in the file
    std::vector<std::uint32_t> packedSizes_;
};

} // namespace image::sfs
