#include "sfs.h"

#include "littleendian.h"

#include <algorithm>
#include <cstring>

namespace image::sfs {

namespace {

constexpr std::uint64_t FirstChunk = 0x118; // where chunk 0 starts
constexpr std::size_t ChunkHeader = 32;
constexpr std::size_t EntryBytes = 512;
constexpr std::size_t HeaderBytes = 0x14C;
constexpr std::size_t MaxEntries = 1u << 20;
constexpr std::uint32_t MinChunkSize = ChunkHeader + EntryBytes;
constexpr std::uint32_t MaxChunkSize = 1u << 26;

std::uint64_t chunkStart(std::uint32_t chunkSize, std::uint64_t chunk) { return FirstChunk + chunk * chunkSize; }

std::string quotedName(std::string_view name) { return "'" + std::string(name) + "'"; }

} // namespace

Result<Container> Container::open(std::shared_ptr<const ByteSource> bytes)
{
    if (bytes->size() < 8)
        return Error::make(ErrorKind::SfsTooShort);
    std::byte head[HeaderBytes];
    if (auto error = bytes->read(0, {head, 8}))
        return *error;
    if (std::memcmp(head, "AAMVHFSS", 8) != 0)
        return Error::make(ErrorKind::SfsSignature);
    if (bytes->size() < HeaderBytes)
        return Error::make(ErrorKind::SfsHeaderCut, {std::to_string(bytes->size())});
    if (auto error = bytes->read(0, {head, HeaderBytes}))
        return *error;

    Container c;
    c.bytes_ = std::move(bytes);
    c.version_ = le::f32(head + 0x124);
    c.chunkSize_ = le::u32(head + 0x128);
    if (c.chunkSize_ < MinChunkSize || c.chunkSize_ > MaxChunkSize)
        return Error::make(ErrorKind::SfsChunkSize, {std::to_string(c.chunkSize_), std::to_string(MinChunkSize),
                                                     std::to_string(MaxChunkSize)});
    const std::uint64_t size = c.bytes_->size();
    c.chunks_ = size > FirstChunk ? (size - FirstChunk) / c.chunkSize_ : 0;
    const std::uint32_t tableChunk = le::u32(head + 0x140);
    const std::uint32_t entries = le::u32(head + 0x144);
    if (entries == 0)
        return Error::make(ErrorKind::SfsTableEmpty);
    const std::size_t perChunk = (c.chunkSize_ - ChunkHeader) / EntryBytes;
    if (entries > MaxEntries || (entries - 1) / perChunk + 1 > c.chunks_)
        return Error::make(ErrorKind::SfsTableFit, {std::to_string(entries)});
    auto table = c.readChained(tableChunk, std::uint64_t(entries) * EntryBytes, perChunk * EntryBytes);
    if (!table)
        return table.error();

    c.entries_.resize(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::byte *e = table->data() + i * EntryBytes;
        Entry &entry = c.entries_[i];
        entry.listChunk = le::u32(e);
        entry.size = le::u64(e + 4);
        entry.parent = le::i32(e + 0x28);
        entry.directory = e[0xDC] != std::byte{0};
        const char *name = reinterpret_cast<const char *>(e + 0xE0);
        entry.name.assign(name, strnlen(name, 256));
        if (entry.parent < -1 || entry.parent >= std::int64_t(entries) || entry.parent == std::int64_t(i))
            return Error::make(ErrorKind::SfsNoParent, {quotedName(entry.name), std::to_string(entry.parent)});
    }
    // Every directory chain must reach the top.
    for (std::size_t i = 0; i < entries; ++i) {
        std::int64_t at = c.entries_[i].parent;
        for (std::size_t steps = 0; at >= 0; ++steps) {
            if (steps > entries || !c.entries_[std::size_t(at)].directory)
                return Error::make(ErrorKind::SfsLoop, {quotedName(c.entries_[i].name)});
            at = c.entries_[std::size_t(at)].parent;
        }
    }
    return c;
}

Result<std::vector<std::byte>> Container::readChained(std::uint32_t first, std::uint64_t count, std::size_t perChunk,
                                                      const std::string &listOf) const
{
    std::vector<std::byte> out(count);
    std::uint32_t chunk = first;
    for (std::uint64_t done = 0; done < count;) {
        if (chunk >= chunks_)
            return listOf.empty() ? Error::make(ErrorKind::SfsTablePast, {std::to_string(chunk)})
                                  : Error::make(ErrorKind::SfsListChainPast, {listOf, std::to_string(chunk)});
        const std::size_t n = std::size_t(std::min<std::uint64_t>(perChunk, count - done));
        const std::uint64_t start = chunkStart(chunkSize_, chunk);
        if (auto error = bytes_->read(start + ChunkHeader, {out.data() + done, n}))
            return *error;
        done += n;
        if (done < count) {
            std::byte next[4];
            if (auto error = bytes_->read(start, {next, 4}))
                return *error;
            chunk = le::u32(next);
        }
    }
    return out;
}

std::optional<std::size_t> Container::find(std::string_view path) const
{
    std::int64_t directory = -1;
    std::optional<std::size_t> found;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        found.reset();
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].parent == directory && entries_[i].name == name) {
                found = i;
                break;
            }
        if (!found)
            return std::nullopt;
        directory = std::int64_t(*found);
    }
    return found;
}

