// What the spectrum-image core must guarantee on any input, as checks that
// report a failure in words; the image fuzz targets run them on every input.
// Plain C++, like the core.
#pragma once

#include "image/pixelsource.h"
#include "image/spectra.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace imagechecks {

inline void failIf(const std::string &failure)
{
    if (failure.empty())
        return;
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", failure.c_str());
    std::abort();
}

inline bool finite(const std::optional<double> &value) { return !value || std::isfinite(*value); }

// An accepted image keeps the header's promises: a size within the limits,
// a calibration with a finite offset and a gain above zero, finite
// metadata, warnings in words.
inline std::string checkHeader(const image::Header &h)
{
    if (auto bad = image::checkSize(h.width, h.height, h.channels))
        return "accepted an image beyond the limits: " + bad->reason;
    if (h.calibration && (!std::isfinite(h.calibration->offset_eV) || !std::isfinite(h.calibration->gain_eV) ||
                          !(h.calibration->gain_eV > 0)))
        return "accepted a calibration with a gain of zero or less, or not finite";
    const image::Metadata &m = h.meta;
    if (!finite(m.beam_kV) || !finite(m.liveTime_s) || !finite(m.realTime_s) || !finite(m.pixelLiveTime_s) ||
        !finite(m.pixelTime_s) || !finite(m.pixelWidth) || !finite(m.pixelHeight))
        return "accepted metadata that are not finite";
    for (const std::string &w : h.warnings)
        if (w.empty())
            return "an empty warning";
    return {};
}

// Reads an accepted image: every pixel when the cube is small, else its
// first and last rows' pixels, in chunks and one by one. A reader that
// accepted a file must read all of it (the bytes do not change), and the
// sum spectrum must have the image's channels and finite counts, unless the
// image holds counts that are not finite numbers (float files).
inline std::string checkReads(const image::PixelSource &source)
{
    const image::Header &h = source.header();
    constexpr std::uint64_t SmallCube = 1u << 22; // samples
    if (h.samples() <= SmallCube) {
        image::ChunkOptions options;
        options.chunkPixels = 7;
        const auto summary = image::summarize(source, options);
        if (!summary) {
            if (image::isFloat(h.type) && summary.error().reason.find("not a finite number") != std::string::npos)
                return {};
            return "an accepted image could not be read: " + summary.error().reason;
        }
        if (summary->sum.counts.size() != h.channels || summary->maximum.counts.size() != h.channels)
            return "a sum spectrum of another size than the image's channels";
        for (double c : summary->sum.counts)
            if (!std::isfinite(c))
                return "a sum spectrum with a count that is not finite";
        const auto region = image::regionSpectrum(source, {0, 0, h.width, h.height});
        if (!region || region->counts != summary->sum.counts)
            return "the whole image as a region differs from its sum";
        return {};
    }
    // A large cube: a few pixels only.
    for (std::size_t x : {std::size_t(0), h.width / 2, h.width - 1})
        for (std::size_t y : {std::size_t(0), h.height - 1}) {
            const auto pixel = image::pixelSpectrum(source, x, y);
            if (!pixel && !(image::isFloat(h.type) && pixel.error().reason.find("not a finite number") != std::string::npos))
                return "a pixel of an accepted image could not be read: " + pixel.error().reason;
        }
    return {};
}

} // namespace imagechecks
