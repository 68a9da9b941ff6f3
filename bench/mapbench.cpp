// zandor-mapbench: how fast element maps are made and how much memory they
// take: `zandor map` beside NumPy's least squares with a fixed design
// matrix on the same cube, side by side in one run.
//
//   zandor-mapbench [--dir DIR] [--runs N] [--threads N] [--small-only] [--no-numpy]
//
// Makes, once, in DIR (/tmp/zandor-mapbench unless given; never in the
// source tree) the phantom of tools/synth/phantom.h at 400 counts a pixel:
//   phantom.rpl  256 × 256 × 2048, 16-bit ripple (.rpl and .raw), 256 MiB
//   large.bcf    512 × 512 × 4096, 12-bit pulses, with one bright pixel (1000
//                more counts in one channel) that makes the counts 16-bit:
//                2 GiB decoded
// and, from zandor's model of phantom.rpl's sum spectrum with the five
// elements O, Si, Ti, V and W, the design matrices NumPy is given:
//   design_counts.npy    channels × (k + 2): each column of the model as
//                        counts (before the filter), the sum spectrum's
//                        continuum and a constant
//   design_filtered.npy  bins × k: the columns as zandor fits them, with
//                        weights.npy, filter.npy (each bin's half-width and
//                        side width) and grid.npy (first channel, channels
//                        a bin, bins)
// Then times, each as a process of its own, N runs after one not counted,
// and prints the medians of the wall time, the CPU time (user and system)
// and the peak resident memory, and the pixels a second:
//   zandor map phantom.rpl --out DIR/maps --elements O,Si,Ti,V,W
//   numpy lstsq, counts      the .raw read with numpy.memmap, in chunks of
//                            4096 pixels as float64, np.linalg.lstsq with
//                            design_counts (bench/mapbench_numpy.py)
//   numpy lstsq, filtered    the same with zandor's method: each pixel's
//                            channels binned and top-hat filtered, weighted
//                            least squares with design_filtered
//   zandor map large.bcf     the memory of a map streamed from a 2 GiB cube
// File reading is included in every one. zandor uses every core unless
// --threads is given; NumPy uses what the BLAS it is linked to uses (Debian's
// numpy with the reference BLAS and LAPACK: one core; with OpenBLAS: every
// core). The CPU time compares the work done, whatever the threads.
#include "childprocess.h"
#include "phantom.h"
#include "bcfwriter.h"
#include "ripplewriter.h"

#include "identify/background.h"
#include "identify/mapmodel.h"
#include "identify/workgrid.h"
#include "image/npy.h"
#include "image/open.h"
#include "image/spectra.h"

#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using childprocess::median;
using childprocess::Run;
using childprocess::runOnce;

