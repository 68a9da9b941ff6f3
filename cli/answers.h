// What the sub-commands answer, for front ends other than the command line
// (the Python module). The command line runs these same functions after
// reading its arguments, so a front end that calls them gets the same
// checks, the same messages and the same JSON as `--json` by construction.
//
// A value comes as text with the name it was given by ("--fwhm" on the
// command line, "fwhm_eV" in Python), and a bad one throws a UsageError
// whose message names it so.
#pragma once

#include "json.h"

#include "identify/identify.h"
#include "identify/mapmodel.h"
#include "xray/detector.h"
#include "xray/finder.h"
#include "xray/types.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// A value as given, and the name it was given by.
struct NamedValue {
    std::string name;
    std::string text;
};

// `zandor lines EL --json`'s "lines": the element's lines, K, L then M, or
// those of one family. ("edges" is edgesJson, xrayformat.h.)
Json linesJson(int Z, std::optional<xray::Family> family = std::nullopt);

// `zandor find`: what it is asked.
struct FindValues {
    NamedValue energy;
    std::optional<NamedValue> detector, fwhm, tolerance, beam, elements, limit;
};

struct FindQuery {
    double energy_eV = 0;
    xray::Detector detector;
    xray::FindOptions options;
    std::vector<std::string> elementSymbols; // as the JSON echoes them
};

// How many candidates are shown unless the limit says otherwise.
inline constexpr std::size_t DefaultFindLimit = 10;

// The query the values make; throws UsageError for a bad one.
FindQuery findQuery(const FindValues &values);
// The answer: {"query": {...}, "candidates": [...]}.
Json findJson(const FindQuery &query);

// `zandor identify`: its options.
struct IdentifyValues {
    std::optional<NamedValue> detector, fwhm, beam, exclude, require, allow, tube;
    bool xrf = false;
};

// The options the values make; throws UsageError for a bad one.
identify::IdentifyOptions identifyOptions(const IdentifyValues &values);
// One spectrum's answer: {"file", "detector", "fwhm_eV", "beam_kV",
// "elements", "peaks"}; file null when the counts came from no file.
Json identificationJson(const std::optional<std::string> &file, const identify::Identification &id);

// `zandor map`: its options.
struct MapValues {
    std::optional<NamedValue> detector, fwhm, beam, elements, threads;
};

// The most threads a fit may be given.
inline constexpr unsigned MaxThreads = 1024;

// The map options the values make (elements none or "auto": those
// identified in the sum spectrum); throws UsageError for a bad one.
identify::MapOptions mapOptions(const MapValues &values);
// The threads asked for, 0 for every core; throws UsageError for a bad
// number.
unsigned threadsValue(const NamedValue &threads);
// Why an image without a calibration cannot be mapped, naming its file.
std::string uncalibratedImageMessage(const std::string &file);

} // namespace cli
