// Spectra drawn from a spectrum image: the sum of every pixel, the
// maximum-pixel spectrum (each channel's largest count in any pixel), one
// pixel's spectrum and a rectangle's sum. Each reads the source in chunks
// (in memory or streamed) and returns a spectrum::Spectrum with the image's
// calibration and metadata.
#pragma once

#include "pixelsource.h"

#include "spectrum/spectrum.h"

#include <cstddef>

namespace image {

// Pixels x0 <= x < x1, y0 <= y < y1.
struct Rect {
    std::size_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const Rect &) const = default;
};

struct Summary {
    spectrum::Spectrum sum;
    spectrum::Spectrum maximum;
    double totalCounts = 0.0; // of the whole cube
};

// The sum and maximum-pixel spectra in one pass. Refused when the source
// fails, or when a count is not a finite number (a float file), naming the
// pixel and channel; cancelled by options.progress.
Result<Summary> summarize(const PixelSource &source, const ChunkOptions &options = {});

Result<spectrum::Spectrum> sumSpectrum(const PixelSource &source, const ChunkOptions &options = {});
Result<spectrum::Spectrum> maximumPixelSpectrum(const PixelSource &source, const ChunkOptions &options = {});
// The sum spectrum of an image whose pixels were summed elsewhere (by the
// chunks of a Dask array): `counts` with the image's calibration and
// metadata, as sumSpectrum gives them.
spectrum::Spectrum sumSpectrumOf(const Header &header, std::vector<double> counts);

// Pixel x, y (0-based from the top left). Refused outside the image.
Result<spectrum::Spectrum> pixelSpectrum(const PixelSource &source, std::size_t x, std::size_t y);

// The sum over `rect`, which must lie within the image and hold at least
// one pixel.
Result<spectrum::Spectrum> regionSpectrum(const PixelSource &source, const Rect &rect,
                                          const ChunkOptions &options = {});

// The refusal of a rectangle that is empty or reaches outside the image,
// or nothing.
std::optional<Error> checkRect(const Header &header, const Rect &rect);

} // namespace image
