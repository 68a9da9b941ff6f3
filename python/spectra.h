// The spectra Python sees: a Spectrum (counts per channel with the file's
// calibration and metadata) and a SpectrumImage (a cube read from its file
// in chunks, its counts decoded into memory when first asked for).
#pragma once

#include "image/cube.h"
#include "image/pixelsource.h"
#include "spectrum/spectrum.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace zpy {

struct Spectrum {
    // The counts: float64, (channels,), changed in place as the caller likes.
    pybind11::array_t<double> counts;
    std::optional<double> offset_eV, gain_eV; // both or neither
    spectrum::Metadata meta;
    std::optional<std::string> path;          // the file it was read from
    std::string format;                       // "emsa", "spx"... as `zandor info`
    std::vector<std::string> warnings;

    // What the cores take: the counts as they are now, with the calibration
    // and metadata. Throws ValueError for counts that are no spectrum
    // (not one row, not finite) and a calibration that is none.
    spectrum::Spectrum toCore() const;
    static Spectrum fromCore(spectrum::Spectrum s, std::optional<std::string> path);
};

struct SpectrumImage {
    std::string path;
    std::shared_ptr<const image::PixelSource> source;

    const image::Header &header() const { return source->header(); }
    // The whole cube in memory, decoded on the first call (with the GIL
    // released, on every core); OSError when the file fails.
    std::shared_ptr<const image::Cube> cube() const;
    // The counts as NumPy sees them, (height, width, channels) of the
    // stored type, over the cube's own memory (read-only).
    pybind11::array counts(const pybind11::object &self) const;
    // Rows [first, stop) read from the file (or the cube, once decoded):
    // (stop - first, width, channels) of the stored type.
    pybind11::array rows(std::size_t first, std::size_t stop) const;

private:
    mutable std::mutex mutex_;
    mutable std::shared_ptr<const image::Cube> cube_;
};

// NumPy's dtype of a sample type.
pybind11::dtype dtypeOf(image::SampleType type);

// The sum spectrum of an image, read in chunks on every core, the GIL
// released.
spectrum::Spectrum sumSpectrum(const SpectrumImage &image);

// Checks a calibration a Python caller gave; throws ValueError naming it.
void checkCalibration(double offset_eV, double gain_eV);

void bindSpectra(pybind11::module_ &m);

} // namespace zpy
