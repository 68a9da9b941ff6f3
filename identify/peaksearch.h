// Finding the peaks of a spectrum: a top-hat filter matched to the
// detector's resolution, judged against Poisson noise.
#pragma once

#include "spectrum/spectrum.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <vector>

namespace identify {

struct Peak {
    double energy_eV = 0;    // centroid
    double netCounts = 0;    // the peak's area above the continuum
    double fwhm_eV = 0;      // its measured width; 0 where it could not be measured
    double significance = 0; // the filtered height over its Poisson standard deviation
    bool zero = false;       // the detector's noise peak at zero energy
};

// A peak is reported where the filtered spectrum has a maximum at least
// this many standard deviations above zero. Why not 3: a spectrum of 20 keV
// holds some 150 resolution elements, and the filtered noise has a maximum
// every few channels, each a chance for the noise to pass the threshold;
// the maxima of correlated noise also reach further than single values. On
// flat Poisson spectra of 2048 channels (0.5 to 500 counts a channel, 200
// seeds each) a noise peak passed 4 sigma in 3 to 4.5 % of the spectra,
// 4.5 sigma in 1 to 1.5 %, 5 sigma in none of 800; at 3 sigma most spectra
// would show one. A line of a few hundred counts on an ordinary continuum
// still passes 5 sigma.
inline constexpr double PeakThreshold = 5.0;

// Peaks below this energy are the noise peak: three quarters of the
// detector's FWHM at 0 eV (its electronic noise), where no X-ray line lies.
double zeroPeakLimit_eV(const xray::Detector &detector);

// The peaks of a calibrated spectrum, by energy. An uncalibrated spectrum
// has none.
std::vector<Peak> findPeaks(const spectrum::Spectrum &spectrum, const xray::Detector &detector);

// The same on a work grid with its continuum (snipBackground); energies
// and counts as the grid holds them (counts not scaled back).
std::vector<Peak> findPeaks(const WorkGrid &grid, const std::vector<double> &background,
                            const xray::Detector &detector);

} // namespace identify
