// The pixel data of a .bcf map (the container's EDSDatabase/SpectrumDataN
// file, decoded): not part of the core's interface.
//
// After a header of 0x1A0 bytes (int32 height, int32 width, then
// unknown), each of `height` rows is a uint32 count of pixel records, then
// the records in rising x. A pixel without a record has no counts. A record
// is 22 bytes of header:
//   uint32 x, uint16 channels, uint16 packed channels, uint32 (unknown),
//   uint16 packing, uint16 (unknown), uint16 pulses, uint32 data bytes
// and then `data bytes` bytes:
//   packing 0: `pulses` pulses of 16 bits, each the channel of one count;
//   packing 1: `pulses` pulses of 12 bits, a stream of 12-bit numbers, high
//     bits first, over the 16-bit little-endian words of the data;
//   any other: the counts channel by channel, in groups: a byte W and a
//     byte N; W = 0: N channels of no counts; otherwise a W-byte offset,
//     then N numbers of W/2 bytes (two per byte for W = 1, the low half
//     first), each count being its number plus the offset. The groups fill
//     all but the data's last 4 bytes. When `pulses` is not 0, those 4
//     bytes are the size of what follows the record: `pulses` pulses of 16
//     bits, each adding one count to its channel.
#pragma once

#include "header.h"
#include "sfs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace image::bcf {

inline constexpr std::size_t DataHeaderBytes = 0x1A0;
inline constexpr std::size_t RecordBytes = 22;
// The largest record data accepted: far beyond what 65535 pulses or 65535
// packed channels take.
inline constexpr std::size_t MaxRecordData = 8u << 20;

struct Record {
    std::uint32_t x = 0;
    std::uint16_t packing = 0;
    std::uint16_t pulses = 0;
    std::uint32_t dataBytes = 0;
};

Record parseRecord(const std::byte *header);

// The bytes 12-bit packing takes for `pulses` pulses.
std::size_t packed12Bytes(std::size_t pulses);

// Reads the decoded bytes of a BlockStream from any offset, holding one
// block at a time (and a copy of a piece that straddles two).
class StreamReader {
public:
    explicit StreamReader(const sfs::BlockStream &stream) : stream_(stream) {}

    std::optional<Error> seek(std::uint64_t offset);
    // The next n bytes, contiguous, valid until the next call; null and
    // `error` set when the stream ends first or a block cannot be decoded.
    const std::byte *take(std::size_t n, std::optional<Error> &error);
    std::uint64_t position() const { return blockStart_ + at_; }

private:
    std::optional<Error> load(std::size_t block);

    const sfs::BlockStream &stream_;
    std::vector<std::byte> block_, packed_, joined_;
    Inflater inflater_;
    std::size_t blockIndex_ = 0;
    std::uint64_t blockStart_ = 0;
    std::size_t at_ = 0;
    bool loaded_ = false;
};

// Walks the packed counts of a record of packing > 1: calls
// visit(channel, count) for every channel with counts. Refused when a group
// runs past the data or has a width other than 1, 2, 4 or 8.
template <class Visit>
std::optional<Error> walkPackedCounts(const std::byte *data, std::size_t bytes, Visit &&visit)
{
    std::size_t at = 0;
    std::uint64_t channel = 0;
    while (at < bytes) {
        if (bytes - at < 2)
            return Error::make(ErrorKind::BcfGroupCut);
        const unsigned width = unsigned(data[at]);
        const unsigned n = unsigned(data[at + 1]);
        at += 2;
        if (width == 0) {
            channel += n;
            continue;
        }
        if (width != 1 && width != 2 && width != 4 && width != 8)
            return Error::make(ErrorKind::BcfGroupWidth, {std::to_string(width)});
        const std::size_t numbers = width == 1 ? (n + 1) / 2 : std::size_t(n) * width / 2;
        if (bytes - at < width + numbers)
            return Error::make(ErrorKind::BcfGroupPast);
        std::uint64_t offset = 0;
        for (unsigned i = width; i-- > 0;)
            offset = offset << 8 | std::uint64_t(data[at + i]);
        at += width;
        const std::byte *p = data + at;
        for (unsigned i = 0; i < n; ++i) {
            std::uint64_t value;
            switch (width) {
            case 1: value = (i % 2 == 0 ? unsigned(p[i / 2]) & 0x0F : unsigned(p[i / 2]) >> 4); break;
            case 2: value = unsigned(p[i]); break;
            case 4: value = unsigned(p[2 * i]) | unsigned(p[2 * i + 1]) << 8; break;
            default:
                value = std::uint64_t(unsigned(p[4 * i])) | std::uint64_t(unsigned(p[4 * i + 1])) << 8 |
                        std::uint64_t(unsigned(p[4 * i + 2])) << 16 | std::uint64_t(unsigned(p[4 * i + 3])) << 24;
                break;
            }
            const std::uint64_t count = value + offset;
            visit(channel + i, count < value ? ~std::uint64_t(0) : count);
        }
        at += numbers;
        channel += n;
    }
    return std::nullopt;
}

// Calls visit(channel) for each pulse of packing 0 (16-bit) or 1 (12-bit).
template <class Visit> void walkPulses16(const std::byte *data, std::size_t pulses, Visit &&visit)
{
    for (std::size_t i = 0; i < pulses; ++i)
        visit(std::size_t(unsigned(data[2 * i]) | unsigned(data[2 * i + 1]) << 8));
}

template <class Visit> void walkPulses12(const std::byte *data, std::size_t pulses, Visit &&visit)
{
    // Four pulses in each 6 bytes (three 16-bit little-endian words w0 w1
    // w2, read high bits first): w0 >> 4, (w0 & 0xF) << 8 | w1 >> 8,
    // (w1 & 0xFF) << 4 | w2 >> 12, w2 & 0xFFF.
    for (std::size_t i = 0; i < pulses; ++i) {
        const std::byte *g = data + 6 * (i / 4);
        const auto b = [g](int k) { return unsigned(g[k]); };
        std::size_t channel;
        switch (i % 4) {
        case 0: channel = b(1) << 4 | b(0) >> 4; break;
        case 1: channel = (b(0) & 0x0F) << 8 | b(3); break;
        case 2: channel = b(2) << 4 | b(5) >> 4; break;
        default: channel = (b(5) & 0x0F) << 8 | b(4); break;
        }
        visit(channel);
    }
}

} // namespace image::bcf
