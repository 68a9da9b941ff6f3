// The bytes of a file, read where they are needed: from the file with
// pread(), or from memory (the fuzz targets, the tests). Readers of large
// files take one of these instead of the whole file.
#pragma once

#include "header.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace image {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly out.size() bytes from `offset`. Refused when they reach past
    // the end ("the file is cut short ...") or the read fails. Safe to call
    // from several threads at once.
    virtual std::optional<Error> read(std::uint64_t offset, std::span<std::byte> out) const = 0;
};

// A regular file, kept open. Refused, with a reason that names neither path
// nor file: a file that does not exist or cannot be opened, a directory or
// anything else that is not a regular file.
Result<std::shared_ptr<const ByteSource>> openFileBytes(const std::string &path);

// Bytes in memory: owned, or only viewed (they must then outlive the source).
std::shared_ptr<const ByteSource> memoryBytes(std::string bytes);
std::shared_ptr<const ByteSource> viewedBytes(std::string_view bytes);

// The refusal of a read of `length` bytes at `offset` from a source of
// `size` bytes, or nothing when they lie within it.
std::optional<Error> checkWithin(std::uint64_t size, std::uint64_t offset, std::uint64_t length);

} // namespace image
