// Synthetic EDS and XRF spectra with a known truth, for testing and
// measuring automatic identification. Plain C++ over the X-ray and spectrum
// cores; the same recipe and seed give the same counts on every platform.
//
// What a spectrum holds:
//   - every line of every element of the sample with its relative
//     intensity within its family, and the families weighed against each
//     other by excitation.h's model (electrons: overvoltage, fluorescence
//     yield, occupancy; tube photons: photoionisation), times the
//     detector's efficiency at the line; Gaussian at the detector's
//     resolution, integrated over each channel;
//   - the bremsstrahlung (Kramers: Zbar (E0 - E)/E per unit energy, Zbar the
//     mass-weighted atomic number) times the detector's efficiency; for XRF
//     instead, the tube's spectrum scattered by the sample;
//   - electrons: absorption in a bulk sample (xray/bulkabsorption.h, Philibert)
//     of every line and of the bremsstrahlung at its own energy, on the way
//     out at the take-off angle; unless thinSample;
//   - escape peaks (xray::Detector, Reed and Ware), taken from their parents;
//   - sum peaks of every pair of lines, a share `pileUp` of the counted
//     events being two photons together, with the widths of the two added
//     in quadrature;
//   - a noise peak at 0 eV;
//   - Poisson noise (Random, seeded).
// Left out: the atomic-number correction of a bulk sample (backscattered
// electrons, stopping power), secondary fluorescence, absorption in an XRF
// sample (XRF spectra are of a thin sample), incomplete charge collection
// (peak tails), pile-up with the continuum, the silicon
// internal-fluorescence peak, coincidence losses.
#pragma once

#include "detectormodel.h"

#include "spectrum/spectrum.h"
#include "xray/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

enum class Excitation { Electrons, Tube };

struct Constituent {
    int Z;
    double massFraction; // 0.05 is 5 wt %
};

struct Recipe {
    std::string title;
    std::vector<Constituent> sample; // normalised to add up to 1
    Excitation excitation = Excitation::Electrons;
    double beam_kV = 20;             // accelerating voltage; for XRF the tube's
    int anodeZ = 45;                 // XRF: the tube's anode (rhodium)
    double tubeWindow_g_cm2 = 23e-3; // XRF: the tube's beryllium window (125 um)
    DetectorModel detector = DetectorModel::typical(xray::Material::Si);
    std::size_t channels = 4096;
    double gain_eV = 10;
    double offset_eV = -100;
    double counts = 1e6;       // expected counts, the noise peak aside
    double continuum = 1;      // the bremsstrahlung (EDS) relative to ordinary
    double scatter = 1;        // XRF: the scattered tube spectrum relative to ordinary
    double scatterAngle_deg = 90;
    double takeOff_deg = 35;   // EDS: the detector's elevation above the sample's surface
    bool thinSample = false;   // EDS: no absorption in the sample (a thin film)
    double pileUp = 0.002;     // share of counted events that are two photons
    double zeroPeak = 0.005;   // the noise peak's counts, as a share of `counts`
    std::uint64_t seed = 1;
    bool recordResolution = false; // write the FWHM at Mn Ka into the spectrum
};

// What went into a spectrum: the expected counts of each peak.
struct TrueLine {
    const xray::Line *line;
    double counts; // in the peak at the line's energy, after its escapes left
};
struct TrueEscape {
    const xray::Line *parent;
    const xray::EscapeLine *escape;
    double energy_eV;
    double counts;
};
struct TrueSum {
    const xray::Line *first; // lower energy first
    const xray::Line *second;
    double energy_eV;
    double counts;
};

struct Truth {
    std::vector<Constituent> sample; // normalised
    // XRF: the tube's anode, whose lines the sample scatters into the
    // spectrum; 0 for EDS.
    int scatterZ = 0;
    std::vector<TrueLine> lines;     // sample and scattered anode lines
    std::vector<TrueEscape> escapes;
    std::vector<TrueSum> sums;
};

struct Synthetic {
    spectrum::Spectrum spectrum;
    Truth truth;
    std::vector<double> expected;   // noise-free counts per channel
    std::vector<double> background; // the continuum (or scattered continuum) alone
};

Synthetic generate(const Recipe &recipe);

// The expected counts per channel of one Gaussian peak of `counts` at
// energy_eV with that FWHM, added into `channels` (energy = offset + gain ×
// channel, each channel's width integrated), over ±6 sigma.
void addPeak(std::vector<double> &channels, double offset_eV, double gain_eV, double energy_eV, double fwhm_eV,
             double counts);

} // namespace synth
