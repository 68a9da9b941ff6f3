// Reading Bruker .bcf spectrum images.
#include "bcf.h"

#include "bcfheader.h"
#include "bcfrecords.h"
#include "littleendian.h"
#include "sfs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace image {

namespace {

using bcf::Record;
using bcf::StreamReader;

// The header is read whole; it holds the SEM images besides the spectra.
constexpr std::uint64_t MaxHeaderBytes = 256u << 20;

// "pixel x, y: " and what is wrong there.
Error atPixel(std::size_t x, std::size_t y, const Error &error)
{
    return Error::wrap(ErrorKind::BcfPixel, {std::to_string(x), std::to_string(y)}, error);
}

// What to do with each record while walking rows: the index pass checks
// and bounds, reading decodes. Both see every record in full.
struct RecordSink {
    virtual ~RecordSink() = default;
    // Before the record's data; false to skip decoding them (still checked).
    virtual bool wants(std::size_t x, std::size_t y) = 0;
    virtual void pulses16(const std::byte *data, std::size_t pulses) = 0;
    virtual void pulses12(const std::byte *data, std::size_t pulses) = 0;
    virtual void packedCount(std::uint64_t channel, std::uint64_t count) = 0;
    // The extra pulses after packed counts.
    virtual void extraPulses(const std::byte *data, std::size_t pulses) = 0;
};

// Walks one row of records from `reader`, checking each, and hands them to
// `sink`.
std::optional<Error> walkRow(StreamReader &reader, std::size_t y, std::size_t width, RecordSink &sink)
{
    std::optional<Error> error;
    const std::byte *p = reader.take(4, error);
    if (!p)
        return Error::wrap(ErrorKind::BcfRow, {std::to_string(y)}, *error);
    const std::uint32_t records = le::u32(p);
    if (records > width)
        return Error::make(ErrorKind::BcfRowRecords, {std::to_string(y), std::to_string(records), std::to_string(width)});
    std::int64_t previous = -1;
    for (std::uint32_t k = 0; k < records; ++k) {
        p = reader.take(bcf::RecordBytes, error);
        if (!p)
            return Error::wrap(ErrorKind::BcfRow, {std::to_string(y)}, *error);
        const Record r = bcf::parseRecord(p);
        if (r.x >= width)
            return Error::make(ErrorKind::BcfRecordColumn, {std::to_string(y), std::to_string(r.x), std::to_string(width)});
        if (std::int64_t(r.x) <= previous)
            return Error::make(ErrorKind::BcfRecordOrder,
                               {std::to_string(y), std::to_string(r.x), std::to_string(previous)});
        previous = r.x;
        if (r.dataBytes > bcf::MaxRecordData)
            return atPixel(r.x, y, Error::make(ErrorKind::BcfRecordSize,
                                               {std::to_string(r.dataBytes), std::to_string(bcf::MaxRecordData)}));
        const std::byte *data = reader.take(r.dataBytes, error);
        if (!data)
            return atPixel(r.x, y, *error);
        const bool wanted = sink.wants(r.x, y);
        switch (r.packing) {
        case 0:
            if (r.dataBytes < 2u * r.pulses)
                return atPixel(r.x, y, Error::make(ErrorKind::BcfPulses16,
                                                   {std::to_string(r.pulses), std::to_string(r.dataBytes)}));
            if (wanted)
                sink.pulses16(data, r.pulses);
            break;
        case 1:
            if (r.dataBytes < bcf::packed12Bytes(r.pulses))
                return atPixel(r.x, y, Error::make(ErrorKind::BcfPulses12,
                                                   {std::to_string(r.pulses), std::to_string(r.dataBytes)}));
            if (wanted)
                sink.pulses12(data, r.pulses);
            break;
        default: {
            if (r.dataBytes < 4)
                return atPixel(r.x, y, Error::make(ErrorKind::BcfPackedTrailer, {std::to_string(r.dataBytes)}));
            const std::size_t extraBytes = le::u32(data + r.dataBytes - 4);
            if (auto bad = bcf::walkPackedCounts(data, r.dataBytes - 4, [&](std::uint64_t channel, std::uint64_t count) {
                    if (wanted)
                        sink.packedCount(channel, count);
                }))
                return atPixel(r.x, y, *bad);
            if (r.pulses > 0) {
                if (extraBytes != 2u * r.pulses)
                    return atPixel(r.x, y, Error::make(ErrorKind::BcfExtraPulses,
                                                       {std::to_string(r.pulses), std::to_string(extraBytes)}));
                const std::byte *extra = reader.take(extraBytes, error);
                if (!extra)
                    return atPixel(r.x, y, *error);
                if (wanted)
                    sink.extraPulses(extra, r.pulses);
            }
            break;
        }
        }
    }
    return std::nullopt;
}

// The index pass: the largest count in any channel of any pixel, as far as
// the choice of the count type needs it. A pixel of pulses holds at most
// its number of pulses in a channel; only where that number could need the
// next wider type are its pulses counted channel by channel.
struct BoundSink final : RecordSink {
    explicit BoundSink(std::size_t channels) : histogram(channels, 0) {}

