#include "bcfrecords.h"

#include "littleendian.h"

#include <cstring>

namespace image::bcf {

Record parseRecord(const std::byte *h)
{
    Record r;
    r.x = le::u32(h);
    r.packing = le::u16(h + 12);
    r.pulses = le::u16(h + 16);
    r.dataBytes = le::u32(h + 18);
    return r;
}

std::size_t packed12Bytes(std::size_t pulses)
{
    static constexpr std::size_t Tail[4] = {0, 2, 4, 6};
    return 6 * (pulses / 4) + Tail[pulses % 4];
}

std::optional<Error> StreamReader::load(std::size_t block)
{
    if (auto error = stream_.block(block, block_, packed_, inflater_))
        return error;
    blockIndex_ = block;
    blockStart_ = stream_.blockStart(block);
    at_ = 0;
    loaded_ = true;
    return std::nullopt;
}

std::optional<Error> StreamReader::seek(std::uint64_t offset)
{
    if (offset >= stream_.size()) {
        // At the end: nothing to take.
        block_.clear();
        blockIndex_ = stream_.blocks();
        blockStart_ = stream_.size();
        at_ = 0;
        loaded_ = true;
        return std::nullopt;
    }
    const std::size_t block = stream_.blockAt(offset);
    if (!loaded_ || block != blockIndex_ || block_.empty()) {
        if (auto error = load(block))
            return error;
    }
    at_ = std::size_t(offset - blockStart_);
    return std::nullopt;
}

const std::byte *StreamReader::take(std::size_t n, std::optional<Error> &error)
{
    static const std::byte nothing{};
    if (n == 0)
        return &nothing;
    if (!loaded_) {
        if ((error = seek(0)))
            return nullptr;
    }
    if (block_.size() - at_ >= n) {
        const std::byte *p = block_.data() + at_;
        at_ += n;
        return p;
    }
    // The piece straddles blocks: gather it.
    joined_.assign(block_.begin() + std::ptrdiff_t(at_), block_.end());
    while (true) {
        if (blockIndex_ + 1 >= stream_.blocks()) {
            error = Error::make(ErrorKind::BcfEndsEarly);
            at_ = block_.size();
            return nullptr;
        }
        if ((error = load(blockIndex_ + 1)))
            return nullptr;
        const std::size_t need = n - joined_.size();
        if (block_.size() >= need) {
            joined_.insert(joined_.end(), block_.begin(), block_.begin() + std::ptrdiff_t(need));
            at_ = need;
            return joined_.data();
        }
        joined_.insert(joined_.end(), block_.begin(), block_.end());
        at_ = block_.size();
    }
}

} // namespace image::bcf
