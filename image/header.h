// What a spectrum image is, without its counts: its size, the type of its
// counts, the energy calibration, what the file said about the
// acquisition, and the reader's warnings. Plain C++, no Qt.
#pragma once

#include "sampletype.h"

#include "spectrum/result.h"
#include "spectrum/spectrum.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace image {

// The image core reports failures as the spectrum core does: an Error with
// its reason, in a Result or an optional.
using spectrum::Error;
using spectrum::ErrorKind;
using spectrum::Result;

// The spectrum-image formats the readers know; the names are those of
// `zandor info --json`. Array: counts the caller holds (ArrayView), from no
// file.
enum class Format { Bcf, Ripple, Array };

std::string_view formatName(Format format);  // "bcf", "ripple", "array"
std::string_view formatTitle(Format format); // "Bruker bcf", "Lispix ripple (.rpl, .raw)", "an array in memory"

struct Metadata {
    std::optional<double> beam_kV;
    // The whole acquisition's times, where the file gives them.
    std::optional<double> liveTime_s;
    std::optional<double> realTime_s;
    // Each pixel's live time (ripple's live-time) and dwell time.
    std::optional<double> pixelLiveTime_s;
    std::optional<double> pixelTime_s;
    // The size of one pixel in pixelUnit ("µm", "nm", ...), where known.
    std::optional<double> pixelWidth;
    std::optional<double> pixelHeight;
    std::string pixelUnit;
    std::string title; // UTF-8
    std::string date;  // as the file wrote it
    std::string time;
    std::string signalType; // "EDS", "EDS_SEM", ... as the file wrote it
    spectrum::Resolution resolution;
    bool operator==(const Metadata &) const = default;
};

struct Header {
    Format format = Format::Ripple;
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t channels = 0;
    SampleType type = SampleType::U16;
    std::optional<spectrum::Calibration> calibration; // absent: uncalibrated
    Metadata meta;
    std::vector<std::string> warnings; // one sentence each, no full stop

    std::size_t pixels() const { return width * height; }
    std::size_t pixelBytes() const { return channels * sampleBytes(type); }
    // The counts of the whole cube, and their size in memory.
    std::uint64_t samples() const { return std::uint64_t(pixels()) * channels; }
    std::uint64_t decodedBytes() const { return samples() * sampleBytes(type); }
};

// Limits on what the readers accept, checked before anything is allocated:
// at most 65,536 pixels a side, 2^32 pixels in all, and spectrum::MaxChannels
// channels. A cube of any size within them can be streamed.
inline constexpr std::size_t MaxSide = 65536;
inline constexpr std::uint64_t MaxPixels = 1ull << 32;
inline constexpr std::size_t MaxChannels = spectrum::MaxChannels;

// A refusal when width, height or channels break the limits or are 0.
std::optional<Error> checkSize(std::size_t width, std::size_t height, std::size_t channels);

// "256 × 200 pixels × 2048 channels".
std::string sizeText(const Header &header);

} // namespace image
