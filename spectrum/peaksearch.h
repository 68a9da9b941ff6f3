// Finding the peaks of a spectrum: a top-hat filter matched to the
// detector's resolution, judged against Poisson noise.
#pragma once

#include "spectrum.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <vector>

namespace spectrum {

struct Peak {
    double energy_eV = 0;    // centroid
    double netCounts = 0;    // the peak's area above the continuum
    double fwhm_eV = 0;      // its measured width; 0 where it could not be measured
    double significance = 0; // the filtered height over its Poisson standard deviation
    bool zero = false;       // the detector's noise peak at zero energy
};

// A peak is reported where the filtered spectrum has a maximum at least
// this many standard deviations above zero. Why not 3: a spectrum of 20 keV
// holds some 150 independent resolution elements, and the filtered noise has
// about as many maxima; at 3 sigma (one-sided 0.13 %) every fifth spectrum
// would show a peak that is not there, and Poisson tails at low counts are
// heavier than the normal one. At 4 sigma (3e-5) one false peak comes in
// some 200 spectra, while a line of a few hundred counts on an ordinary
// background still shows.
inline constexpr double PeakThreshold = 4.0;

// Peaks below this energy are the noise peak: three quarters of the
// detector's FWHM at 0 eV (its electronic noise), where no X-ray line lies.
double zeroPeakLimit_eV(const xray::Detector &detector);

// The peaks of a calibrated spectrum, by energy. An uncalibrated spectrum
// has none.
std::vector<Peak> findPeaks(const Spectrum &spectrum, const xray::Detector &detector);

// The same on a work grid with its continuum (snipBackground); energies
// and counts as the grid holds them (counts not scaled back).
std::vector<Peak> findPeaks(const WorkGrid &grid, const std::vector<double> &background,
                            const xray::Detector &detector);

} // namespace spectrum
