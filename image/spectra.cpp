#include "spectra.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

namespace image {

namespace {

enum class Kind { Sum, Maximum, Pixel, Region };

// A spectrum of the image with its calibration and metadata. Times are
// given where the file gives them for the pixels summed: the whole map's
// for the sum, each pixel's times the pixels for a pixel or a region.
spectrum::Spectrum makeSpectrum(const Header &header, std::vector<double> counts, Kind kind, std::size_t pixels,
                                const std::string &what)
{
    spectrum::Spectrum s;
    s.counts = std::move(counts);
    s.calibration = header.calibration;
    s.format = spectrum::Format::Counts;
    const Metadata &m = header.meta;
    s.meta.beam_kV = m.beam_kV;
    s.meta.date = m.date;
    s.meta.time = m.time;
    s.meta.signalType = m.signalType;
    s.meta.resolution = m.resolution;
    s.meta.title = m.title.empty() ? what : m.title + ", " + what;
    const auto times = [&](const std::optional<double> &each) -> std::optional<double> {
        if (!each)
            return std::nullopt;
        return *each * double(pixels);
    };
    switch (kind) {
    case Kind::Sum:
        s.meta.liveTime_s = m.liveTime_s ? m.liveTime_s : times(m.pixelLiveTime_s);
        s.meta.realTime_s = m.realTime_s ? m.realTime_s : times(m.pixelTime_s);
        break;
    case Kind::Pixel:
    case Kind::Region:
        s.meta.liveTime_s = times(m.pixelLiveTime_s);
        s.meta.realTime_s = times(m.pixelTime_s);
        break;
    case Kind::Maximum: break;
    }
    return s;
}

// Per thread: the sum and maximum of each channel. Counts of up to 32 bits
// add up exactly in 64-bit integers (2^32 pixels of 2^32 counts fit); wider
// integers and floats add up as doubles.
template <class T> struct Accumulator {
    using Wide = std::conditional_t<std::is_floating_point_v<T> || sizeof(T) == 8, double,
                                    std::conditional_t<std::is_signed_v<T>, std::int64_t, std::uint64_t>>;
    std::vector<Wide> sum;
    std::vector<T> maximum;
    bool any = false;
};

Error notFinite(const Header &header, std::size_t pixel, std::size_t channel)
{
    return Error::make(ErrorKind::PixelNotFinite, {std::to_string(pixel % header.width),
                                                   std::to_string(pixel / header.width), std::to_string(channel)});
}

// Sums (and takes the maximum of) the pixels of [first, first + count)
// whose column lies in [x0, x1).
template <class T>
std::optional<Error> accumulate(const PixelSource &source, std::size_t first, std::size_t count, std::size_t x0,
                                std::size_t x1, bool wantMaximum, const ChunkOptions &options,
                                std::vector<Accumulator<T>> &parts)
{
    const Header &h = source.header();
    const std::size_t channels = h.channels;
    parts.assign(threadCount(options), {});
    return forEachChunk(source, first, count, options, [&](const Chunk &chunk) -> std::optional<Error> {
        Accumulator<T> &part = parts[chunk.worker];
        if (!part.any) {
            part.sum.assign(channels, 0);
            if (wantMaximum)
                part.maximum.assign(channels, std::numeric_limits<T>::lowest());
            part.any = true;
        }
        const std::span<const T> samples = chunk.samples<T>();
        for (std::size_t i = 0; i < chunk.count; ++i) {
            const std::size_t pixel = chunk.first + i;
            const std::size_t x = pixel % h.width;
            if (x < x0 || x >= x1)
                continue;
            const T *v = samples.data() + i * channels;
            if constexpr (std::is_floating_point_v<T>) {
                for (std::size_t c = 0; c < channels; ++c)
                    if (!std::isfinite(v[c]))
                        return notFinite(h, pixel, c);
            }
            using Wide = typename Accumulator<T>::Wide;
            Wide *__restrict sum = part.sum.data();
            if (wantMaximum) {
                T *__restrict maximum = part.maximum.data();
                for (std::size_t c = 0; c < channels; ++c) {
                    sum[c] += static_cast<Wide>(v[c]);
                    maximum[c] = v[c] > maximum[c] ? v[c] : maximum[c];
                }
            } else {
                for (std::size_t c = 0; c < channels; ++c)
                    sum[c] += static_cast<Wide>(v[c]);
            }
        }
        return std::nullopt;
    });
}

struct Totals {
    std::vector<double> sum;
    std::vector<double> maximum;
};

Result<Totals> totals(const PixelSource &source, std::size_t first, std::size_t count, std::size_t x0, std::size_t x1,
                      bool wantMaximum, const ChunkOptions &options)
{
    const std::size_t channels = source.header().channels;
    return visitSample(source.header().type, [&](auto zero) -> Result<Totals> {
        using T = decltype(zero);
        std::vector<Accumulator<T>> parts;
        if (auto error = accumulate<T>(source, first, count, x0, x1, wantMaximum, options, parts))
            return *error;
        using Wide = typename Accumulator<T>::Wide;
        std::vector<Wide> sum(channels, 0);
        std::vector<T> maximum(wantMaximum ? channels : 0, std::numeric_limits<T>::lowest());
        bool any = false;
        for (const Accumulator<T> &part : parts) {
            if (!part.any)
                continue;
            any = true;
            for (std::size_t c = 0; c < channels; ++c)
                sum[c] += part.sum[c];
            for (std::size_t c = 0; c < maximum.size(); ++c)
                maximum[c] = std::max(maximum[c], part.maximum[c]);
        }
        Totals out;
        out.sum.assign(sum.begin(), sum.end());
        if (wantMaximum)
            out.maximum = any ? std::vector<double>(maximum.begin(), maximum.end()) : std::vector<double>(channels, 0.0);
        for (double value : out.sum)
            if (!std::isfinite(value))
                return Error::make(ErrorKind::SumOverflow);
        return out;
    });
}

} // namespace

std::optional<Error> checkRect(const Header &header, const Rect &rect)
{
    if (rect.x0 >= rect.x1 || rect.y0 >= rect.y1)
        return Error::make(ErrorKind::RectangleEmpty, {std::to_string(rect.x0), std::to_string(rect.y0),
                                                       std::to_string(rect.x1), std::to_string(rect.y1)});
    if (rect.x1 > header.width || rect.y1 > header.height)
        return Error::make(ErrorKind::RectangleOutside,
                           {std::to_string(rect.x0), std::to_string(rect.y0), std::to_string(rect.x1),
                            std::to_string(rect.y1), std::to_string(header.width), std::to_string(header.height)});
    return std::nullopt;
}

Result<Summary> summarize(const PixelSource &source, const ChunkOptions &options)
{
    const Header &h = source.header();
    auto t = totals(source, 0, h.pixels(), 0, h.width, true, options);
    if (!t)
        return t.error();
    Summary summary;
    for (double c : t->sum)
        summary.totalCounts += c;
    summary.sum = makeSpectrum(h, std::move(t->sum), Kind::Sum, h.pixels(), "sum spectrum");
    summary.maximum = makeSpectrum(h, std::move(t->maximum), Kind::Maximum, 1, "maximum-pixel spectrum");
    return summary;
}

Result<spectrum::Spectrum> sumSpectrum(const PixelSource &source, const ChunkOptions &options)
{
    const Header &h = source.header();
    auto t = totals(source, 0, h.pixels(), 0, h.width, false, options);
    if (!t)
        return t.error();
    return makeSpectrum(h, std::move(t->sum), Kind::Sum, h.pixels(), "sum spectrum");
}

spectrum::Spectrum sumSpectrumOf(const Header &header, std::vector<double> counts)
{
    return makeSpectrum(header, std::move(counts), Kind::Sum, header.pixels(), "sum spectrum");
}

Result<spectrum::Spectrum> maximumPixelSpectrum(const PixelSource &source, const ChunkOptions &options)
{
    auto summary = summarize(source, options);
    if (!summary)
        return summary.error();
    return std::move(summary->maximum);
}

Result<spectrum::Spectrum> pixelSpectrum(const PixelSource &source, std::size_t x, std::size_t y)
{
    const Header &h = source.header();
    if (x >= h.width || y >= h.height)
        return Error::make(ErrorKind::PixelOutside, {std::to_string(x), std::to_string(y), std::to_string(h.width),
                                                     std::to_string(h.height)});
    std::vector<std::uint64_t> buffer((h.pixelBytes() + 7) / 8);
    const std::span<std::byte> out(reinterpret_cast<std::byte *>(buffer.data()), h.pixelBytes());
    if (auto error = source.read(y * h.width + x, 1, out))
        return *error;
    std::vector<double> counts(h.channels);
    toDoubles(h.type, out.data(), h.channels, counts.data());
    for (std::size_t c = 0; c < counts.size(); ++c)
        if (!std::isfinite(counts[c]))
            return notFinite(h, y * h.width + x, c);
    return makeSpectrum(h, std::move(counts), Kind::Pixel, 1,
                        "pixel " + std::to_string(x) + ", " + std::to_string(y));
}

Result<spectrum::Spectrum> regionSpectrum(const PixelSource &source, const Rect &rect, const ChunkOptions &options)
{
    const Header &h = source.header();
    if (auto error = checkRect(h, rect))
        return *error;
    // The rows of the rectangle are read whole, from its first pixel to its
    // last: rows are what the readers decode cheapest.
    const std::size_t first = rect.y0 * h.width + rect.x0;
    const std::size_t last = (rect.y1 - 1) * h.width + rect.x1;
    auto t = totals(source, first, last - first, rect.x0, rect.x1, false, options);
    if (!t)
        return t.error();
    const std::size_t pixels = (rect.x1 - rect.x0) * (rect.y1 - rect.y0);
    return makeSpectrum(h, std::move(t->sum), Kind::Region, pixels,
                        "sum of x " + std::to_string(rect.x0) + " to " + std::to_string(rect.x1 - 1) + ", y " +
                            std::to_string(rect.y0) + " to " + std::to_string(rect.y1 - 1));
}

} // namespace image
