// Writes synthetic spectrum images as Bruker .bcf files (format 2, or 1),
// row by row, for the readers' tests and the memory benchmark: the SFS
// container (image/sfs.h), the XML header with the map's sum spectrum, and
// the pixel records (image/bcfrecords.h) in any of the three packings,
// zlib-compressed in blocks or plain. Enough of the header for HyperSpy to
// read the file as well. Not a core: a tool.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace synth {

class SfsWriter;

enum class BcfPacking {
    Pulses16, // each count a 16-bit pulse
    Pulses12, // each count a 12-bit pulse (channels below 4096)
    Packed,   // counts channel by channel in groups
};

struct BcfOptions {
    BcfPacking packing = BcfPacking::Pulses12;
    // Packed: also move a count of some channels of each pixel into the
    // record's extra pulses, as Esprit does.
    bool extraPulses = false;
    bool compressed = true;
    std::uint32_t chunkSize = 65536;  // the container's chunk size
    std::uint32_t blockSize = 524288; // decoded bytes per compressed block
    int version = 2;                  // 1 or 2
};

struct BcfMap {
    std::size_t width = 0, height = 0, channels = 0;
    double offset_eV = 0, gain_eV = 10;
    double beam_kV = 20;
    double pixelSize_um = 0.1;
    std::string title = "synthetic map";
    // The detector's FWHM at Mn K-alpha that the header gives (as Bruker's
    // SigmaAbs and SigmaLin); 0: SigmaAbs 3E-4 and SigmaLin 4E-4 keV, 121 eV.
    double fwhmMnKa_eV = 0;
};

// One pixel's record (22 bytes of header and its data) for `counts`, with
// `packing` (pixels beyond what a pulse packing can hold are packed), or
// nothing for a pixel without counts.
std::string bcfRecord(std::uint32_t x, std::span<const std::uint32_t> counts, BcfPacking packing, bool extraPulses);

class BcfWriter {
public:
    // Starts writing `path`; error() tells whether it could be opened.
    BcfWriter(const std::string &path, const BcfMap &map, const BcfOptions &options);
    ~BcfWriter();
    BcfWriter(const BcfWriter &) = delete;
    BcfWriter &operator=(const BcfWriter &) = delete;

    // The next row's counts: width × channels, each pixel's channels together.
    void addRow(std::span<const std::uint32_t> counts);
    // Writes the header and the tables and closes the file; the first error
    // met on the way, or nothing.
    std::optional<std::string> finish();
    const std::optional<std::string> &error() const { return error_; }

private:
    void appendData(const std::string &bytes);
    void flushBlock(bool last);
    std::string headerXml() const;

    BcfMap map_;
    BcfOptions options_;
    std::unique_ptr<SfsWriter> container_;
    std::vector<double> sum_;
    std::string pending_; // decoded data not yet in a block
    std::uint32_t blocks_ = 0;
    std::uint64_t written_ = 0; // bytes of the data file so far
    std::size_t rows_ = 0;
    std::optional<std::string> error_;
};

} // namespace synth
