// Element maps of a spectrum image: every pixel fitted with the map model
// of its sum spectrum (identify/mapmodel.h, identify/mapfit.h), in chunks of
// pixels on several threads, with progress and cancellation. Each element's
// map is its net counts in each pixel.
//
// The steps can be taken one by one (the sum, then the model, then the
// fit), or all at once (elementMaps). A chunk is fitted on its own
// (fitChunk): a process given the model and some pixels fits them alone.
#pragma once

#include "pixelsource.h"

#include "identify/mapfit.h"
#include "identify/mapmodel.h"
#include "spectrum/spectrum.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace image {

struct ElementMap {
    int Z = 0;
    std::string symbol;
    std::vector<std::string> lines; // its lines that explain peaks of the sum ("Ka1")
    double totalCounts = 0;         // over the whole map
    std::vector<float> values;      // height × width, row by row from the top left
};

// Fits `pixels` pixels of `type` (each fit.channels() samples, one pixel
// after another, as PixelSource::read writes them) and writes element e's
// net counts in pixel p to out[e * stride + p]. Refused when the sizes do not
// agree.
std::optional<Error> fitChunk(const identify::MapFit &fit, SampleType type, std::span<const std::byte> samples,
                              std::size_t pixels, float *out, std::size_t stride);

// Fits every pixel of `source`: the maps one after another, each
// source.header().pixels() values (element e's net counts in pixel p at
// e × pixels + p). Refused when the model was made for another number of
// channels, or when the source fails; cancelled by options.progress.
Result<std::vector<float>> fitMaps(const PixelSource &source, const identify::MapFit &fit,
                                   const ChunkOptions &options = {});

// The maps of fitMaps, one per element of the model.
std::vector<ElementMap> splitMaps(const identify::MapModel &model, std::vector<float> values, std::size_t pixels);

struct MapResult {
    spectrum::Spectrum sum;
    identify::MapDesign design;
    std::vector<ElementMap> maps;
};

// All at once: the sum spectrum, its model (identified, or with the elements
// given) and the fit of every pixel. The progress goes through the pixels
// twice (the sum, then the fit): done out of 2 × pixels.
Result<MapResult> elementMaps(const PixelSource &source, const identify::MapOptions &mapOptions,
                              const ChunkOptions &options = {});

} // namespace image
