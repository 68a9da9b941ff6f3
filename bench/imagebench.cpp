// zandor-imagebench: how fast the spectrum-image readers go and how much
// memory they take, on large synthetic maps, beside HyperSpy reading the
// same files where it is installed.
//
//   zandor-imagebench [--dir DIR] [--runs N] [--hyperspy-runs N] [--threads N]
//                     [--small-only] [--no-hyperspy]
//
// Makes, once, in DIR (/tmp/zandor-imagebench unless given; never in the
// source tree) the phantoms of tools/synth/phantom.h at 400 counts a pixel,
// with one bright pixel (1000 more counts in one channel of the top-left
// pixel, a speck of pure material) that makes the counts 16-bit:
//   small.bcf  256 × 256 × 2048, 12-bit pulses, zlib-compressed (16-bit counts,
//              256 MiB decoded)
//   small.rpl  the same cube as 16-bit ripple (.rpl, .raw), vector order
//   large.bcf  512 × 512 × 4096, as small.bcf (2 GiB decoded)
// Then times each of these as a process of its own (this program started
// again), N runs after one not counted, and prints the medians of the wall
// time and the peak resident memory (ru_maxrss):
//   open     opening (a .bcf: its container, header and one walk through the
//            pixel data that indexes the rows)
//   sum      the sum and maximum-pixel spectra streamed in chunks (one
//            thread, then every core)
//   load     the whole cube read into memory (every core), then summed
//   hyperspy hs.load(FILE) and the sum of its counts (Python)
// The CPU time (user and system) is printed beside the wall time: on a
// machine shared with other work it is the steadier figure.
// Each child prints the cube's total counts, checked to agree.
#include "bcfwriter.h"
#include "childprocess.h"
#include "phantom.h"
#include "ripplewriter.h"

#include "image/cube.h"
#include "image/open.h"
#include "image/spectra.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

bool exists(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// --- The children --------------------------------------------------------

int child(const std::string &mode, const std::string &file, unsigned threads)
{
    image::Progress none;
    auto opened = image::openImageFile(file, none);
    if (!opened) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), opened.error().reason.c_str());
        return 1;
    }
    const image::PixelSource &source = *opened.value();
    if (mode == "open") {
        std::printf("opened\n");
        return 0;
    }
    image::ChunkOptions options;
    options.threads = threads;
    if (mode == "load") {
        auto cube = image::loadCube(source, options);
        if (!cube) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), cube.error().reason.c_str());
            return 1;
        }
        auto summary = image::summarize(*cube.value(), options);
        if (!summary)
            return 1;
        std::printf("%.0f\n", summary->totalCounts);
        return 0;
    }
    auto summary = image::summarize(source, options);
    if (!summary) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), summary.error().reason.c_str());
        return 1;
    }
    std::printf("%.0f\n", summary->totalCounts);
    return 0;
}

// --- Timing ----------------------------------------------------------------

using childprocess::median;
using childprocess::Run;
using childprocess::runOnce;

void measure(const std::string &label, const std::vector<std::string> &args, int runs, double decodedMB,
             const std::string &expected)
{
    const Run first = runOnce(args); // warms the page cache; not counted
    if (first.status != 0) {
        std::printf("%-34s failed (status %d)\n", label.c_str(), first.status);
        return;
    }
    std::vector<double> ms, cpu, rss;
    for (int r = 0; r < runs; ++r) {
        const Run run = runOnce(args);
        ms.push_back(run.ms);
        cpu.push_back(run.cpuMs);
        rss.push_back(run.rssMB);
    }
    const bool agrees = expected.empty() || first.out == expected || first.out == "opened";
    std::printf("%-32s %8.0f ms (CPU %8.0f ms)   peak RSS %6.0f MB = %4.2f × the cube%s\n", label.c_str(), median(ms),
                median(cpu), median(rss), median(rss) / decodedMB, agrees ? "" : ("   TOTAL DIFFERS: " + first.out).c_str());
    std::fflush(stdout);
}

// --- The files -------------------------------------------------------------

bool makeFiles(const std::string &dir, const std::string &stem, std::size_t width, std::size_t height,
               std::size_t channels, bool ripple)
{
    const std::string bcf = dir + "/" + stem + ".bcf", rpl = dir + "/" + stem + ".rpl";
    if (exists(bcf) && (!ripple || exists(rpl)))
        return true;
    std::printf("making %s (%zu × %zu × %zu)...\n", bcf.c_str(), width, height, channels);
    std::fflush(stdout);
    synth::PhantomRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.channels = channels;
    recipe.gain_eV = 20480.0 / double(channels) * 1.0; // 0 to about 20 keV
    recipe.offset_eV = -475;
    recipe.countsPerPixel = 400;
    const synth::Phantom phantom(recipe);
    synth::BcfWriter bcfWriter(bcf + ".part", {width, height, channels, recipe.offset_eV, recipe.gain_eV, 20, 0.1, "benchmark"},
                               {});
    std::unique_ptr<synth::RippleWriter> rippleWriter;
    if (ripple)
        rippleWriter = std::make_unique<synth::RippleWriter>(
            rpl, synth::RippleMap{width, height, channels, recipe.offset_eV, recipe.gain_eV, 20, 0, "benchmark"},
            synth::RippleOptions{});
    std::vector<std::uint32_t> row(width * channels);
    std::vector<double> values;
    for (std::size_t y = 0; y < height; ++y) {
        phantom.row(y, row);
        if (y == 0)
            row[channels / 8] += 1000; // the bright pixel
        bcfWriter.addRow(row);
        if (rippleWriter) {
            values.assign(row.begin(), row.end());
            rippleWriter->addRow(values);
        }
    }
    if (auto error = bcfWriter.finish()) {
        std::fprintf(stderr, "zandor-imagebench: %s\n", error->c_str());
        return false;
    }
    if (rippleWriter)
        if (auto error = rippleWriter->finish()) {
            std::fprintf(stderr, "zandor-imagebench: %s\n", error->c_str());
            return false;
        }
    return std::rename((bcf + ".part").c_str(), bcf.c_str()) == 0;
}

