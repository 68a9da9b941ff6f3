// The model identification fits to a spectrum: columns of peaks (an
// element's lines from one subshell with their escape peaks, the sum peaks
// of the elements found, the noise peak), each scaled by an amplitude,
// fitted by weighted least squares to the counts above the continuum.
#pragma once

#include "nnls.h"
#include "workgrid.h"

#include "xray/detector.h"
#include "xray/types.h"

#include <cstddef>
#include <vector>

namespace identify {

// One peak of a column, per unit of the column's amplitude; or a step of
// the continuum at an absorption edge of the detector's window, dead layer
// or crystal (Step: energy_eV the edge, fwhm_eV its blur, area +1 for a
// continuum that drops there, -1 for one that rises).
struct ModelPart {
    enum class Kind { Line, Escape, Sum, Zero, Step };
    Kind kind = Kind::Line;
    const xray::Line *line = nullptr;        // the line; an escape's parent; a sum's lower line
    const xray::Line *second = nullptr;      // a sum's other line
    const xray::EscapeLine *escape = nullptr;
    double energy_eV = 0;
    double fwhm_eV = 0;
    double area = 0; // counts per unit amplitude
    // Where the detector puts it on the spectrum's scale, relative to
    // energy_eV, and its tail and shelf (response.h): lines, escapes and sums.
    double shift_eV = 0;
    double tail = 0;
    double tailSlope = 1.5;
    double shelf = 0;
    // What makes it: the sample, or the detector and the excitation (the
    // detector's own lines, the tube's lines scattered by the sample).
    enum class Source { Sample, Internal, Rayleigh, Compton };
    Source source = Source::Sample;
    double at() const { return energy_eV + shift_eV; }
};

struct ModelColumn {
    int Z = 0;             // the element; 0 for sum peaks and the noise peak;
                           // -Z for the steps at Z's edges, the detector's
                           // own lines of Z and the tube's (Z its anode)
    // Lines of the detector's own materials, excited in its dead layer or
    // coating by the photons it counts (internal fluorescence).
    bool internal = false;
    // The tube's lines scattered by the sample (X-ray fluorescence).
    bool scatter = false;
    // An element's column, no artefact.
    bool sample() const { return Z > 0; }
    xray::Family family = xray::Family::K;
    xray::Shell shell = xray::Shell::K; // the subshell whose lines it holds
    std::vector<ModelPart> parts;
    // Its values over bins first .. first + values.size() - 1.
    std::size_t first = 0;
    std::vector<double> values;
    // How far an error of one sign in it could move the filtered values
    // (TopHat::spread), over spreadFirst .. spreadFirst + spread.size() - 1.
    std::size_t spreadFirst = 0;
    std::vector<double> spread;
};

// Fills a column's values on the grid from its parts (peaks as the detector
// draws them, response.h: a Gaussian integrated over each bin over ±5
// sigma, with its tail and shelf below as far as they reach; a step as the
// detector blurs it, over ±5 sigma above the edge and fading in linearly
// over StepReach FWHM below, so that it has no second edge).
void renderColumn(ModelColumn &column, const WorkGrid &grid);
inline constexpr double StepReach = 8;

// Adds a Gaussian of that area, centre and FWHM to `count` bins of width
// gain starting (centre of the first) at firstEnergy: integrated over each
// bin when the bins are wider than sigma, else the density at their centres.
void addGaussian(double *values, std::size_t count, double firstEnergy_eV, double gain_eV, double energy_eV,
                 double fwhm_eV, double area);

// The area of a Gaussian part that falls in [low, high] eV.
double partAreaBetween(const ModelPart &part, double low_eV, double high_eV);

// The columns registered so far and their cross products, worked out once.
class Model {
public:
    // y: the counts above the continuum; weights: 1 / Poisson variance.
    Model(std::vector<double> y, std::vector<double> weights);

    // Registers a column (rendered already) and returns its id.
    std::size_t add(ModelColumn column);
    const ModelColumn &column(std::size_t id) const { return columns_[id]; }
    std::size_t size() const { return columns_.size(); }

    // The weighted cross product of two columns, and of a column with y.
    double gram(std::size_t a, std::size_t b);
    double gy(std::size_t a) const { return gy_[a]; }
    const std::vector<double> &data() const { return y_; }
    double yy() const { return yy_; }

    // The amplitudes of columns `ids` (>= 0, with ties between positions
    // in `ids`) that fit y best.
    std::vector<double> fit(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties);
    // The same with other columns `fixed` held at the amplitudes given
    // (ties only among `ids`).
    std::vector<double> fitAround(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties,
                                  const std::vector<std::size_t> &fixed, const std::vector<double> &fixedAmplitudes);
    // The same with weights of the caller's instead of the model's (its
    // cross products worked out afresh, not kept).
    std::vector<double> fitWeighted(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties,
                                    const std::vector<std::size_t> &fixed, const std::vector<double> &fixedAmplitudes,
                                    const std::vector<double> &weights);
    // The work done so far, in multiply-adds (roughly): cross products
    // worked out, and the fits' (through workCounter()). Identification
    // bounds it.
    double work() const { return work_; }
    double &workCounter() { return work_; }
    // Chi-square of those columns with those amplitudes.
    double chiSquare(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes);

    // The model's counts per bin: the columns times their amplitudes.
    std::vector<double> values(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes) const;
    // Adds one column times its amplitude into `into`.
    void addValues(std::size_t id, double amplitude, std::vector<double> &into) const;
    // The same for the columns' spreads.
    std::vector<double> spreadValues(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes) const;
    void addSpread(std::size_t id, double amplitude, std::vector<double> &into) const;

private:
    std::vector<double> y_, w_;
    double yy_ = 0;
    std::vector<ModelColumn> columns_;
    std::vector<double> gy_;
    std::vector<std::vector<double>> gram_; // row a: (a, b) for b <= a; NaN until worked out
    double work_ = 0;
};

} // namespace identify