    std::uint64_t largest = 0; // over every pixel so far
    std::uint64_t packedLargest = 0;
    std::vector<std::uint32_t> histogram; // the current pixel's counts, when counted
    std::vector<std::uint32_t> touched;

    // Whether `pulses` pulses could hold a count beyond the type that
    // `largest` needs so far.
    bool couldWiden(std::size_t pulses) const
    {
        const std::uint64_t limit = largest <= 0xFF ? 0xFF : largest <= 0xFFFF ? 0xFFFF : 0xFFFFFFFFu;
        return pulses > limit && pulses > largest;
    }
    void count(std::size_t channel)
    {
        if (channel < histogram.size() && histogram[channel]++ == 0)
            touched.push_back(std::uint32_t(channel));
    }
    void countedPixel()
    {
        for (std::uint32_t channel : touched) {
            largest = std::max<std::uint64_t>(largest, histogram[channel]);
            histogram[channel] = 0;
        }
        touched.clear();
    }

    bool wants(std::size_t, std::size_t) override
    {
        packedLargest = 0;
        return true;
    }
    void pulses16(const std::byte *data, std::size_t pulses) override
    {
        if (!couldWiden(pulses))
            return;
        bcf::walkPulses16(data, pulses, [this](std::size_t c) { count(c); });
        countedPixel();
    }
    void pulses12(const std::byte *data, std::size_t pulses) override
    {
        if (!couldWiden(pulses))
            return;
        bcf::walkPulses12(data, pulses, [this](std::size_t c) { count(c); });
        countedPixel();
    }
    void packedCount(std::uint64_t, std::uint64_t value) override
    {
        packedLargest = std::max(packedLargest, value);
        largest = std::max(largest, packedLargest);
    }
    void extraPulses(const std::byte *, std::size_t pulses) override
    {
        const std::uint64_t sum = packedLargest + pulses;
        largest = std::max(largest, sum < packedLargest ? std::numeric_limits<std::uint64_t>::max() : sum);
    }
};

// Reading: decodes the pixels of [first, first + count) into `out`.
template <class T> struct DecodeSink final : RecordSink {
    T *out = nullptr;
    std::size_t first = 0, count = 0, width = 0, channels = 0;
    T *pixel = nullptr;

    bool wants(std::size_t x, std::size_t y) override
    {
        const std::size_t index = y * width + x;
        if (index < first || index - first >= count)
            return false;
        pixel = out + (index - first) * channels;
        return true;
    }
    void add(std::size_t channel)
    {
        if (channel < channels)
            pixel[channel] = T(pixel[channel] + 1);
    }
    void pulses16(const std::byte *data, std::size_t pulses) override
    {
        bcf::walkPulses16(data, pulses, [this](std::size_t c) { add(c); });
    }
    void pulses12(const std::byte *data, std::size_t pulses) override
    {
        bcf::walkPulses12(data, pulses, [this](std::size_t c) { add(c); });
    }
    void packedCount(std::uint64_t channel, std::uint64_t value) override
    {
        if (channel < channels)
            pixel[channel] = T(value);
    }
    void extraPulses(const std::byte *data, std::size_t pulses) override { pulses16(data, pulses); }
};

class BcfSource final : public PixelSource {
public:
    BcfSource(Header header, sfs::BlockStream stream, std::vector<std::uint64_t> rows)
        : header_(std::move(header)), stream_(std::move(stream)), rows_(std::move(rows))
    {
    }

    const Header &header() const override { return header_; }