bool hyperspyAvailable(const std::string &python)
{
    const Run run = runOnce({python, "-c", "import hyperspy.api"});
    return run.status == 0;
}

const char *HyperspyScript = "import sys\n"
                             "import hyperspy.api as hs\n"
                             "f = sys.argv[1]\n"
                             "s = hs.load(f, **({'select_type': 'spectrum_image'} if f.endswith('.bcf') else {}))\n"
                             "s = s[0] if isinstance(s, list) else s\n"
                             "print(int(s.data.sum(dtype='uint64')))\n";

} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "--child")
        return child(args[1], args[2], unsigned(std::atoi(args[3].c_str())));

    std::string dir = "/tmp/zandor-imagebench";
    int runs = 3, hyperspyRuns = 1;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    bool smallOnly = false, hyperspy = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "zandor-imagebench: %s needs a value\n", args[i].c_str());
                std::exit(2);
            }
            return args[++i];
        };
        if (args[i] == "--dir")
            dir = value();
        else if (args[i] == "--runs")
            runs = std::max(1, std::atoi(value().c_str()));
        else if (args[i] == "--hyperspy-runs")
            hyperspyRuns = std::max(1, std::atoi(value().c_str()));
        else if (args[i] == "--threads")
            threads = unsigned(std::max(1, std::atoi(value().c_str())));
        else if (args[i] == "--small-only")
            smallOnly = true;
        else if (args[i] == "--no-hyperspy")
            hyperspy = false;
        else {
            std::fprintf(stderr, "zandor-imagebench: unknown option '%s' (see the top of bench/imagebench.cpp)\n",
                         args[i].c_str());
            return 2;
        }
    }
    ::mkdir(dir.c_str(), 0755);
    if (!makeFiles(dir, "small", 256, 256, 2048, true) || (!smallOnly && !makeFiles(dir, "large", 512, 512, 4096, false)))
        return 1;
    const std::string self = "/proc/self/exe";
    char exe[4096];
    const ssize_t n = readlink(self.c_str(), exe, sizeof exe - 1);
    if (n <= 0)
        return 1;
    const std::string program(exe, std::size_t(n));
    const std::string python = exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    hyperspy = hyperspy && hyperspyAvailable(python);

    std::printf("medians of %d runs (HyperSpy: %d), %u threads for \"every core\"\n", runs, hyperspyRuns, threads);
    std::vector<std::string> files = {"small.bcf", "small.rpl"};
    if (!smallOnly)
        files.push_back("large.bcf");
    for (const std::string &name : files) {
        const std::string file = dir + "/" + name;
        const auto opened = image::openImageFile(file);
        if (!opened) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), opened.error().reason.c_str());
            return 1;
        }
        const image::Header &h = opened.value()->header();
        const double decodedMB = double(h.decodedBytes()) / (1024.0 * 1024.0);
        struct stat info {};
        ::stat((name.ends_with(".rpl") ? dir + "/" + name.substr(0, name.size() - 4) + ".raw" : file).c_str(), &info);
        std::printf("\n%s: %zu × %zu × %zu, %s counts, %.0f MiB decoded, file %.0f MB\n", name.c_str(), h.width, h.height,
                    h.channels, std::string(image::sampleTypeName(h.type)).c_str(), decodedMB,
                    double(info.st_size) / 1e6);
        const std::string expected = runOnce({program, "--child", "sum", file, "1"}).out;
        measure("  open", {program, "--child", "open", file, "1"}, runs, decodedMB, "");
        measure("  sum, streamed, 1 thread", {program, "--child", "sum", file, "1"}, runs, decodedMB, expected);
        measure("  sum, streamed, every core", {program, "--child", "sum", file, std::to_string(threads)}, runs, decodedMB,
                expected);
        measure("  load whole, then sum", {program, "--child", "load", file, std::to_string(threads)}, runs, decodedMB,
                expected);
        if (hyperspy)
            measure("  HyperSpy: hs.load, then sum", {python, "-c", HyperspyScript, file}, hyperspyRuns, decodedMB, expected);
    }
    return 0;
}
