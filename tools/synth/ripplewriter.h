// Writes synthetic spectrum images as Lispix ripple files (.rpl and .raw),
// row by row, in any number type, byte order and record order, for the
// readers' tests and benchmarks. Not a core: a tool.
#pragma once

#include "image/ripple.h"
#include "image/sampletype.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace synth {

struct RippleOptions {
    image::SampleType type = image::SampleType::U16;
    bool bigEndian = false;
    image::RecordOrder order = image::RecordOrder::Vector;
    std::uint64_t offset = 0; // bytes of padding before the numbers
    bool keV = false;         // calibration in depth-scale/depth-origin keV, else ev-per-chan and depth-origin eV
};

struct RippleMap {
    std::size_t width = 0, height = 0, channels = 0;
    double offset_eV = 0, gain_eV = 10;
    double beam_kV = 20;
    double pixelLiveTime_s = 0; // 0: not written
    std::string title = "synthetic map";
};

class RippleWriter {
public:
    // Starts writing `rplPath` and the .raw beside it (the same name ending
    // in .raw).
    RippleWriter(const std::string &rplPath, const RippleMap &map, const RippleOptions &options);
    ~RippleWriter();
    RippleWriter(const RippleWriter &) = delete;
    RippleWriter &operator=(const RippleWriter &) = delete;

    // The next row's values: width × channels, each pixel's channels
    // together, converted to the file's type.
    void addRow(std::span<const double> values);
    std::optional<std::string> finish();

private:
    void write(std::uint64_t at, const std::string &bytes);

    RippleMap map_;
    RippleOptions options_;
    std::FILE *raw_ = nullptr;
    std::size_t rows_ = 0;
    std::optional<std::string> error_;
};

// The .rpl text for a map.
std::string rippleHeaderText(const RippleMap &map, const RippleOptions &options);

} // namespace synth