bool exists(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

const std::vector<int> Elements = {8, 14, 22, 23, 74};
const char *ElementList = "O,Si,Ti,V,W";

bool makePhantom(const std::string &dir, const std::string &stem, std::size_t side, std::size_t channels, bool bcf)
{
    const std::string path = dir + "/" + stem + (bcf ? ".bcf" : ".rpl");
    if (exists(path))
        return true;
    std::printf("making %s (%zu × %zu × %zu)...\n", path.c_str(), side, side, channels);
    std::fflush(stdout);
    synth::PhantomRecipe recipe;
    recipe.width = recipe.height = side;
    recipe.channels = channels;
    recipe.gain_eV = 20480.0 / double(channels);
    recipe.offset_eV = -475;
    recipe.countsPerPixel = 400;
    const synth::Phantom phantom(recipe);
    std::vector<std::uint32_t> row(side * channels);
    std::optional<std::string> error;
    if (bcf) {
        synth::BcfWriter writer(path + ".part",
                                {side, side, channels, recipe.offset_eV, recipe.gain_eV, recipe.beam_kV, 0.1, "benchmark",
                                 recipe.detector.detector.fwhmMnKa()},
                                {});
        for (std::size_t y = 0; y < side; ++y) {
            phantom.row(y, row);
            if (y == 0)
                row[channels / 8] += 1000; // the bright pixel: 16-bit counts
            writer.addRow(row);
        }
        error = writer.finish();
        if (!error && std::rename((path + ".part").c_str(), path.c_str()) != 0)
            error = "cannot rename " + path;
    } else {
        synth::RippleWriter writer(path, {side, side, channels, recipe.offset_eV, recipe.gain_eV, recipe.beam_kV, 0, "benchmark"},
                                   synth::RippleOptions{});
        std::vector<double> values;
        for (std::size_t y = 0; y < side; ++y) {
            phantom.row(y, row);
            values.assign(row.begin(), row.end());
            writer.addRow(values);
        }
        error = writer.finish();
    }
    if (error)
        std::fprintf(stderr, "zandor-mapbench: %s\n", error->c_str());
    return !error;
}

// The design matrices NumPy is given, from zandor's model of the sum.
bool exportDesign(const std::string &dir, const std::string &image)
{
    if (exists(dir + "/design_filtered.npy"))
        return true;
    const auto opened = image::openImageFile(image);
    if (!opened)
        return false;
    image::ChunkOptions options;
    options.threads = 0;
    const auto sum = image::sumSpectrum(*opened.value(), options);
    if (!sum)
        return false;
    identify::MapOptions mapOptions;
    mapOptions.elements = Elements;
    const auto design = identify::buildMapModel(sum.value(), mapOptions);
    if (!design) {
        std::fprintf(stderr, "zandor-mapbench: %s\n", design.error().reason.c_str());
        return false;
    }
    const identify::MapModel &m = design->model;
    const std::size_t k = m.columns.size(), bins = m.bins, channels = m.channels;

    // In counts over the channels: each column, the continuum, a constant.
    const identify::WorkGrid grid = identify::workGrid(sum.value(), xray::Detector(xray::Material::Si, 129));
    const std::vector<double> continuum = identify::snipBackground(grid, xray::Detector(xray::Material::Si, 129));
    std::vector<double> counts(channels * (k + 2), 0.0);
    const std::size_t g = m.channelsPerBin;
    for (std::size_t j = 0; j < k; ++j) {
        const identify::MapColumn &c = m.columns[j];
        for (std::size_t t = 0; t < c.raw.size(); ++t)
            for (std::size_t q = 0; q < g; ++q)
                counts[(m.firstChannel + (c.rawFirst + t) * g + q) * (k + 2) + j] = c.raw[t] / double(g);
    }
    double most = 0;
    for (const double v : continuum)
        most = std::max(most, v);
    for (std::size_t b = 0; b < continuum.size() && most > 0; ++b)
        for (std::size_t q = 0; q < grid.channelsPerBin; ++q) {
            const std::size_t channel = grid.firstChannel + b * grid.channelsPerBin + q;
            if (channel < channels)
                counts[channel * (k + 2) + k] = continuum[b] / most;
        }
    for (std::size_t c = 0; c < channels; ++c)
        counts[c * (k + 2) + k + 1] = 1;

    std::vector<double> filtered(bins * k, 0.0), filter(bins * 2), gridInfo = {double(m.firstChannel), double(g), double(bins)};
    for (std::size_t j = 0; j < k; ++j)
        for (std::size_t t = 0; t < m.columns[j].values.size(); ++t)
            filtered[(m.columns[j].first + t) * k + j] = m.columns[j].values[t];
    for (std::size_t i = 0; i < bins; ++i) {
        filter[2 * i] = m.half[i];
        filter[2 * i + 1] = m.side[i];
    }
    const std::array<std::size_t, 2> countsShape = {channels, k + 2}, filteredShape = {bins, k}, filterShape = {bins, 2};
    const std::array<std::size_t, 1> weightsShape = {bins}, gridShape = {3};
    for (const auto &failure :
         {image::writeNpy(dir + "/design_counts.npy", counts, countsShape),
          image::writeNpy(dir + "/weights.npy", m.weights, weightsShape),
          image::writeNpy(dir + "/filter.npy", filter, filterShape), image::writeNpy(dir + "/grid.npy", gridInfo, gridShape),
          image::writeNpy(dir + "/design_filtered.npy", filtered, filteredShape)})
        if (failure) {
            std::fprintf(stderr, "zandor-mapbench: %s\n", failure->reason.c_str());
            return false;
        }
    return true;
}

void measure(const std::string &label, const std::vector<std::string> &args, int runs, double pixels, double cubeMB)
{
    const Run first = runOnce(args); // warms the page cache; not counted
    if (first.status != 0) {
        std::printf("%-34s failed (status %d)\n", label.c_str(), first.status);
        std::fflush(stdout);
        return;
    }
    std::vector<double> ms, cpu, rss;
    for (int r = 0; r < runs; ++r) {
        const Run run = runOnce(args);
        ms.push_back(run.ms);
        cpu.push_back(run.cpuMs);
        rss.push_back(run.rssMB);
    }
    const double wall = median(ms);
    std::printf("%-30s %8.0f ms (CPU %8.0f ms) %10.0f pixels/s   peak RSS %6.0f MB = %4.2f × the cube\n", label.c_str(),
                wall, median(cpu), pixels / (wall / 1000), median(rss), median(rss) / cubeMB);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string dir = "/tmp/zandor-mapbench";
    int runs = 3;
    std::string threads = "0";
    bool smallOnly = false, numpy = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "zandor-mapbench: %s needs a value\n", args[i].c_str());
                std::exit(2);
            }
            return args[++i];
        };
        if (args[i] == "--dir")
            dir = value();
        else if (args[i] == "--runs")
            runs = std::max(1, std::atoi(value().c_str()));
        else if (args[i] == "--threads")
            threads = value();
        else if (args[i] == "--small-only")
            smallOnly = true;
        else if (args[i] == "--no-numpy")
            numpy = false;
        else {
            std::fprintf(stderr, "zandor-mapbench: unknown option '%s' (see the top of bench/mapbench.cpp)\n",
                         args[i].c_str());
            return 2;
        }
    }
    ::mkdir(dir.c_str(), 0755);
    if (!makePhantom(dir, "phantom", 256, 2048, false) || (!smallOnly && !makePhantom(dir, "large", 512, 4096, true)))
        return 1;
    const std::string small = dir + "/phantom.rpl";
    if (!exportDesign(dir, small))
        return 1;
    const std::string python = exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    numpy = numpy && runOnce({python, "-c", "import numpy"}).status == 0;

    std::printf("medians of %d runs; zandor map with --threads %s (0: every core), %u cores\n", runs, threads.c_str(),
                std::thread::hardware_concurrency());
    const auto mapArgs = [&](const std::string &file, const std::string &out) {
        return std::vector<std::string>{ZANDOR_PROGRAM, "map", file, "--out", out, "--elements", ElementList,
                                        "--threads", threads, "--json"};
    };
    {
        const auto opened = image::openImageFile(small);
        if (!opened)
            return 1;
        const image::Header &h = opened.value()->header();
        const double cubeMB = double(h.decodedBytes()) / (1024.0 * 1024.0);
        const double pixels = double(h.pixels());
        std::printf("\nphantom.rpl: %zu × %zu × %zu, %s, %.0f MiB, 5 elements (%s)\n", h.width, h.height, h.channels,
                    std::string(image::sampleTypeName(h.type)).c_str(), cubeMB, ElementList);
        measure("  zandor map", mapArgs(small, dir + "/maps"), runs, pixels, cubeMB);
        if (numpy) {
            const std::string raw = dir + "/phantom.raw";
            const std::vector<std::string> common = {python, ZANDOR_NUMPY_SCRIPT, raw, std::to_string(h.width),
                                                     std::to_string(h.height), std::to_string(h.channels), dir};
            std::vector<std::string> counts = common, filtered = common;
            counts.push_back("counts");
            filtered.push_back("filtered");
            measure("  numpy lstsq, counts", counts, runs, pixels, cubeMB);
            measure("  numpy lstsq, filtered", filtered, runs, pixels, cubeMB);
        }
    }
    if (!smallOnly) {
        const std::string large = dir + "/large.bcf";
        const auto opened = image::openImageFile(large);
        if (!opened)
            return 1;
        const image::Header &h = opened.value()->header();
        const double cubeMB = double(h.decodedBytes()) / (1024.0 * 1024.0);
        std::printf("\nlarge.bcf: %zu × %zu × %zu, %s, %.0f MiB decoded\n", h.width, h.height, h.channels,
                    std::string(image::sampleTypeName(h.type)).c_str(), cubeMB);
        measure("  zandor map, streamed", mapArgs(large, dir + "/maps-large"), std::max(1, runs / 3), double(h.pixels()),
                cubeMB);
    }
    return 0;
}