std::vector<std::size_t> Container::children(std::int64_t directory) const
{
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].parent == directory)
            out.push_back(i);
    return out;
}

Result<File> Container::file(std::size_t index) const
{
    const Entry &entry = entries_.at(index);
    if (entry.directory)
        return Error::make(ErrorKind::SfsIsDirectory, {quotedName(entry.name)});
    const std::size_t usable = chunkSize_ - ChunkHeader;
    const std::uint64_t needed = entry.size == 0 ? 0 : (entry.size - 1) / usable + 1;
    if (needed > chunks_)
        return Error::make(ErrorKind::SfsClaims, {quotedName(entry.name), std::to_string(entry.size)});
    File file;
    file.bytes_ = bytes_;
    file.name_ = entry.name;
    file.chunkSize_ = chunkSize_;
    file.size_ = entry.size;
    if (needed > 0) {
        auto list = readChained(entry.listChunk, needed * 4, usable / 4 * 4, quotedName(entry.name));
        if (!list)
            return list.error();
        file.chunks_.resize(needed);
        for (std::size_t i = 0; i < needed; ++i) {
            file.chunks_[i] = le::u32(list->data() + 4 * i);
            if (file.chunks_[i] >= chunks_)
                return Error::make(ErrorKind::SfsChunkListPast,
                                   {quotedName(entry.name), std::to_string(file.chunks_[i])});
        }
    }
    return file;
}

std::optional<Error> File::read(std::uint64_t offset, std::span<std::byte> out) const
{
    if (offset > size_ || out.size() > size_ - offset)
        return Error::make(ErrorKind::SfsEndsAt,
                           {quotedName(name_), std::to_string(size_), std::to_string(offset + out.size())});
    const std::size_t usable = chunkSize_ - ChunkHeader;
    std::size_t done = 0;
    while (done < out.size()) {
        const std::uint64_t at = offset + done;
        const std::size_t k = std::size_t(at / usable);
        const std::size_t within = std::size_t(at % usable);
        const std::size_t n = std::min(usable - within, out.size() - done);
        const std::uint64_t start = chunkStart(chunkSize_, chunks_[k]) + ChunkHeader + within;
        if (auto error = bytes_->read(start, out.subspan(done, n)))
            return error;
        done += n;
    }
    return std::nullopt;
}

std::size_t BlockStream::blockAt(std::uint64_t offset) const
{
    const auto it = std::upper_bound(blockStarts_.begin(), blockStarts_.end(), offset);
    return std::size_t(it - blockStarts_.begin()) - 1;
}

