#include "elementmaps.h"

#include "spectra.h"

#include <algorithm>

namespace image {

std::optional<Error> fitChunk(const identify::MapFit &fit, SampleType type, std::span<const std::byte> samples,
                              std::size_t pixels, float *out, std::size_t stride)
{
    if (samples.size() != pixels * fit.channels() * sampleBytes(type))
        return Error{std::to_string(samples.size()) + " bytes for " + std::to_string(pixels) + " pixels of " +
                     std::to_string(fit.channels()) + " channels of " + std::string(sampleTypeName(type))};
    if (stride < pixels && fit.elements() > 1)
        return Error{"maps of " + std::to_string(stride) + " values for " + std::to_string(pixels) + " pixels"};
    if (pixels == 0)
        return std::nullopt;
    visitSample(type, [&](auto zero) {
        using T = decltype(zero);
        fit.fitPixels(reinterpret_cast<const T *>(samples.data()), pixels, out, stride);
    });
    return std::nullopt;
}

Result<std::vector<float>> fitMaps(const PixelSource &source, const identify::MapFit &fit, const ChunkOptions &options)
{
    const Header &h = source.header();
    if (h.channels != fit.channels())
        return Error{"the map model was made for " + std::to_string(fit.channels()) + " channels, and the image has " +
                     std::to_string(h.channels)};
    const std::size_t pixels = h.pixels();
    std::vector<float> maps;
    try {
        maps.assign(fit.elements() * pixels, 0.0f);
    } catch (const std::bad_alloc &) {
        return Error{"not enough memory for the maps"};
    }
    if (fit.elements() == 0)
        return maps;
    const auto failure = forEachChunk(source, options, [&](const Chunk &chunk) -> std::optional<Error> {
        return fitChunk(fit, chunk.type, chunk.bytes, chunk.count, maps.data() + chunk.first, pixels);
    });
    if (failure)
        return *failure;
    return maps;
}

std::vector<ElementMap> splitMaps(const identify::MapModel &model, std::vector<float> values, std::size_t pixels)
{
    std::vector<ElementMap> maps;
    const std::size_t elements = model.elementCount();
    for (std::size_t e = 0; e < elements && (e + 1) * pixels <= values.size(); ++e) {
        const identify::MapColumn &c = model.columns[e];
        ElementMap m{c.Z, c.label, c.lines, 0.0, {}};
        m.values.assign(values.begin() + std::ptrdiff_t(e * pixels), values.begin() + std::ptrdiff_t((e + 1) * pixels));
        for (const float v : m.values)
            m.totalCounts += double(v);
        maps.push_back(std::move(m));
    }
    return maps;
}

Result<MapResult> elementMaps(const PixelSource &source, const identify::MapOptions &mapOptions,
                              const ChunkOptions &options)
{
    const std::uint64_t pixels = source.header().pixels();
    ChunkOptions pass = options;
    const auto stage = [&](std::uint64_t before) {
        if (options.progress)
            pass.progress = [&, before](std::uint64_t done, std::uint64_t) {
                return options.progress(before + done, 2 * pixels);
            };
    };
    stage(0);
    Result<spectrum::Spectrum> sum = sumSpectrum(source, pass);
    if (!sum)
        return sum.error();
    MapResult result;
    result.sum = std::move(sum.value());
    Result<identify::MapDesign> design = identify::buildMapModel(result.sum, mapOptions);
    if (!design)
        return design.error();
    result.design = std::move(design.value());
    Result<identify::MapFit> fit = identify::MapFit::prepare(result.design.model);
    if (!fit)
        return fit.error();
    if (options.progress && !options.progress(pixels, 2 * pixels))
        return cancelledError();
    stage(pixels);
    Result<std::vector<float>> values = fitMaps(source, fit.value(), pass);
    if (!values)
        return values.error();
    result.maps = splitMaps(result.design.model, std::move(values.value()), pixels);
    return result;
}

} // namespace image
