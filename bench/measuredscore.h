// Scoring identification on measured spectra of known composition
// (bench/measured): each spectrum must show every element of 5 wt % or more
// (Z >= 5; every listed element where no mass fraction is given) and
// nothing outside its composition, carbon and oxygen allowed in every EDS
// spectrum (coating, contamination, native oxide), the tube's Rh and air's
// Ar in XRF, and the spectrum's own also_allowed list. Shared by the
// benchmark (zandor-bench-measured) and the test that holds identification
// to its figures. Plain C++ over the cores.
#pragma once

#include "identify/identify.h"
#include "spectrum/read.h"
#include "xray/elements.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace measured {

struct Truth {
    std::string file;                          // name in spectra/
    bool xrf = false;
    std::map<int, std::optional<double>> composition; // Z -> wt %, or nothing where only the element is known
    std::set<int> alsoAllowed;
};

// The corpus's truth.json; empty when it cannot be read.
inline std::vector<Truth> loadTruth(const std::string &path)
{
    std::vector<Truth> out;
    std::ifstream in(path);
    if (!in)
        return out;
    const nlohmann::json all = nlohmann::json::parse(in, nullptr, false);
    if (!all.is_object())
        return out;
    for (const auto &[file, t] : all.items()) {
        Truth truth;
        truth.file = file;
        truth.xrf = t.value("mode", std::string("EDS")) == "XRF";
        for (const auto &[symbol, wt] : t.at("composition_wt_percent").items())
            if (const auto Z = xray::parseElement(symbol))
                truth.composition[*Z] = wt.is_number() ? std::optional<double>(wt.get<double>()) : std::nullopt;
        for (const auto &symbol : t.value("also_allowed", nlohmann::json::array()))
            if (const auto Z = xray::parseElement(symbol.get<std::string>()))
                truth.alsoAllowed.insert(*Z);
        out.push_back(std::move(truth));
    }
    return out;
}

struct Score {
    std::vector<int> found, missing, falseElements;
    std::vector<identify::Confidence> falseConfidence;
    double seconds = 0;
    bool readable = true;
};

// Identifies one spectrum of the corpus (spectraDir/truth.file) and scores it.
inline Score score(const std::string &spectraDir, const Truth &truth)
{
    Score s;
    const auto spectrum = spectrum::readFile(spectraDir + "/" + truth.file);
    if (!spectrum) {
        s.readable = false;
        return s;
    }
    identify::IdentifyOptions options;
    if (truth.xrf) {
        options.xrf = true;
        options.beam_kV = 50;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto id = identify::identify(spectrum.value(), options);
    s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!id) {
        s.readable = false;
        return s;
    }
    std::set<int> allowed = truth.alsoAllowed;
    for (const auto &[Z, wt] : truth.composition)
        allowed.insert(Z);
    for (const int Z : truth.xrf ? std::vector<int>{45, 18} : std::vector<int>{6, 8})
        allowed.insert(Z);
    std::set<int> found;
    for (const identify::IdentifiedElement &e : id->elements) {
        found.insert(e.Z);
        s.found.push_back(e.Z);
        if (!allowed.count(e.Z)) {
            s.falseElements.push_back(e.Z);
            s.falseConfidence.push_back(e.confidence);
        }
    }
    for (const auto &[Z, wt] : truth.composition)
        if (Z >= 5 && (!wt || *wt >= 5) && !found.count(Z))
            s.missing.push_back(Z);
    return s;
}

// Majors (5 wt % or more) in a spectrum's composition.
inline int majors(const Truth &truth)
{
    int n = 0;
    for (const auto &[Z, wt] : truth.composition)
        n += Z >= 5 && (!wt || *wt >= 5);
    return n;
}

} // namespace measured
