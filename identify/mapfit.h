// The fit of every pixel of a spectrum image with a map model (mapmodel.h):
// linear least squares with the model's fixed design, its amplitudes at
// least 0 (but the continuum's steps'), weighted alike in every pixel by the
// sum spectrum's weights.
//
// Because the design, the filter and the weights are the same for every
// pixel, so is the matrix of the normal equations: its factor is worked out
// once. The filter and the weights are folded into one projection per
// column (over the few channels where the column and the filter reach), so
// a pixel costs a few dot products over those channels and a small solve:
// its counts are never filtered. A pixel whose unconstrained solution has a
// negative amplitude is finished by Lawson and Hanson's active-set method,
// started from that solution.
#pragma once

#include "mapmodel.h"

#include "spectrum/result.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace identify {

class MapFit {
public:
    // Checks the model (checkMapModel) and works out the factor and the
    // projections. Columns that add nothing (no counts where the filter
    // fits) or that the others already make are left out: their
    // amplitudes are 0.
    static spectrum::Result<MapFit> prepare(const MapModel &model);

    std::size_t channels() const { return channels_; }
    // The maps: the model's elements, in its order.
    std::size_t elements() const { return elements_; }
    // The model's columns, and which of them are fitted.
    std::size_t columns() const { return columns_; }
    bool fitted(std::size_t column) const;

    // Fits `pixels` pixels, each channels() counts of T in a row, one pixel
    // after another, and writes element e's net counts in pixel p to
    // out[e * stride + p] (stride >= pixels). T is one of the integer types
    // of 8 to 64 bits, float or double. A pixel with a count that is not a
    // finite number gets NaN in every map. Safe to call from several threads
    // at once.
    template <class T> void fitPixels(const T *counts, std::size_t pixels, float *out, std::size_t stride) const;

    // One pixel's fit in full: the amplitude of every column of the model
    // (0 for those not fitted; an element's in net counts), and the counts
    // of each tied column's range: the model of the pixel is the sum of
    // amplitude × raw over the columns and of counts × raw over the tied.
    struct PixelFit {
        std::vector<double> amplitudes;
        std::vector<double> tiedCounts;
    };
    template <class T> PixelFit fitPixel(const T *counts) const;

private:
    struct Segment {
        std::uint32_t column; // fitted position
        std::uint32_t channel;
        std::uint32_t count;
        std::size_t offset; // into coefficients_
    };
    struct Range {
        std::size_t from, to; // channels
    };
    struct Scratch;

    template <class T> bool project(const T *counts, double *g, double *sums, double *buffer) const;
    void solve(const double *g, double *x, Scratch &scratch) const;

    std::size_t channels_ = 0, elements_ = 0, columns_ = 0, k_ = 0;
    std::size_t low_ = 0, high_ = 0; // the channels the projections read
    std::vector<std::size_t> fittedColumn_; // the model column of each fitted position
    std::vector<std::int32_t> positionOf_;  // the fitted position of each model column, or -1
    std::vector<std::uint8_t> signed_;      // per fitted position: either sign allowed
    std::vector<double> gram_;              // k × k
    std::vector<double> inverse_;           // k × k
    std::vector<Segment> segments_;
    std::vector<double> coefficients_;
    std::vector<Range> tied_;
    std::vector<double> tiedEffect_; // per tied column, k: what its counts take from g
};

} // namespace identify