    std::optional<Error> read(std::size_t first, std::size_t count, std::span<std::byte> out) const override
    {
        if (auto error = checkRange(first, count, out.size()))
            return error;
        if (count == 0)
            return std::nullopt;
        std::memset(out.data(), 0, out.size());
        return visitSample(header_.type, [&](auto zero) -> std::optional<Error> {
            using T = decltype(zero);
            DecodeSink<T> sink;
            sink.out = reinterpret_cast<T *>(out.data());
            sink.first = first;
            sink.count = count;
            sink.width = header_.width;
            sink.channels = header_.channels;
            StreamReader reader(stream_);
            const std::size_t y0 = first / header_.width;
            const std::size_t y1 = (first + count - 1) / header_.width;
            if (auto error = reader.seek(rows_[y0]))
                return error;
            for (std::size_t y = y0; y <= y1; ++y)
                if (auto error = walkRow(reader, y, header_.width, sink))
                    return error;
            return std::nullopt;
        });
    }

private:
    Header header_;
    sfs::BlockStream stream_;
    std::vector<std::uint64_t> rows_; // where each row starts in the decoded data
};

// The numbered SpectrumData files of EDSDatabase, lowest number first.
std::vector<std::pair<unsigned, std::size_t>> datasets(const sfs::Container &container, std::size_t directory)
{
    std::vector<std::pair<unsigned, std::size_t>> found;
    for (std::size_t i : container.children(std::int64_t(directory))) {
        const std::string &name = container.entries()[i].name;
        constexpr std::string_view Prefix = "SpectrumData";
        if (!name.starts_with(Prefix) || name.size() == Prefix.size() || name.size() > Prefix.size() + 6 ||
            container.entries()[i].directory)
            continue;
        unsigned number = 0;
        const char *begin = name.data() + Prefix.size();
        const char *end = name.data() + name.size();
        const auto [stop, ec] = std::from_chars(begin, end, number);
        if (ec == std::errc() && stop == end)
            found.emplace_back(number, i);
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

bool looksLikeBcf(std::string_view head) { return head.starts_with("AAMVHFSS"); }

Result<std::shared_ptr<const PixelSource>> openBcf(std::shared_ptr<const ByteSource> bytes, const Progress &progress)
{
    auto container = sfs::Container::open(std::move(bytes));
    if (!container)
        return container.error();
    const auto directory = container->find("EDSDatabase");
    const auto headerEntry = container->find("EDSDatabase/HeaderData");
    if (!directory || !headerEntry)
        return Error::make(ErrorKind::BcfNoHeader);
    const auto maps = datasets(container.value(), *directory);
    if (maps.empty())
        return Error::make(ErrorKind::BcfNoData);
    const std::string dataset = "SpectrumData" + std::to_string(maps.front().first);

    auto headerFile = container->file(*headerEntry);
    if (!headerFile)
        return headerFile.error();
    auto headerStream = sfs::BlockStream::open(std::move(headerFile.value()));
    if (!headerStream)
        return headerStream.error();
    auto xml = headerStream->readAll(MaxHeaderBytes);
    if (!xml)
        return xml.error();
    auto parsed = bcf::parseHeaderXml(xml.value(), dataset);
    if (!parsed)
        return parsed.error();
    xml.value() = std::string(); // not needed any more
    Header header = std::move(parsed->header);
    if (maps.size() > 1)
        header.warnings.push_back("the file holds " + std::to_string(maps.size()) + " maps; the first, " + dataset +
                                  ", is read");

    auto dataFile = container->file(maps.front().second);
    if (!dataFile)
        return dataFile.error();
    auto opened = sfs::BlockStream::open(std::move(dataFile.value()));
    if (!opened)
        return opened.error();
    sfs::BlockStream stream = std::move(opened.value());

    // The index pass.
    StreamReader reader(stream);
    std::optional<Error> error;
    const std::byte *p = reader.take(bcf::DataHeaderBytes, error);
    if (!p)
        return Error::wrap(ErrorKind::BcfDataHeader, {}, *error);
    const std::int32_t height = le::i32(p);
    const std::int32_t width = le::i32(p + 4);
    if (height <= 0 || width <= 0)
        return Error::make(ErrorKind::BcfSize, {std::to_string(width), std::to_string(height)});
    if (auto bad = checkSize(std::size_t(width), std::size_t(height), header.channels))
        return *bad;
    header.width = std::size_t(width);
    header.height = std::size_t(height);
    if (parsed->imageWidth && (parsed->imageWidth != header.width || parsed->imageHeight != header.height))
        header.warnings.push_back("the header's image is " + std::to_string(parsed->imageWidth) + " × " +
                                  std::to_string(parsed->imageHeight) + " pixels but the map's data " +
                                  std::to_string(header.width) + " × " + std::to_string(header.height) +
                                  "; the data's size is used");

    std::vector<std::uint64_t> rows(header.height);
    BoundSink bound(header.channels);
    const std::uint64_t total = stream.size();
    const std::uint64_t step = std::max<std::uint64_t>(total / 256, 1);
    std::uint64_t nextReport = step;
    for (std::size_t y = 0; y < header.height; ++y) {
        rows[y] = reader.position();
        if (auto bad = walkRow(reader, y, header.width, bound))
            return *bad;
        if (progress && reader.position() >= nextReport) {
            nextReport = reader.position() + step;
            if (!progress(reader.position(), total))
                return cancelledError();
        }
    }
    if (progress && !progress(total, total))
        return cancelledError();
    if (reader.position() < total)
        header.warnings.push_back(std::to_string(total - reader.position()) +
                                  " bytes after the map's last row are ignored");

    header.type = bound.largest <= 0xFF     ? SampleType::U8
                  : bound.largest <= 0xFFFF ? SampleType::U16
                  : bound.largest <= 0xFFFFFFFFu ? SampleType::U32
                                                 : SampleType::U64;
    if (parsed->lineScans && parsed->lineTimePerPixel_s) {
        const double real = *parsed->lineScans * *parsed->lineTimePerPixel_s * double(header.width);
        if (std::isfinite(real) && real > 0) {
            header.meta.realTime_s = real;
            header.meta.pixelTime_s = real / double(header.pixels());
        }
    }
    return std::shared_ptr<const PixelSource>(
        std::make_shared<BcfSource>(std::move(header), std::move(stream), std::move(rows)));
}

} // namespace image
