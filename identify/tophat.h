// A top-hat filter whose widths follow the detector's resolution: at each
// bin, the mean of a central window one FWHM wide minus the mean of two side
// windows, each half as wide, on either side of it. Its weights add up to
// zero, so a background that is straight over the window gives 0, and a
// peak gives a positive response with negative lobes beside it.
#pragma once

#include "workgrid.h"

#include "xray/detector.h"

#include <vector>

namespace identify {

class TopHat {
public:
    TopHat(const WorkGrid &grid, const xray::Detector &detector);

    // The filtered signal at each bin, and its standard deviation when the
    // signal's variance per bin is `variance`; both 0 at bins whose windows
    // do not fit inside the grid.
    struct Output {
        std::vector<double> value;
        std::vector<double> sigma;
    };
    Output apply(const std::vector<double> &signal, const std::vector<double> &variance) const;

    // The filter applied to a signal that is zero outside bins first ..
    // first + values.size() - 1: its nonzero stretch, from *outFirst.
    std::vector<double> applyLocal(const std::vector<double> &values, std::size_t first,
                                   std::size_t &outFirst) const;

    // The filter with its weights taken as positive: how far an error that
    // has one sign over the filter's windows moves the filtered value.
    std::vector<double> spread(const std::vector<double> &signal) const;
    // The same for a signal that is zero outside bins first ..
    // first + values.size() - 1 (as applyLocal).
    std::vector<double> spreadLocal(const std::vector<double> &values, std::size_t first, std::size_t &outFirst) const;
    // Both at once: the filtered values and their spread, from the same
    // first bin.
    void applyAndSpreadLocal(const std::vector<double> &values, std::size_t first, std::vector<double> &filtered,
                             std::vector<double> &spread, std::size_t &outFirst) const;

    // The filter's response at bin i to a Gaussian peak of unit area centred
    // there, of the detector's FWHM at that bin.
    double response(std::size_t i) const;

    // How much a least-squares fit of filtered peaks overrates its own
    // precision at bin i when it treats the filtered bins as independent
    // (they are not: each shares counts with its neighbours): the true
    // variance of the amplitude of a peak of the detector's width, fitted
    // with weights 1/sigma^2, over the variance the fit believes. Dividing
    // the weights by it makes chi-square differences count as they would
    // for independent data. About half the FWHM in bins, at least 1.
    double correlation(std::size_t i) const;

    // The central window's half-width (it covers i - half .. i + half) and
    // each side window's width, in bins.
    int half(std::size_t i) const { return half_[i]; }
    int side(std::size_t i) const { return side_[i]; }
    // The detector's FWHM at bin i, in bins.
    double fwhmBins(std::size_t i) const { return fwhm_[i]; }
    bool fits(std::size_t i) const;

private:
    std::vector<double> local(const std::vector<double> &values, std::size_t first, std::size_t &outFirst,
                              double sideSign) const;
    std::vector<int> half_, side_;
    std::vector<double> fwhm_;
    std::vector<double> correlation_;
};

// Poisson variance per bin for the filter: the counts, at least 1 (a bin
// that counted nothing does not prove a background of zero).
std::vector<double> poissonVariance(const std::vector<double> &counts);

} // namespace identify
