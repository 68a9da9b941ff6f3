// Finding the peaks of a spectrum: a top-hat filter matched to the
// detector's resolution, judged against Poisson noise.
#pragma once

#include "spectrum/spectrum.h"
#include "settings.h"
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

// Peaks below this energy are the noise peak: three quarters of the
// detector's FWHM at 0 eV (its electronic noise), where no X-ray line lies.
double zeroPeakLimit_eV(const xray::Detector &detector);

// The peaks of a calibrated spectrum, by energy: the maxima of the filtered
// spectrum at least PeakThreshold (settings.h) standard deviations above
// zero. An uncalibrated spectrum has none.
std::vector<Peak> findPeaks(const spectrum::Spectrum &spectrum, const xray::Detector &detector);

// The same on a work grid with its continuum (snipBackground); energies
// and counts as the grid holds them (counts not scaled back).
std::vector<Peak> findPeaks(const WorkGrid &grid, const std::vector<double> &background,
                            const xray::Detector &detector);

} // namespace identify
