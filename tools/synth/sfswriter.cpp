#include "sfswriter.h"

#include <algorithm>
#include <cstring>

namespace synth {

namespace {

constexpr std::uint64_t FirstChunk = 0x118;
constexpr std::size_t ChunkHeader = 32;
constexpr std::size_t EntryBytes = 512;

void put32(std::string &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}
void set32(std::string &out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

SfsWriter::SfsWriter(const std::string &path, std::uint32_t chunkSize, int version)
    : chunkSize_(chunkSize), usable_(chunkSize - ChunkHeader), version_(version)
{
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        error = "cannot create '" + path + "'";
}

SfsWriter::~SfsWriter()
{
    if (file_)
        std::fclose(file_);
}

std::size_t SfsWriter::add(const std::string &name, std::int32_t parent, bool directory)
{
    files_.push_back({name, parent, directory, 0, {}, {}, 0});
    return files_.size() - 1;
}

void SfsWriter::append(std::size_t index, const std::string &bytes)
{
    File &f = files_[index];
    f.size += bytes.size();
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t n = std::min(bytes.size() - at, usable_ - f.buffer.size());
        f.buffer.append(bytes, at, n);
        at += n;
        if (f.buffer.size() == usable_) {
            f.chunks.push_back(next_);
            writeChunk(next_++, 0, f.buffer);
            f.buffer.clear();
        }
    }
}

void SfsWriter::patch(std::size_t index, std::size_t offset, const std::string &bytes)
{
    File &f = files_[index];
    if (f.chunks.empty()) {
        f.buffer.replace(offset, bytes.size(), bytes);
        return;
    }
    writeAt(FirstChunk + std::uint64_t(f.chunks[0]) * chunkSize_ + ChunkHeader + offset, bytes);
}

void SfsWriter::close(std::size_t index)
{
    File &f = files_[index];
    if (!f.buffer.empty()) {
        f.chunks.push_back(next_);
        writeChunk(next_++, 0, f.buffer);
        f.buffer.clear();
    }
}

std::optional<std::string> SfsWriter::finish()
{
    for (File &f : files_) {
        if (f.directory || f.chunks.empty())
            continue;
        std::string list;
        for (std::uint32_t chunk : f.chunks)
            put32(list, chunk);
        f.listChunk = chained(list, usable_ / 4 * 4);
    }
    std::string table;
    for (const File &f : files_) {
        std::string entry(EntryBytes, '\0');
        set32(entry, 0, f.listChunk);
        for (int i = 0; i < 8; ++i)
            entry[4 + std::size_t(i)] = char((f.size >> (8 * i)) & 0xFF);
        set32(entry, 0x28, std::uint32_t(f.parent));
        entry[0xDC] = f.directory ? 1 : 0;
        std::memcpy(entry.data() + 0xE0, f.name.data(), std::min<std::size_t>(f.name.size(), 255));
        table += entry;
    }
    const std::uint32_t tableChunk = chained(table, usable_ / EntryBytes * EntryBytes);

    std::string head(FirstChunk + chunkSize_, '\0');
    std::memcpy(head.data(), "AAMVHFSS", 8);
    std::memcpy(head.data() + 8, "\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 8);
    std::memcpy(head.data() + 0x118, "AASFSSGN", 8);
    const float version = version_ >= 2 ? 2.8f : 2.6f;
    std::uint32_t bits;
    std::memcpy(&bits, &version, 4);
    set32(head, 0x124, bits);
    set32(head, 0x128, chunkSize_);
    set32(head, 0x12C, 8);
    for (std::size_t at = 0x130; at < 0x140; at += 4)
        set32(head, at, 1);
    set32(head, 0x140, tableChunk);
    set32(head, 0x144, std::uint32_t(files_.size()));
    set32(head, 0x148, next_);
    writeAt(0, head);
    if (file_ && std::fclose(file_) != 0)
        error = error.value_or("cannot write the file");
    file_ = nullptr;
    return error;
}

void SfsWriter::writeAt(std::uint64_t at, const std::string &bytes)
{
    if (!file_)
        return;
    if (fseeko(file_, off_t(at), SEEK_SET) != 0 || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        error = error.value_or("cannot write the file");
}

void SfsWriter::writeChunk(std::uint32_t index, std::uint32_t nextInChain, const std::string &data)
{
    std::string chunk(chunkSize_, '\0');
    set32(chunk, 0, nextInChain);
    std::memcpy(chunk.data() + ChunkHeader, data.data(), std::min<std::size_t>(data.size(), usable_));
    writeAt(FirstChunk + std::uint64_t(index) * chunkSize_, chunk);
}

// Writes `bytes` into new chained chunks of `perChunk` bytes each; the first
// chunk.
std::uint32_t SfsWriter::chained(const std::string &bytes, std::size_t perChunk)
{
    const std::size_t count = std::max<std::size_t>(1, (bytes.size() + perChunk - 1) / perChunk);
    const std::uint32_t first = next_;
    next_ += std::uint32_t(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string piece = bytes.substr(std::min(bytes.size(), i * perChunk), perChunk);
        writeChunk(first + std::uint32_t(i), i + 1 < count ? first + std::uint32_t(i) + 1 : 0, piece);
    }
    return first;
}

} // namespace synth
