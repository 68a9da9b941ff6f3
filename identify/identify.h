// Automatic identification: which elements a spectrum shows, which of its
// peaks are artefacts of the detector, and why. Plain C++, no Qt.
//
// How it decides (docs/identification.md has the detail; the numbers it
// was tuned with are in settings.h):
//  1. The peaks are found with a top-hat filter matched to the detector's
//     resolution (peaksearch.h); the FWHM is estimated from them when not
//     given (resolution.h); the continuum is clipped away (background.h).
//  2. The strongest peak no accepted element explains is taken first
//     (search.h). The elements with a line there (xray::findLines) are each
//     fitted with all their lines excited at the beam energy, their
//     relative intensities and escape peaks, spread to the detector's
//     resolution, the families and subshells of one element tied within
//     tolerances (patterns.h); a candidate whose strong partner lines are
//     missing is refused (checks.h), and of the others the one that
//     improves the fit most is accepted, if it explains the peak.
//  3. Before any peak can be taken for a new element, the sum peaks of the
//     elements accepted so far are tried on it (their escape peaks are part
//     of each element's pattern).
//  4. Repeated until every significant peak is explained or has been tried;
//     then an element that the others make unnecessary, or whose peaks all
//     lie in the shadow of stronger ones, is dropped.
//  5. The detector's response (the calibration's error, the resolution, the
//     tails of incomplete charge collection) is measured on the peaks the
//     elements found make (refineresponse.h), and everything is done again
//     with it where it moves the model. The peaks are then named and the
//     elements described (explain.h).
// Every fit carries the detector's own peaks too: its noise peak, the
// continuum's steps at its window's edges, its internal fluorescence, and
// under X-rays the tube's lines scattered by the sample (artefacts.cpp).
#pragma once

#include "peaksearch.h"
#include "reasons.h"
#include "response.h"
#include "spectrum/result.h"
#include "spectrum/spectrum.h"

#include "xray/detector.h"
#include "xray/types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace identify {

struct IdentifyOptions {
    xray::Material material = xray::Material::Si;
    // The detector's FWHM at Mn K-alpha. Without it: the file's, else an
    // estimate from the spectrum's peaks, else the material's usual one.
    std::optional<double> fwhmMnKa_eV;
    // The beam (or tube) energy, kV. Without it, the file's; without that,
    // every line counts as excited.
    std::optional<double> beam_kV;
    // Excited by X-rays (fluorescence), whatever the file's signal type says:
    // for files that cannot say (text, counts).
    bool xrf = false;
    std::vector<int> exclude; // never proposed
    std::vector<int> require; // known present (a coating, a grid): always in the model
    std::vector<int> allow;   // proposed although rare in ordinary samples (rareElement)
    // Under X-rays, the tube's anode, whose lines the sample scatters;
    // without it, UsualTube's (settings.h).
    std::optional<int> tube;
    // The fitting work the search may do, in multiply-adds: past it the
    // search stops with a note, and the resolution is refined only after a
    // search of at most an eighth of it. The default suits every real
    // spectrum (settings.h, MaxWork); the fuzz target gives far less, to
    // try many random spectra a second. 0 (or not a number): no search.
    double maxWork = 4e7;
    // False: no element is looked for; the required ones alone are fitted
    // (with the detector's own peaks) and described. What element maps of
    // elements the user names need (mapmodel.h).
    bool searchElements = true;
};

// Elements that ordinary samples do not hold, proposed only when allowed:
// Tc, Pm, Po to Ac, Pa and Np to Cf (no stable isotope, or made in
// reactors), and the noble gases but argon (air's argon shows in many
// spectra; the others only in gas inclusions and implants).
bool rareElement(int Z);

enum class Confidence { Certain, Probable, Possible };
// "certain", "probable", "possible"
std::string_view confidenceName(Confidence confidence);

enum class AssignmentKind { Line, Escape, Sum, Zero, Unexplained };
// "line", "escape", "sum", "zero", "unexplained"
std::string_view assignmentKindName(AssignmentKind kind);

struct Assignment {
    AssignmentKind kind = AssignmentKind::Unexplained;
    const xray::Line *line = nullptr;         // a line; an escape's parent; a sum's lower line
    const xray::Line *second = nullptr;       // a sum's other line
    const xray::EscapeLine *escape = nullptr; // the detector line that escaped
};

struct IdentifiedPeak {
    Peak peak;
    Assignment assignment;
    // The part of the peak's counts (within half a FWHM of it) that the
    // model explains.
    double explained = 0;
    // For a peak left unexplained: why (what was tried).
    PeakReason reason;
};

struct IdentifiedElement {
    int Z = 0;
    Confidence confidence = Confidence::Possible;
    bool required = false;
    // How much worse the fit is without it, as a number of standard
    // deviations: the square root of the rise in chi-square.
    double significance = 0;
    // Its lines that explain peaks, by energy.
    std::vector<const xray::Line *> lines;
    // How it was decided.
    ElementReason reason;
};

// Something said about an identification as a whole: its kind, with the
// numbers it names, for a reader to word; and the sentence in English,
// without a full stop, as the command line prints it.
struct Note {
    enum class Kind {
        NoBeam,         // no beam energy: every line counts as excited
        TooFewChannels, // no peaks: too few channels in the X-ray range
        NoCounts,       // no peaks: the spectrum holds no counts
        Scaled,         // counts above 1e15 scaled down
        Summed,         // channels summed in groups of `number`
        Xrf,            // X-ray fluorescence: families weighed freely
        Flat,           // no peaks: nothing stands out from the noise
        Stopped,        // stopped after `number` elements, `rounds` peaks tried
        WindowEdge,     // the rise at energy_eV is the step at element Z's edge
        Unexplained,    // `number` peaks left unexplained
    };
    Kind kind = Kind::Unexplained;
    std::string text;
    int number = 0;
    int rounds = 0;
    double energy_eV = 0;
    int Z = 0;
};

struct Identification {
    xray::Material material = xray::Material::Si;
    double fwhmMnKa_eV = 0;
    enum class FwhmSource { Given, File, Estimated, Usual };
    FwhmSource fwhmSource = FwhmSource::Usual;
    std::optional<double> beam_kV;
    bool beamFromFile = false;
    // The detector's response as the spectrum's own peaks measured it
    // (refineresponse.h): how far the file's calibration is off, the tail;
    // `responsePeaks` peaks gave it (0: none, the usual response).
    Response response;
    int responsePeaks = 0;
    std::vector<IdentifiedElement> elements; // most significant first
    std::vector<IdentifiedPeak> peaks;       // by energy
    std::vector<Note> notes;
};

// Identifies the elements of a calibrated spectrum. Refused, with a reason,
// when the spectrum is not calibrated. An empty, flat or all-zero spectrum
// gives no elements and a note.
spectrum::Result<Identification> identify(const spectrum::Spectrum &spectrum, const IdentifyOptions &options = {});

struct FinalFit;
// The same, and when `finalFit` is given, the model fitted last, as plain
// data (finalfit.h): what the element maps are made from. Left empty when
// the spectrum gives nothing to fit (no counts, too few channels, flat).
spectrum::Result<Identification> identify(const spectrum::Spectrum &spectrum, const IdentifyOptions &options,
                                          FinalFit *finalFit);

} // namespace identify
