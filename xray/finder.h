// The line finder: from an energy to the lines, escape peaks and sum peaks
// that can explain a peak there, ranked, each with the lines that would
// confirm it.
#pragma once

#include "detector.h"
#include "types.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace xray {

struct FindOptions {
    // Candidates lie within this distance of the energy; default 1 FWHM of
    // the detector at the energy.
    std::optional<double> tolerance_eV;
    // The beam energy (for electrons, the accelerating voltage in kV times
    // 1000): lines whose initial shell's edge lies at or above it are not
    // excited and left out, with their escapes and sums.
    std::optional<double> beam_eV;
    // Elements known to be present. Only their strong lines form sum peaks
    // (none without any), and the candidates made of their lines alone come
    // first. Elements outside the table are ignored.
    std::vector<int> elements;
    // At most this many candidates, the best; 0: all within the tolerance.
    std::size_t limit = 0;
    // The energy range of the spectrum: confirming lines lie within it
    // (and below the beam energy).
    double rangeMin_eV = 100.0;
    double rangeMax_eV = 40000.0;
    // Confirming lines have at least this relative intensity.
    double confirmMinRelative = 0.05;
    // Lines of at least this relative intensity form sum peaks.
    double sumMinRelative = 0.1;
};

enum class CandidateKind { Line, Escape, Sum };

struct Candidate {
    CandidateKind kind;
    double energy_eV; // where the candidate's peak lies
    double delta_eV;  // energy_eV minus the energy searched for
    // How well it explains a peak at the energy: the candidate's expected
    // size, times the height at that energy of a peak of the detector's
    // FWHM centred on the candidate. The size is the line's relative
    // intensity; for an escape the parent's relative intensity times the
    // escape fraction; for a sum the product of the two relative
    // intensities. 1 is the strongest line of a family, exactly at the
    // energy.
    double score;
    // The line; for an escape, the parent line; for a sum, its first (lower)
    // line.
    const Line *line;
    // True when every element of the candidate is among the options'
    // elements.
    bool known = false;
    // A known candidate within half the FWHM of the energy: it ranks before
    // all others. Further away, a known candidate ranks by its score like
    // any other, so that a known element's weak escape peak never goes
    // before an unknown element's line right at the energy.
    bool near = false;
    // A sum's second line; null otherwise.
    const Line *second = nullptr;
    // An escape's detector line and its expected size relative to the
    // parent; null and 0 otherwise.
    const EscapeLine *escape = nullptr;
    double fraction = 0.0;
    // The lines that would confirm it (confirmingLines).
    std::vector<const Line *> confirm = {};
};

// Relative height at distance delta of a Gaussian peak of that FWHM:
// exp(-4 ln 2 (delta / fwhm)^2); 1 at its centre, 1/2 at half the FWHM.
double peakShape(double delta_eV, double fwhm_eV);

struct FindResult {
    // Best first; at most options.limit of them (all when it is 0).
    std::vector<Candidate> candidates;
    // How many lay within the tolerance, before the limit.
    std::size_t withinTolerance = 0;
};

// The candidates for a peak at energy_eV, best first: those of the known
// elements (options.elements) within half the FWHM before the others; each
// group by score, then
// by distance, then line before escape before sum, then by atomic number and
// energy. Each carries its confirming lines. An energy that is not finite
// and above zero gives none.
FindResult findLines(double energy_eV, const Detector &detector, const FindOptions &options = {});

// The lines that would confirm a candidate: the lines of its element (of
// both for a sum) of relative intensity >= options.confirmMinRelative, excited
// at the beam energy, within the options' range, and at least one FWHM away
// from the candidate's energy, so that they form peaks of their own. For a
// line, the line itself is left out; for an escape, its parent counts.
// Strongest first: by relative intensity times the fluorescence yield of the
// main shell of the line's family (K, L3 or M5), which weighs the families
// of an element against each other; then by energy. Lines of one element
// closer together than half the FWHM make one peak: the strongest of them
// stands for all, and is left out with them when it lies under the
// candidate.
std::vector<const Line *> confirmingLines(const Candidate &candidate, const Detector &detector,
                                          const FindOptions &options = {});

} // namespace xray
