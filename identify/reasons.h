// Why identification decided as it did, for each element and each peak it
// could not explain: a kind, with the elements, lines and energies it names,
// for a reader to word in its own language. reasonText words one in English,
// as the command line prints it.
#pragma once

#include "xray/types.h"

#include <string>
#include <vector>

namespace identify {

// A peak of an element's lines: named by its strongest line (null where
// none is named), at the energy of the peak (lines closer than half a FWHM
// make one peak, at their mean energy).
struct LinePeak {
    const xray::Line *line = nullptr;
    double energy_eV = 0;
};

// A candidate element that was not taken for a peak, and why.
struct Rival {
    enum class Kind {
        FitsLessWell,     // it passed, but the element taken fits better
        Missing,          // its strong partner `peak` is missing from the spectrum
        NotSeen,          // its hard line `peak`, which must show, is not seen
        FitsPoorly,       // it explains too little of the peak
        ExplainedAlready, // the elements found explain the peak as well
    };
    Kind kind = Kind::FitsPoorly;
    int Z = 0;
    LinePeak peak = {}; // Missing, NotSeen
};

// How an element came to be found.
struct ElementReason {
    enum class Kind {
        None,            // nothing recorded
        Required,        // required (known present): in the model from the start
        RequiredUnseen,  // required, and its lines are not seen
        Explains,        // taken for the peak at peak_eV
    };
    Kind kind = Kind::None;
    // Explains: the peak, the element's line there (null where none is
    // named), its other peaks that show (the strongest few, by energy), and
    // the other candidates for the peak (the first few: those that fit less
    // well, then those refused, in the order they were tried).
    double peak_eV = 0;
    const xray::Line *line = nullptr;
    std::vector<LinePeak> partners = {};
    std::vector<Rival> rivals = {};
};

// Why a peak was left unexplained.
struct PeakReason {
    enum class Kind {
        None,            // the peak is explained
        BelowLines,      // below energy_eV, in the noise peak's reach, where no line is looked for
        Rayleigh,        // the beam scattered by the sample, at the beam energy
        Compton,         // the beam scattered by the sample, below the beam energy
        TooWide,         // wider than a line: the continuum's shape, or scattered radiation
        NoLineFits,      // no element has a line there that fits
        Refused,         // every candidate was refused: `rivals`, the first few
        NotExplained,    // no element found explains it
        PartlyExplained, // the elements found explain only part of it
        Internal,        // `line` of the detector's own material (internal fluorescence)
        TubeRayleigh,    // the tube's `line` scattered by the sample, at its own energy
        TubeCompton,     // the tube's `line` scattered by the sample, below it
    };
    Kind kind = Kind::None;
    double energy_eV = 0;
    std::vector<Rival> rivals = {};
    const xray::Line *line = nullptr; // Internal, TubeRayleigh, TubeCompton
    bool escape = false;              // the escape peak of that line, not the line
};

// In English, as the command line prints them: "the peak at 1.49 keV is its
// Ka1, with Kb1 at 1.56 keV; rather than Br (fits less well)", "below
// 0.15 keV, in the noise peak's reach, where no line is looked for"; empty
// for None.
std::string reasonText(const ElementReason &reason);
std::string reasonText(const PeakReason &reason);
// "Yb (its Mg at 1.76 keV is missing)"
std::string reasonText(const Rival &rival);
// An energy as these texts (and the notes) write it: "1.49 keV".
std::string keVText(double energy_eV);

} // namespace identify
