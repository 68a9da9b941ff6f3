// The spectrum as identification fits it: filtered by the top-hat filter
// (which takes away the continuum: it gives 0 for anything straight over
// its width, so no error in the estimated continuum can pass for a peak),
// with the noise of each filtered bin, the model's columns, and the columns
// every fit carries: the detector's noise peak and the continuum's steps at
// the absorption edges of the detector's window and crystal.
#pragma once

#include "model.h"
#include "peaksearch.h"
#include "response.h"
#include "tophat.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace identify {

class Workspace {
public:
    // detector: the resolution of the model's peaks; filtering: the one the
    // filter is matched to (the same, except while the FWHM is refined, when
    // the filter must stay put for chi-squares to compare). background: the
    // continuum as clipped (snipBackground); peaks: those found (for the
    // noise peak). beam_eV: the beam or tube energy, if known; electrons:
    // excited by electrons (EDS), not by X-rays (XRF).
    // response: where the detector puts each line and its tail; tube:
    // under X-rays, the anode whose lines the sample scatters; fitBudget:
    // the most fitting work (GroupFit::work) measuring the scattered
    // lines may take.
    Workspace(const WorkGrid &grid, const std::vector<double> &background, const xray::Detector &detector,
              const xray::Detector &filtering, std::optional<double> beam_eV, bool electrons,
              const std::vector<Peak> &peaks, const Response &response = {}, int tube = 0,
              double fitBudget = 1e300);

    const WorkGrid &grid() const { return grid_; }
    const xray::Detector &detector() const { return detector_; }
    const Response &response() const { return response_; }
    std::optional<double> beam() const { return beam_; }
    bool electrons() const { return electrons_; }
    const TopHat &filter() const { return filter_; }
    Model &model() { return model_; }
    const Model &model() const { return model_; }
    // The standard deviation of each filtered bin's counts.
    const std::vector<double> &sigma() const { return sigma_; }
    // The counted events, all channels together.
    double total() const { return total_; }
    // The columns every fit carries: the noise peak, the continuum's steps,
    // the detector's internal fluorescence and the tube's scattered lines;
    // the steps alone; and the largest amplitude each may take (none: any).
    const std::vector<std::size_t> &extras() const { return extras_; }
    const std::vector<std::size_t> &steps() const { return steps_; }
    std::optional<double> bound(std::size_t id) const;

    // Renders, filters and registers a column; returns its id.
    std::size_t add(ModelColumn column);

    // The lowest energy at which lines are looked for: above the noise
    // peak's reach, two FWHM of it.
    double lowestLine() const;
    // The bin nearest an energy.
    std::size_t binOf(double energy_eV) const;
    // A line, escape or sum peak as the detector draws it: moved onto the
    // spectrum's scale, and a line with the tail and shelf of its energy.
    void shape(ModelPart &part) const;
    // The noise of the filtered residual at bin i where the model's peaks
    // spread that much (Model::spreadValues): Poisson's, the model's own
    // uncertainty (systematicShare) and the continuum's.
    double noise(std::size_t i, double spread) const;

private:
    Model filteredModel(const WorkGrid &grid);
    void addSteps(const std::vector<double> &background);
    // The detector's and the excitation's own peaks (artefacts.cpp).
    void addInternalFluorescence();
    void addTubeScatter(int tube, double fitBudget);
    // A line at `energy` (its escape peaks with it) into a column.
    void addWithEscapes(ModelColumn &column, const xray::Line *line, double energy, double fwhm, double area,
                        ModelPart::Source source);

    const WorkGrid &grid_;
    xray::Detector detector_;
    Response response_;
    std::optional<double> beam_;
    bool electrons_;
    TopHat filter_;
    std::vector<double> sigma_; // of the filtered counts
    Model model_;               // of the filtered counts
    std::vector<double> continuum_; // as clipped (snipBackground)
    double total_ = 0;
    std::vector<std::size_t> extras_;
    std::vector<std::size_t> steps_;
    std::vector<std::pair<std::size_t, double>> bounds_; // (column, its largest amplitude)
};

} // namespace identify
