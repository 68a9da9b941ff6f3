// zandor-bench-measured [DIR] [--verbose | --markdown]: automatic
// identification on the measured spectra of known composition
// (bench/measured, or DIR with spectra/ and truth.json): per spectrum that
// falls short, what was found, the major elements missing and the false
// ones; with --verbose every spectrum, with --markdown every spectrum as a
// row of a Markdown table with its time; then the totals and the median
// time of one identification.
#include "measuredscore.h"

#include "xray/elements.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef ZANDOR_MEASURED_DIR
#define ZANDOR_MEASURED_DIR "bench/measured"
#endif

namespace {

std::string list(const std::vector<int> &zs, const std::vector<identify::Confidence> *confidence = nullptr)
{
    std::string text;
    for (std::size_t i = 0; i < zs.size(); ++i) {
        text += (i ? " " : "") + std::string(xray::elementSymbol(zs[i]));
        if (confidence)
            text += " (" + std::string(identify::confidenceName((*confidence)[i])) + ")";
    }
    return text.empty() ? "-" : text;
}

} // namespace

int main(int argc, char **argv)
{
    std::string dir = ZANDOR_MEASURED_DIR;
    bool verbose = false, markdown = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--verbose"))
            verbose = true;
        else if (!std::strcmp(argv[i], "--markdown"))
            markdown = true;
        else if (argv[i][0] == '-') {
            std::fprintf(stderr, "zandor-bench-measured: unknown option '%s'\n", argv[i]);
            return 2;
        } else
            dir = argv[i];
    }
    const std::vector<measured::Truth> truth = measured::loadTruth(dir + "/truth.json");
    if (truth.empty()) {
        std::fprintf(stderr, "zandor-bench-measured: '%s/truth.json': no spectra\n", dir.c_str());
        return 1;
    }
    int majors = 0, found = 0, falseCount = 0, spectraWithFalse = 0, errors = 0;
    int byConfidence[3] = {0, 0, 0};
    std::vector<double> times;
    if (markdown)
        std::printf("| spectrum | found | major missing | false | ms |\n|---|---|---|---|---|\n");
    for (const measured::Truth &t : truth) {
        const measured::Score s = measured::score(dir + "/spectra", t);
        if (!s.readable) {
            ++errors;
            std::printf("FAIL  %s: not identified\n", t.file.c_str());
            continue;
        }
        times.push_back(s.seconds);
        const int m = measured::majors(t);
        majors += m;
        found += m - int(s.missing.size());
        falseCount += int(s.falseElements.size());
        spectraWithFalse += !s.falseElements.empty();
        for (const identify::Confidence c : s.falseConfidence)
            ++byConfidence[int(c)];
        const bool ok = s.missing.empty() && s.falseElements.empty();
        if (markdown)
            std::printf("| `%s` | %s | %s | %s | %.1f |\n", t.file.c_str(), list(s.found).c_str(), list(s.missing).c_str(),
                        list(s.falseElements, &s.falseConfidence).c_str(), s.seconds * 1000);
        else if (!ok || verbose)
            std::printf("%s %s: found %s; missing %s; false %s\n", ok ? "ok   " : "SHORT", t.file.c_str(),
                        list(s.found).c_str(), list(s.missing).c_str(),
                        list(s.falseElements, &s.falseConfidence).c_str());
    }
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0 : times[times.size() / 2];
    if (markdown)
        std::printf("\n");
    std::printf("measured spectra: %zu; majors found %d/%d; false elements %d in %d spectra (certain %d, probable %d, "
                "possible %d); errors %d; median %.1f ms an identification\n",
                truth.size(), found, majors, falseCount, spectraWithFalse, byConfidence[0], byConfidence[1],
                byConfidence[2], errors, median * 1000);
    return errors ? 1 : 0;
}