Result<BlockStream> BlockStream::open(File file)
{
    BlockStream stream;
    stream.file_ = std::move(file);
    const File &f = stream.file_;
    std::byte head[16];
    const bool compressed = f.size() >= 16 && !f.read(0, {head, 16}) && std::memcmp(head, "AACS", 4) == 0;
    stream.compressed_ = compressed;
    if (!compressed) {
        for (std::uint64_t at = 0; at < f.size();) {
            at += std::min<std::uint64_t>(BlockBytes, f.size() - at);
            stream.blockStarts_.push_back(at);
        }
        return stream;
    }

    const std::string name = quotedName(f.name());
    const std::uint32_t blockSize = le::u32(head + 4);
    const std::uint32_t blocks = le::u32(head + 12);
    if (blockSize == 0 || blockSize > MaxBlockBytes)
        return Error::make(ErrorKind::SfsBlockSize, {name, std::to_string(blockSize), std::to_string(MaxBlockBytes)});
    constexpr std::uint64_t FirstBlock = 0x80;
    if (f.size() < FirstBlock || blocks > (f.size() - FirstBlock) / 16)
        return Error::make(ErrorKind::SfsBlocks, {name, std::to_string(blocks)});
    stream.blockStarts_.reserve(std::size_t(blocks) + 1);
    stream.packedStarts_.reserve(blocks);
    stream.packedSizes_.reserve(blocks);
    std::uint64_t at = FirstBlock;
    for (std::uint32_t i = 0; i < blocks; ++i) {
        std::byte block[16];
        if (f.size() - at < 16)
            return Error::make(ErrorKind::SfsBlockCut, {name, std::to_string(i + 1), std::to_string(blocks)});
        if (auto error = f.read(at, {block, 16}))
            return *error;
        const std::uint32_t packed = le::u32(block);
        const std::uint32_t unpacked = le::u32(block + 4);
        at += 16;
        if (packed > f.size() - at)
            return Error::make(ErrorKind::SfsBlockCut, {name, std::to_string(i + 1), std::to_string(blocks)});
        if (unpacked == 0 || unpacked > blockSize || packed == 0)
            return Error::make(ErrorKind::SfsBlockClaims, {name, std::to_string(i + 1), std::to_string(packed),
                                                           std::to_string(unpacked), std::to_string(blockSize)});
        stream.packedStarts_.push_back(at);
        stream.packedSizes_.push_back(packed);
        stream.blockStarts_.push_back(stream.blockStarts_.back() + unpacked);
        at += packed;
    }
    return stream;
}

std::optional<Error> BlockStream::block(std::size_t i, std::vector<std::byte> &out, std::vector<std::byte> &packed,
                                        Inflater &inflater) const
{
    out.resize(blockSize(i));
    if (!compressed_)
        return file_.read(blockStarts_[i], out);
    packed.resize(packedSizes_[i]);
    if (auto error = file_.read(packedStarts_[i], packed))
        return error;
    if (auto error = inflater.inflate(packed, out))
        return Error::wrap(ErrorKind::SfsBlockError, {quotedName(file_.name()), std::to_string(i + 1)}, *error);
    return std::nullopt;
}

Result<std::string> BlockStream::readAll(std::uint64_t limit) const
{
    if (size() > limit)
        return Error::make(ErrorKind::SfsTooLarge,
                           {quotedName(file_.name()), std::to_string(size()), std::to_string(limit)});
    std::string all;
    all.reserve(std::size_t(size()));
    std::vector<std::byte> out, packed;
    Inflater inflater;
    for (std::size_t i = 0; i < blocks(); ++i) {
        if (auto error = block(i, out, packed, inflater))
            return *error;
        all.append(reinterpret_cast<const char *>(out.data()), out.size());
    }
    return all;
}

} // namespace image::sfs
