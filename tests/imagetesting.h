// Shared by the spectrum-image tests: small phantoms (tools/synth/phantom.h)
// written with the tools' .bcf and ripple writers, and whole cubes read
// back for comparison.
#pragma once

#include "bcfwriter.h"
#include "phantom.h"
#include "ripplewriter.h"

#include "image/pixelsource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imagetesting {

inline synth::PhantomRecipe smallRecipe(std::size_t width = 24, std::size_t height = 16, std::size_t channels = 512)
{
    synth::PhantomRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.channels = channels;
    recipe.gain_eV = 40;
    recipe.offset_eV = -120;
    recipe.countsPerPixel = 300;
    return recipe;
}

// The phantom's counts, row after row.
inline std::vector<std::uint32_t> phantomCube(const synth::Phantom &phantom)
{
    const synth::PhantomRecipe &r = phantom.recipe();
    std::vector<std::uint32_t> cube(r.width * r.height * r.channels);
    for (std::size_t y = 0; y < r.height; ++y)
        phantom.row(y, std::span<std::uint32_t>(cube).subspan(y * r.width * r.channels, r.width * r.channels));
    return cube;
}

inline synth::BcfMap bcfMap(const synth::PhantomRecipe &r)
{
    return {r.width, r.height, r.channels, r.offset_eV, r.gain_eV, r.beam_kV, 0.25, "phantom", r.detector.detector.fwhmMnKa()};
}

// Writes `cube` (width × height × channels of the recipe) as a .bcf.
inline std::optional<std::string> writeBcf(const std::string &path, const synth::PhantomRecipe &r,
                                           const std::vector<std::uint32_t> &cube, const synth::BcfOptions &options)
{
    synth::BcfWriter writer(path, bcfMap(r), options);
    const std::size_t row = r.width * r.channels;
    for (std::size_t y = 0; y < r.height; ++y)
        writer.addRow(std::span<const std::uint32_t>(cube).subspan(y * row, row));
    return writer.finish();
}

inline std::optional<std::string> writeRipple(const std::string &rplPath, const synth::PhantomRecipe &r,
                                              const std::vector<double> &cube, const synth::RippleOptions &options)
{
    synth::RippleMap map{r.width, r.height, r.channels, r.offset_eV, r.gain_eV, r.beam_kV, 0.5, "phantom"};
    synth::RippleWriter writer(rplPath, map, options);
    const std::size_t row = r.width * r.channels;
    for (std::size_t y = 0; y < r.height; ++y)
        writer.addRow(std::span<const double>(cube).subspan(y * row, row));
    return writer.finish();
}

// Every count of a source as doubles, read in chunks of `chunkPixels`;
// empty after a failure, whose reason goes to `error`.
inline std::vector<double> readAll(const image::PixelSource &source, std::string &error, std::size_t chunkPixels = 0,
                                   unsigned threads = 1)
{
    const image::Header &h = source.header();
    std::vector<double> out(h.samples());
    image::ChunkOptions options;
    options.chunkPixels = chunkPixels;
    options.threads = threads;
    const auto failure = image::forEachChunk(source, options, [&](const image::Chunk &chunk) -> std::optional<image::Error> {
        image::toDoubles(chunk.type, chunk.bytes.data(), chunk.count * chunk.channels, out.data() + chunk.first * h.channels);
        return std::nullopt;
    });
    if (failure) {
        error = failure->reason;
        return {};
    }
    return out;
}

} // namespace imagetesting
