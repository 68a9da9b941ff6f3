// Writes the SFS container of a .bcf (image/sfs.h describes it) chunk by
// chunk: files appended in pieces, then their chunk lists, the file table
// and, in chunk 0, the container's header. For the tools' .bcf writer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace synth {

class SfsWriter {
public:
    // Starts writing `path`; `version` 1 or 2 of the bcf format.
    SfsWriter(const std::string &path, std::uint32_t chunkSize, int version);
    ~SfsWriter();
    SfsWriter(const SfsWriter &) = delete;
    SfsWriter &operator=(const SfsWriter &) = delete;

    // A new entry in directory `parent` (-1 at the top); its index.
    std::size_t add(const std::string &name, std::int32_t parent, bool directory);
    // Appends bytes to a file; its full chunks are written at once.
    void append(std::size_t file, const std::string &bytes);
    // Rewrites bytes within a file's first chunk.
    void patch(std::size_t file, std::size_t offset, const std::string &bytes);
    // Writes a file's last, partial chunk.
    void close(std::size_t file);
    // Writes the chunk lists, the file table and the header, and closes the
    // file; the first error met on the way, or nothing.
    std::optional<std::string> finish();

    std::optional<std::string> error;

private:
    struct File {
        std::string name;
        std::int32_t parent = -1;
        bool directory = false;
        std::uint64_t size = 0;
        std::vector<std::uint32_t> chunks;
        std::string buffer; // the part of the current chunk not yet written
        std::uint32_t listChunk = 0;
    };

    void writeAt(std::uint64_t at, const std::string &bytes);
    void writeChunk(std::uint32_t index, std::uint32_t nextInChain, const std::string &data);
    std::uint32_t chained(const std::string &bytes, std::size_t perChunk);

    std::vector<File> files_;
    std::FILE *file_ = nullptr;
    std::uint32_t chunkSize_, usable_;
    int version_;
    std::uint32_t next_ = 1; // chunk 0 is the header's
};

} // namespace synth
