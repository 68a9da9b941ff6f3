// The search for the elements of a spectrum. The strongest residual peak
// that nothing explains is taken first: the sum peaks of the elements
// accepted so far are tried on it, then the elements with a line there,
// each fitted with its whole pattern (patterns.h) and checked (checks.h);
// the one that improves the fit most is accepted. Repeated until every
// significant peak is explained or has been tried, within the bounds of
// settings.h; then an element the others make unnecessary is dropped.
#pragma once

#include "explain.h"
#include "finalfit.h"
#include "fit.h"
#include "identify.h"
#include "patterns.h"
#include "refineresponse.h"
#include "workspace.h"

#include <cstddef>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace identify {

class Search {
public:
    // See Workspace for the arguments; options: the elements excluded and
    // required.
    Search(const WorkGrid &grid, const std::vector<double> &background, const xray::Detector &detector,
           std::optional<double> beam_eV, const IdentifyOptions &options, const std::vector<Peak> &peaks,
           bool electrons, const Response &response);
    Search(const Search &) = delete;
    Search &operator=(const Search &) = delete;

    void run();
    // The elements accepted, in the order they were.
    const std::vector<int> &accepted() const { return accepted_; }
    // The fitting work done so far (Model::work).
    double work() const { return ws_.model().work(); }
    bool hasSums() const { return pileUpId_.has_value(); }
    // The elements' peaks (one per column, its lines at their true
    // energies) with the counts the fit gives them: what the detector's
    // response is measured on (refineresponse.h).
    std::vector<FittedGroup> fittedGroups() const;
    // The identification, from the search run: its peaks (those found, as
    // given), elements and notes.
    Identification finish(const std::vector<Peak> &peaks);
    // The fit as it stands, as plain data (finalfit.cpp).
    FinalFit finalFit() const;

private:
    // Fits the elements, the sum peaks and the extras (noise peak, steps);
    // with freeExtras false, the extras keep their amplitudes in current_,
    // all but the steps named in freeSteps. `freeElements`, when given,
    // names the elements fitted afresh; the others keep their amplitudes in
    // current_ (a new element must be free).
    // `weights`, when given, take the place of the model's (Poisson's):
    // robustWeights.
    Fit fitWith(const std::vector<int> &elements, std::optional<std::size_t> pileUp, bool freeExtras = true,
                const std::vector<std::size_t> &freeSteps = {},
                const std::optional<std::vector<int>> &freeElements = std::nullopt,
                const std::vector<double> *weights = nullptr);
    // An element's ties, as fitted among `sample`.
    std::vector<Tie> tiesOf(const ElementPattern &pattern, const std::vector<int> &sample);
    // The elements among `elements` whose peaks overlap Z's (Z included):
    // those a change of Z can move.
    std::vector<int> overlapping(int Z, const std::vector<int> &elements);
    // Takes a residual peak for sum peaks or an element; when neither
    // explains it (or it is the scattered beam, or no line), why not.
    std::optional<PeakReason> take(const ResidualPeak &target);

    // Elements (candidates.cpp): accepts the element that explains the
    // target best, with why it was taken; when none does, why not.
    std::optional<PeakReason> tryElements(const ResidualPeak &target);
    // A candidate that passed the quick test, with the chi-square drop it
    // brings alone; one that passed the joint refit, with its fit.
    struct Quick {
        int Z;
        double gain;
    };
    struct Candidate {
        int Z;
        double gain;
        Fit fit;
        std::size_t columns; // its pattern's
        double local;        // the gain within a FWHM of the target
    };
    // The elements with a line at the target, not accepted or excluded.
    std::vector<int> candidatesAt(const ResidualPeak &target) const;
    // Each candidate alone against what the model leaves (its values:
    // `model`); the joint refit of one that passed with everything
    // accepted. Those refused are added to `refused`, with why.
    // `weights`: robustWeights(current_); `spread`: the current model's.
    std::optional<Quick> quickTest(int Z, const ResidualPeak &target, const std::vector<double> &model,
                                   const std::vector<double> &weights, const std::vector<double> &spread,
                                   std::vector<Rival> &refused);
    std::optional<Candidate> refit(const Quick &quick, const ResidualPeak &target, std::vector<Rival> &refused);
    // How many of the residual peaks `peaks` a candidate's lines explain
    // (half their counts or more, within half a FWHM).
    int peaksExplained(const Candidate &candidate, const std::vector<ResidualPeak> &peaks) const;
    // Accepts the best candidate, with why: the peak, its line there, its
    // partners and its rivals.
    void accept(const std::vector<Candidate> &good, const Candidate &best, const std::vector<Rival> &refused,
                const ResidualPeak &target);

    // Sum peaks (sums.cpp): the column of every sum of two lines the fit
    // holds, per unit of the pile-up share; taken when it explains the
    // target; tried once more as a whole; made again from the final fit.
    // With `share`, the share last fitted, the sums of three photons too,
    // as that share makes them.
    std::optional<std::size_t> pileUpColumn(const Fit &fit, double share = 0);
    bool tryPileUp(const ResidualPeak &target);
    void tryWeakSums();
    void redoSums();

    // Pruning (prune.cpp).
    void prune();
    // How much chi-square rises without element Z.
    double removalCost(int Z);
    // The simpler explanation: drops the elements all of whose peaks lie in
    // the shadow of stronger ones (see Shadow in settings.h).
    void rejectShadowed();
    bool shadowed(int Z) const;
    // The largest share element Z has of what the model puts within half a
    // FWHM of any of its peaks that the peak search found: 1 for a peak all
    // its own.
    double ownShare(int Z) const;

    // The weights of the filtered residual where the model holds `base`:
    // the noise there (Workspace::noise, with the model's own uncertainty)
    // and the filter's correlation.
    std::vector<double> robustWeights(const Fit &base) const;
    std::vector<double> robustWeights(const std::vector<double> &spread) const;
    // How much better `with` fits than `base` (between from and to, eV),
    // the residuals weighed by the noise where `base` is: what the model's
    // uncertainty about the large peaks it already holds may hide counts
    // for nothing.
    double gainOver(const Fit &base, const Fit &with, double from_eV = -1e300, double to_eV = 1e300) const;
    // The same with the weights given.
    double gainOver(const std::vector<double> &weights, const Fit &base, const Fit &with, double from_eV = -1e300,
                    double to_eV = 1e300) const;
    // The spread (Model::spreadValues) of a fit's columns but those at
    // `skip` positions.
    std::vector<double> spreadWithout(const Fit &fit, const std::vector<std::size_t> &skip) const;

    Workspace ws_;
    std::vector<double> found_eV_; // the peaks the peak search found (not the noise peak)
    Patterns patterns_;
    const IdentifyOptions &options_;
    std::vector<int> accepted_;
    Fit current_;
    std::optional<std::size_t> pileUpId_;
    std::map<int, double> rises_; // removal costs, as the last pass of prune() found them
    Outcome found_; // the reasons, contests, unexplained peaks and notes, for the explanations
};

} // namespace identify
