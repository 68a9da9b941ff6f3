// zandor-xraybench: times of the X-ray core's calls in this process, as
// medians over many runs. Plain C++, like the core: no Qt.
//
//   zandor-xraybench [--repeat N]
//
// Each row is timed N times (20000 by default) after N/10 runs not counted;
// it prints the median and the 10th and 90th percentiles in microseconds.
// `find` rows run the whole finder: lines, the detector's escape peaks,
// sums where elements are given, sorting and the confirming lines.
#include "xray/detector.h"
#include "xray/elements.h"
#include "xray/energy.h"
#include "xray/finder.h"
#include "xray/lines.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

double nowUs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// Keeps a result alive so that the compiler cannot drop the call.
volatile std::size_t sink = 0;

void row(const char *name, int repeat, const std::function<std::size_t(int)> &call)
{
    for (int i = 0; i < repeat / 10; ++i)
        sink = sink + call(i);
    std::vector<double> times(static_cast<std::size_t>(repeat));
    for (int i = 0; i < repeat; ++i) {
        const double start = nowUs();
        sink = sink + call(i);
        times[std::size_t(i)] = nowUs() - start;
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) { return times[std::size_t(q * (times.size() - 1))]; };
    std::printf("%-58s %8.2f %8.2f %8.2f\n", name, at(0.5), at(0.1), at(0.9));
}

} // namespace

int main(int argc, char *argv[])
{
    int repeat = 20000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: zandor-xraybench [--repeat N]\n");
            return 2;
        }
    }
    std::printf("%zu lines in the table; %d runs a row\n\n", xray::allLines().size(), repeat);
    std::printf("%-58s %8s %8s %8s\n", "microseconds", "median", "p10", "p90");

    const xray::Detector si(xray::Material::Si), ge(xray::Material::Ge), cdte(xray::Material::CdTe);
    xray::FindOptions top10;
    top10.limit = 10;
    const xray::FindOptions all;
    // 400 energies spread over 0.1 .. 40 keV, one after the other.
    const auto sweep = [](int i) { return 100.0 + (i % 400) * 99.75; };

    row("find 6.4 keV, Si, best 10 (as `zandor find 6.4keV`)", repeat,
        [&](int) { return xray::findLines(6400, si, top10).candidates.size(); });
    row("find 6.4 keV, Si, all within 1 FWHM", repeat,
        [&](int) { return xray::findLines(6400, si, all).candidates.size(); });
    row("find 2.31 keV, Si, all within 1 FWHM", repeat,
        [&](int) { return xray::findLines(2310, si, all).candidates.size(); });
    row("find 0.1 .. 40 keV, Si, all within 1 FWHM", repeat,
        [&](int i) { return xray::findLines(sweep(i), si, all).candidates.size(); });
    row("find 0.1 .. 40 keV, Ge, all within 1 FWHM", repeat,
        [&](int i) { return xray::findLines(sweep(i), ge, all).candidates.size(); });
    row("find 0.1 .. 40 keV, CdTe, all within 1 FWHM", repeat,
        [&](int i) { return xray::findLines(sweep(i), cdte, all).candidates.size(); });
    xray::FindOptions known = all;
    known.elements = {26, 29, 22, 8, 6};
    row("find 0.1 .. 40 keV, Si, sums of Fe, Cu, Ti, O, C", repeat,
        [&](int i) { return xray::findLines(sweep(i), si, known).candidates.size(); });
    xray::FindOptions every = all;
    for (int Z = xray::FirstLineZ; Z <= xray::LastLineZ; ++Z)
        every.elements.push_back(Z);
    row("find 0.1 .. 40 keV, Si, sums of all 94 elements", std::max(1, repeat / 20),
        [&](int i) { return xray::findLines(sweep(i), si, every).candidates.size(); });
    row("parseEnergy(\"6.4 keV\")", repeat,
        [&](int) { return std::size_t(xray::parseEnergy("6.4 keV").eV.value_or(0)); });
    row("parseElement(\"cf\")", repeat, [&](int) { return std::size_t(xray::parseElement("cf").value_or(0)); });
    row("linesOf(Pb) and escapes of each line, Si", repeat, [&](int) {
        std::size_t n = 0;
        for (const xray::Line &line : xray::linesOf(82))
            n += std::size_t(si.escapes(line.energy_eV).count);
        return n;
    });
    return 0;
}
