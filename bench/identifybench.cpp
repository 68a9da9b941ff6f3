// zandor-identifybench [--runs N] [--write-samples DIR]: the time automatic
// identification takes on 4096-channel synthetic spectra (some of the hard
// cases), as medians with the 10th and 90th percentiles, each after one run
// not counted; and on spectra the readers accept but no instrument makes (a
// million channels, one channel, huge counts), to show the time stays
// bounded. With --write-samples, writes the spectra as EMSA files instead,
// for timing `zandor identify` as a process with zandor-processtime.
#include "hardcases.h"
#include "synth.h"

#include "identify/identify.h"
#include "spectrum/write.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Sample {
    std::string name;
    spectrum::Spectrum spectrum;
    identify::IdentifyOptions options = {};
};

std::vector<Sample> samples()
{
    std::vector<Sample> out;
    const std::vector<synth::HardCase> cases = synth::hardCases();
    for (const char *name : {"fe-20kv", "pbs-20kv", "s-mo-pb-25kv", "batio3-20kv", "steel-xrf-40kv", "mo-ge-30kv"}) {
        const synth::Recipe &recipe = synth::findHardCase(cases, name)->recipe;
        identify::IdentifyOptions options;
        options.material = recipe.detector.detector.material();
        out.push_back({name, synth::generate(recipe).spectrum, options});
    }
    // Bounds: a million channels of 0.02 eV (iron's spectrum from 6 keV), one
    // channel, counts near the largest double, negative counts.
    synth::Recipe wide = synth::findHardCase(cases, "fe-20kv")->recipe;
    wide.channels = 1 << 20;
    wide.gain_eV = 0.02;
    wide.offset_eV = 6000;
    out.push_back({"1048576 channels", synth::generate(wide).spectrum});
    spectrum::Spectrum one;
    one.counts = {5};
    one.calibration = spectrum::Calibration{0, 10};
    out.push_back({"1 channel", one});
    spectrum::Spectrum huge = out.front().spectrum;
    for (double &c : huge.counts)
        c *= 1e295;
    out.push_back({"counts x 1e295", huge});
    spectrum::Spectrum negative = out.front().spectrum;
    for (std::size_t i = 0; i < negative.counts.size(); i += 2)
        negative.counts[i] = -negative.counts[i];
    out.push_back({"every other count negative", negative});
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 41;
    std::string writeDir;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--write-samples") && i + 1 < argc)
            writeDir = argv[++i];
        else {
            std::fprintf(stderr, "usage: zandor-identifybench [--runs N] [--write-samples DIR]\n");
            return 2;
        }
    }
    const std::vector<Sample> all = samples();
    if (!writeDir.empty()) {
        for (const Sample &s : all) {
            if (s.spectrum.channels() != 4096)
                continue;
            const std::string path = writeDir + "/" + s.name + ".msa";
            if (const auto error = spectrum::writeEmsa(s.spectrum, path)) {
                std::fprintf(stderr, "%s: %s\n", path.c_str(), error->message().c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
        }
        return 0;
    }
    std::printf("%-28s %9s %9s %9s  %s\n", "spectrum", "median ms", "p10", "p90", "elements");
    for (const Sample &s : all) {
        const int n = s.spectrum.channels() > 100000 ? std::max(3, runs / 8) : runs;
        std::vector<double> times;
        std::string found;
        for (int r = 0; r <= n; ++r) {
            const auto start = std::chrono::steady_clock::now();
            const auto result = identify::identify(s.spectrum, s.options);
            const auto end = std::chrono::steady_clock::now();
            if (r == 0) {
                for (const auto &e : result.value().elements)
                    found += std::string(found.empty() ? "" : " ") + std::to_string(e.Z);
                continue;
            }
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        std::sort(times.begin(), times.end());
        const auto at = [&](double q) { return times[std::size_t(q * double(times.size() - 1) + 0.5)]; };
        std::printf("%-28s %9.2f %9.2f %9.2f  Z %s\n", s.name.c_str(), at(0.5), at(0.1), at(0.9),
                    found.empty() ? "-" : found.c_str());
    }
    return 0;
}
