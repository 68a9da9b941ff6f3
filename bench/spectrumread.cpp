// zandor-spectrumread: how long the spectrum readers take, as medians.
//
//   zandor-spectrumread [--runs N] [--write-samples DIR]
//
// Makes spectra in memory (made-up counts in the shape of an EDS spectrum:
// a falling background and a few peaks), in each format, with 4096 and with
// 1,048,576 channels, and times reading them: readBytes on the bytes in
// memory, and readFile on the same bytes written to a temporary file (the
// page cache is warm). Each row is run N times (200 by default for 4096
// channels, N/20 but at least 5 for the large ones) after one run not
// counted, and prints the median with the 10th and 90th percentiles.
// --write-samples writes the files into DIR instead, for timing `zandor
// info` with zandor-processtime. Plain C++: no Qt.
#include "spectrum/emsa.h"
#include "spectrum/read.h"
#include "spectrum/write.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

spectrum::Spectrum madeUp(std::size_t channels)
{
    spectrum::Spectrum s;
    s.counts.resize(channels);
    const double scale = 4096.0 / double(channels);
    for (std::size_t i = 0; i < channels; ++i) {
        const double x = double(i) * scale; // as if in a 4096-channel spectrum
        double c = 20000.0 * std::exp(-x / 600.0) + 50.0;
        for (const double centre : {350.0, 1280.0, 1410.0, 1600.0, 3000.0})
            c += 8000.0 * std::exp(-0.5 * std::pow((x - centre) / 12.0, 2));
        s.counts[i] = std::round(c * scale);
    }
    s.calibration = spectrum::Calibration{-480.14, 5.0025 * scale};
    s.meta.title = "made-up EDS spectrum";
    s.meta.liveTime_s = 100.0;
    s.meta.realTime_s = 123.4;
    s.meta.beam_kV = 20.0;
    return s;
}

std::string asText(const spectrum::Spectrum &s)
{
    std::string out = "Energy (keV)\tCounts\n";
    char line[64];
    for (std::size_t i = 0; i < s.counts.size(); ++i) {
        const int n = std::snprintf(line, sizeof line, "%.6f\t%.0f\n", s.calibration->energy_eV(double(i)) / 1000.0,
                                    s.counts[i]);
        out.append(line, std::size_t(n));
    }
    return out;
}

std::string asSpx(const spectrum::Spectrum &s)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"WINDOWS-1252\" standalone=\"yes\"?>\r\n<TRTSpectrum>\r\n"
                      "<ClassInstance Type=\"TRTSpectrum\" Name=\"made-up\">\r\n<TRTHeaderedClass>\r\n"
                      "<ClassInstance Type=\"TRTSpectrumHardwareHeader\"><RealTime>123400</RealTime>"
                      "<LifeTime>100000</LifeTime></ClassInstance>\r\n</TRTHeaderedClass>\r\n"
                      "<ClassInstance Type=\"TRTSpectrumHeader\"><ChannelCount>" +
                      std::to_string(s.counts.size()) +
                      "</ChannelCount><CalibAbs>-0.48014</CalibAbs><CalibLin>0.0050025</CalibLin></ClassInstance>\r\n"
                      "<Channels>";
    for (std::size_t i = 0; i < s.counts.size(); ++i) {
        if (i)
            out += ',';
        out += std::to_string(static_cast<long long>(s.counts[i]));
    }
    return out + "</Channels>\r\n</ClassInstance>\r\n</TRTSpectrum>\r\n";
}

std::string asCounts(const spectrum::Spectrum &s)
{
    std::string out = "# counts\n";
    for (double c : s.counts)
        out += std::to_string(static_cast<long long>(c)) + '\n';
    return out;
}

void row(const char *name, int runs, const std::function<bool()> &work)
{
    using clock = std::chrono::steady_clock;
    if (!work()) {
        std::printf("%-44s FAILED\n", name);
        return;
    }
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[std::size_t(q * double(ms.size() - 1) + 0.5)]; };
    std::printf("%-44s %9.3f ms  (p10 %.3f, p90 %.3f, %d runs)\n", name, at(0.5), at(0.1), at(0.9), runs);
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 200;
    std::string samples;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--write-samples" && i + 1 < argc) {
            samples = argv[++i];
        } else {
            std::fprintf(stderr, "usage: zandor-spectrumread [--runs N] [--write-samples DIR]\n");
            return 2;
        }
    }

    struct Sample {
        std::string name;
        std::string bytes;
    };
    std::vector<Sample> all;
    for (const std::size_t channels : {std::size_t(4096), spectrum::MaxChannels}) {
        const spectrum::Spectrum s = madeUp(channels);
        const std::string size = std::to_string(channels);
        all.push_back({"emsa-" + size + ".msa", spectrum::emsaText(s)});
        all.push_back({"spx-" + size + ".spx", asSpx(s)});
        all.push_back({"text-" + size + ".txt", asText(s)});
        all.push_back({"counts-" + size + ".txt", asCounts(s)});
    }

    if (!samples.empty()) {
        for (const Sample &sample : all) {
            const std::string path = samples + "/" + sample.name;
            if (const auto error = spectrum::writeFileAtomically(path, sample.bytes)) {
                std::fprintf(stderr, "zandor-spectrumread: %s: %s\n", path.c_str(), error->message().c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
        }
        return 0;
    }

    char directory[] = "/tmp/zandor-spectrumread-XXXXXX";
    if (!::mkdtemp(directory)) {
        std::perror("zandor-spectrumread: temporary directory");
        return 1;
    }
    for (const Sample &sample : all) {
        const bool large = sample.name.find("4096") == std::string::npos;
        const int n = large ? std::max(5, runs / 20) : runs;
        const std::string path = std::string(directory) + "/" + sample.name;
        if (spectrum::writeFileAtomically(path, sample.bytes))
            return 1;
        const std::string memory = "readBytes " + sample.name + " (" + std::to_string(sample.bytes.size() >> 10) + " KB)";
        row(memory.c_str(), n, [&] { return spectrum::readBytes(sample.bytes).ok(); });
        const std::string file = "readFile  " + sample.name;
        row(file.c_str(), n, [&] { return spectrum::readFile(path).ok(); });
        ::unlink(path.c_str());
    }
    ::rmdir(directory);
    return 0;
}
