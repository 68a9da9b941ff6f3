#include "identify.h"

#include "background.h"
#include "minimise.h"
#include "model.h"
#include "resolution.h"
#include "tophat.h"
#include "workgrid.h"

#include "xray/bulkabsorption.h"
#include "xray/constants.h"
#include "xray/edges.h"
#include "xray/elements.h"
#include "xray/excitation.h"
#include "xray/finder.h"
#include "xray/generated/tables.h"
#include "xray/lines.h"
#include "xray/textutil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <set>

namespace spectrum {

namespace {

// ---------------------------------------------------------------- settings
// Each is a choice of this method, not a constant of nature; the README's
// "Automatic identification" gives the reasons at more length.

// Lines weaker than this within their family (after the excitation model)
// are left out of an element's pattern: too weak to matter, and they slow
// the fit. A family of a million counts still shows lines of a thousand.
constexpr double MinRelative = 0.001;
// Lines below this energy are not looked for: the noise peak is there.
constexpr double MinLineEnergy_eV = 150;
// The lines of one subshell keep the table's ratios exactly; the subshells
// of a family may differ from the model by this factor either way (the
// relative intensities are for photons at twice the deepest edge; under
// electrons and near an edge the subshells' shares change).
constexpr double SubshellTolerance = 1.6;
// A peak (lines closer than half a FWHM) expected to give less than this
// share of its subshell's strongest peak keeps the table's ratio to it.
constexpr double MinPeakShare = 0.01;
// A subshell expected to give less than this share of its family joins the
// family's main subshell.
constexpr double MinSubshellShare = 0.1;
// Absorption in the sample across an absorption edge: a line just above an
// edge of an element of the sample is absorbed far more than one just below
// it, by the element itself (W Mg above the M5 and M4 edges against W Ma
// below them) or by another (Pb Mg and Mo Lg above the S K edge in PbS and
// MoS2; Zn La above the Cu L edges in brass). Where that element is the
// bulk of the sample, the ratio of the two lines falls short of the
// excitation model's by the difference; where it is dilute, it does not.
// The ties between an element's peaks allow either: the ratio in a bulk
// sample of the element alone (xray/bulkabsorption.h), seen at an ordinary
// take-off angle; and once the element is accepted, the same for each other
// element fitted with it. A candidate is judged by its own absorption only:
// another element's edge must not let it be named from its weak lines
// below the edge while its strong ones above are missing.
constexpr double TakeOff_deg = 35;
// The families of one element may differ from the excitation model by this
// factor either way, and more where absorption and the detector's window
// weaken the lower family (see absorptionTolerance, overvoltageTolerance).
constexpr double FamilyTolerance = 3;
// The model is never exact: a residual counts against a noise of
// sqrt(counts + (modelError(E) x model)^2), with 1 % for peak shapes and
// positions, and up to 10 % more below 1 keV, where the detector's window
// and absorption in the sample change the lines of one family against each
// other by tens of percent.
double modelError(double energy_eV)
{
    return 0.01 + 0.1 * std::min(1.0, (1000.0 / energy_eV) * (1000.0 / energy_eV));
}

// Nor is the continuum, which the filter takes away only where it is
// straight: below a few keV the window's absorption edges and its rising
// transmission bend it within a FWHM. A residual counts against another
// continuumError(E) x the clipped continuum: 10 % at 1 keV and below,
// falling as 1/E^2 above.
double continuumError(double energy_eV)
{
    return 0.1 * std::min(1.0, (1000.0 / energy_eV) * (1000.0 / energy_eV));
}
// A new element must lower chi-square by at least this (five standard
// deviations), and by 2 more for each amplitude it brings.
constexpr double AcceptChiSquare = 25;
// An element whose lines lie on one of the steps the continuum takes at the
// absorption edges of the detector's window (C Ka below the C edge of a
// polymer window) is confounded with that step: it must lower chi-square by
// this much (twenty standard deviations).
constexpr double OnWindowEdgeChiSquare = 400;
// ... and explain at least this share of the peak it was proposed for.
constexpr double ExplainShare = 0.5;
// A partner line predicted at this many standard deviations or more is
// strong; it is missing when the spectrum shows less than MissingShare of
// it, by more than 3 standard deviations.
constexpr double StrongPartner = 5;
constexpr double MissingShare = 0.5;
// Low-energy lines are weak evidence of an element that also has harder
// lines: absorption in the sample and the detector's window change their
// size by orders of magnitude (below 1 keV; by a factor of a few up to
// 3.5 keV, where the M lines of heavy elements and the L lines of the
// middle ones crowd together), and the window's absorption edges put steps
// into the continuum. An element proposed for a peak below such a limit must
// show its strongest line of another family above it too, where the beam
// excites that line's shell with at least the overvoltage given (more than
// just above the edge, where the line may be too weak to see).
struct EvidenceRule {
    double below_eV;
    double overvoltage;
};
constexpr EvidenceRule EvidenceRules[] = {{1000, 1.2}, {3500, 2.0}};
// The continuum's step at an edge may be up to this many times the
// continuum there as clipped (which undercuts a steep edge by up to about
// that much), no more: a step cannot take up a peak.
constexpr double StepCap = 3;
// Sum peaks are no new element, and the elements found make them whenever
// the count rate is high: one amplitude, fixed by the elements' own lines,
// predicts them all. Three standard deviations are enough.
constexpr double AcceptSums = 9;
// Sum peaks: at most this share of the counted events may be two photons.
constexpr double MaxPileUp = 0.05;
// Candidates lie within this many FWHM of the peak.
constexpr double CandidateTolerance = 0.75;
// At most this many elements, and this many peaks taken in turn (a real
// spectrum needs a fraction of either).
constexpr std::size_t MaxElements = 16;
// The resolution is refined against the elements found when there are at
// most this many (more make the search slow, and say less).
constexpr std::size_t MaxRefineElements = 8;
// ... and only after a search that took at most this much work: the
// refinement costs a dozen fits of everything and a second search. The
// synthetic spectra that need it take at most 3.1e6.
constexpr double MaxRefineWork = 5e6;
constexpr int MaxRounds = 60;
// ... and at most IdentifyOptions::maxWork of fitting (Model::work, in
// multiply-adds), 4e7 unless given: six times what the hardest of the
// synthetic spectra takes, 6.4e6 (and twice it for pruning), and half as much
// again as a measured XRF spectrum of stainless steel with eleven elements,
// three million counts in Fe Ka and six sum peaks needs (2e7 to 3e7). Random
// spectra reach it; real ones should not.
double maxWork(const IdentifyOptions &options) { return options.maxWork > 0 ? options.maxWork : 0.0; }
// Of the candidates that pass the quick test against the residual, this
// many of the best are fitted again with everything else free.
constexpr std::size_t JointRefits = 3;

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

std::string keVText(double energy_eV)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f keV", energy_eV / 1000);
    return text;
}

std::string lineName(const xray::Line &line)
{
    return std::string(line.siegbahn().empty() ? line.iupac() : line.siegbahn());
}

std::string symbol(int Z) { return std::string(xray::elementSymbol(Z)); }

// ------------------------------------------------------------ the engine

struct ElementModel {
    int Z = 0;
    std::vector<std::size_t> ids; // model columns
    std::vector<Tie> ties;        // between positions in ids
};

// A set of columns fitted together.
struct Fit {
    std::vector<std::size_t> ids;
    std::vector<Tie> ties;
    std::vector<double> amplitudes;
    double chiSquare = 0;
};

struct Cluster {
    double energy_eV = 0;
    double fwhm_eV = 0;
    double counts = 0;
    const xray::Line *strongest = nullptr;
    double strongestCounts = 0;
};

// A line, escape or sum peak of the model with the counts it brings.
struct CountedPart {
    const ModelPart *part;
    double counts;
};

struct ResidualPeak {
    double energy_eV;
    double netCounts;
    double significance;
};

struct Candidate {
    int Z;
    double gain;      // chi-square drop
    Fit fit;          // joint fit with it (after the refit)
    std::size_t columns;
};

class Engine {
public:
    // detector: the resolution of the model's peaks; filtering: the one the
    // filter is matched to (the same, except while the FWHM is refined, when
    // the filter must stay put for chi-squares to compare).
    Engine(const WorkGrid &grid, const std::vector<double> &background, const xray::Detector &detector,
           const xray::Detector &filtering, std::optional<double> beam_eV, const IdentifyOptions &options,
           const std::vector<Peak> &peaks, bool electrons)
        : grid_(grid), detector_(detector), beam_(beam_eV), electrons_(electrons), options_(options),
          filter_(grid, filtering),
          model_(filteredModel(grid))
    {
        continuum_ = background;
        net_.resize(grid.size());
        for (std::size_t i = 0; i < grid.size(); ++i) {
            net_[i] = grid.counts[i] - background[i];
            total_ += std::max(0.0, grid.counts[i]);
        }
        for (const Peak &p : peaks)
            if (p.zero && !zeroId_) {
                ModelColumn c;
                c.parts.push_back({ModelPart::Kind::Zero, nullptr, nullptr, nullptr, p.energy_eV,
                                   std::max(p.fwhm_eV, detector.fwhm(0)), std::max(p.netCounts, 1.0)});
                zeroId_ = add(std::move(c));
                extras_.push_back(*zeroId_);
            }
        addSteps(background);
    }

    void run();
    Identification &result() { return result_; }
    const std::vector<int> &accepted() const { return accepted_; }
    double work() const { return model_.work(); }
    bool hasSums() const { return pileUpId_.has_value(); }
    // Chi-square of these elements (and their sum peaks) with nothing else
    // tried: for refining the FWHM.
    double chiSquareWith(const std::vector<int> &elements, bool sums)
    {
        current_ = fitWith({}, std::nullopt);
        current_ = fitWith(elements, std::nullopt);
        if (sums)
            if (const auto column = pileUpColumn(current_))
                current_ = fitWith(elements, column);
        return current_.chiSquare;
    }
    void finish(const std::vector<Peak> &peaks);

private:
    // The model works on the filtered spectrum: the filter takes away the
    // continuum (it gives 0 for anything straight over its width), so no
    // error in the estimated continuum can pass for a peak.
    Model filteredModel(const WorkGrid &grid)
    {
        const TopHat::Output f = filter_.apply(grid.counts, poissonVariance(grid.counts));
        sigma_ = f.sigma;
        // Weights: the filtered counts' variance, corrected for the
        // correlation of neighbouring filtered bins.
        std::vector<double> w(grid.size(), 0.0);
        for (std::size_t i = 0; i < w.size(); ++i)
            if (filter_.fits(i) && sigma_[i] > 0)
                w[i] = 1.0 / (sigma_[i] * sigma_[i] * filter_.correlation(i));
        return Model(f.value, std::move(w));
    }
    // Renders, filters and registers a column.
    std::size_t add(ModelColumn column)
    {
        renderColumn(column, grid_);
        std::size_t first = 0;
        column.values = filter_.applyLocal(column.values, column.first, first);
        column.first = first;
        return model_.add(std::move(column));
    }
    // Steps of the continuum at the absorption edges of what X-rays cross
    // before the detector counts them: C, N and O of polymer windows, their
    // aluminium coating and the detector's own material (its dead layer and,
    // in thin crystals, its absorption). Either way: +1 a drop, -1 a rise.
    void addSteps(const std::vector<double> &background)
    {
        std::vector<std::pair<int, xray::Shell>> edges;
        switch (detector_.material()) {
        case xray::Material::Si:
            for (const int Z : {6, 7, 8, 13, 14})
                edges.push_back({Z, xray::Shell::K});
            break;
        case xray::Material::Ge:
        case xray::Material::CdTe:
            for (const xray::EscapeLine &line : detector_.escapeLines())
                for (const xray::Shell shell : {xray::Shell::K, xray::Shell::L1, xray::Shell::L2, xray::Shell::L3})
                    if (std::find(edges.begin(), edges.end(), std::pair(int(line.Z), shell)) == edges.end())
                        edges.push_back({line.Z, shell});
            break;
        }
        const double high = grid_.energy(double(grid_.size()) - 1);
        for (const auto &[Z, shell] : edges) {
            const xray::Edge *edge = xray::findEdge(Z, shell);
            if (!edge || edge->energy_eV < MinLineEnergy_eV || edge->energy_eV > high)
                continue;
            // In units of the continuum there (see StepCap).
            const double level = std::max(1.0, background[binOf(edge->energy_eV)]);
            for (const double sign : {1.0, -1.0}) {
                ModelColumn c;
                c.parts.push_back({ModelPart::Kind::Step, nullptr, nullptr, nullptr, edge->energy_eV,
                                   detector_.fwhm(edge->energy_eV), sign * level});
                c.Z = -Z; // not an element of the sample
                c.shell = shell;
                steps_.push_back(add(std::move(c)));
                extras_.push_back(steps_.back());
            }
        }
    }
    bool isExtra(std::size_t id) const { return std::find(extras_.begin(), extras_.end(), id) != extras_.end(); }

    // The lowest energy at which lines are looked for: above the noise
    // peak's reach, two FWHM of it.
    double lowestLine() const { return std::max(MinLineEnergy_eV, 2 * detector_.fwhm(0)); }

    // The bin nearest an energy.
    std::size_t binOf(double energy_eV) const
    {
        return std::size_t(std::clamp(std::round(grid_.bin(energy_eV)), 0.0, double(grid_.size()) - 1));
    }

    const ElementModel &element(int Z);
    // Element em's ties, widened by its own absorption across its edges,
    // and, when em is accepted, by that of each other element of `sample`.
    std::vector<Tie> tiesIn(const ElementModel &em, const std::vector<int> &sample);
    // The share of model column id's lines left by absorption in a bulk
    // sample of element Z alone.
    double kept(int Z, std::size_t id);
    static double absorptionTolerance(double lowerEnergy_eV);
    static double overvoltageTolerance(double overvoltage);
    // Fits the elements, the sum peaks and the extras (noise peak, steps);
    // with freeExtras false, the extras keep their amplitudes in current_.
    // `freeElements`, when given, names the elements fitted afresh; the
    // others keep their amplitudes in current_ (a new element must be free).
    Fit fitWith(const std::vector<int> &elements, std::optional<std::size_t> pileUp, bool freeExtras = true,
                const std::vector<std::size_t> &freeSteps = {},
                const std::optional<std::vector<int>> &freeElements = std::nullopt);
    // The elements among `elements` whose peaks overlap Z's (Z included):
    // those a change of Z can move.
    std::vector<int> overlapping(int Z, const std::vector<int> &elements);
    // The continuum's steps within three FWHM of element Z's lines: they
    // compete with it for what lies there.
    std::vector<std::size_t> stepsNear(int Z);
    // The chi-square drop element Z must bring (AcceptChiSquare, or
    // OnWindowEdgeChiSquare when its strongest line lies within a FWHM below
    // a step of the continuum).
    double acceptance(int Z);
    std::optional<std::size_t> pileUpColumn(const Fit &fit);
    std::vector<ResidualPeak> residualPeaks(const Fit &fit);
    std::vector<Cluster> clusters(const Fit &fit, const std::vector<std::size_t> &positions) const;
    // Checks a subject (positions in fit) against the data: the share of
    // the target peak it explains, and its strong partner clusters that are
    // missing.
    struct Check {
        double explained = 0;
        std::vector<Cluster> missing;
        std::optional<Cluster> unseen; // a hard line that must show and does not
    };
    // Under X-rays of a known beam energy, the beam scattered by the sample:
    // Rayleigh at the beam energy, Compton below it (down to the energy of
    // photons scattered straight back, and a FWHM lower for the Doppler
    // broadening). A peak there says nothing of the sample's elements:
    // why, in words; nothing outside.
    std::optional<std::string> scatter(double energy_eV) const;
    // Why a candidate that was checked so is refused; nothing when it is not.
    static std::optional<std::string> refusal(int Z, const Check &c);
    Check check(const Fit &fit, const std::vector<std::size_t> &subject, double target_eV,
                const std::vector<double> &others);
    std::vector<std::size_t> positionsOf(const Fit &fit, int Z) const;
    bool tryPileUp(const ResidualPeak &target);
    bool lineLike(const ResidualPeak &target);
    bool tryElements(const ResidualPeak &target, std::string &why);
    void prune();
    // How much chi-square rises without element Z.
    double removalCost(int Z);
    // The noise of the filtered residual at bin i with that model there.
    double noise(std::size_t i, double model) const
    {
        const double energy = std::max(grid_.energy(double(i)), MinLineEnergy_eV);
        const double e = modelError(energy) * model, c = continuumError(energy) * continuum_[i];
        return std::sqrt(sigma_[i] * sigma_[i] + e * e + c * c);
    }

    const WorkGrid &grid_;
    xray::Detector detector_;
    std::optional<double> beam_;
    bool electrons_; // excited by electrons (EDS), not by X-rays (XRF)
    const IdentifyOptions &options_;
    TopHat filter_;
    std::vector<double> sigma_; // of the filtered counts
    Model model_;               // of the filtered counts
    std::vector<double> net_;   // counts above the continuum (for the peaks' shares)
    std::vector<double> continuum_; // as clipped (snipBackground)
    double total_ = 0;
    std::optional<std::size_t> zeroId_;
    std::vector<std::size_t> extras_; // the noise peak and the continuum's steps
    std::vector<std::size_t> steps_;
    std::optional<std::size_t> pileUpId_;
    std::map<int, ElementModel> elements_;
    std::vector<int> accepted_;
    std::map<std::pair<int, std::size_t>, double> kept_; // (absorber Z, column) -> kept
    std::map<int, std::string> reasons_;
    std::map<int, bool> uncontested_;
    std::map<int, double> rises_; // removal costs, as the last pass of prune() found them
    Fit current_;
    std::vector<std::pair<double, std::string>> unexplained_; // energy, why
    Identification result_;
};

// How far two peaks of one subshell's lines may stray from the table's
// ratio: the detector's efficiency and absorption in the sample change with
// energy, by about the energy ratio to the power 1.5, and much more below
// 2 keV, where window edges and soft-X-ray absorption lie between lines.
double peakTolerance(double a_eV, double b_eV)
{
    const double low = std::min(a_eV, b_eV), high = std::max(a_eV, b_eV);
    return std::max(1.25, std::pow(high / low, 1.5)) * std::max(1.0, std::pow(2000.0 / low, 1.5));
}

double Engine::absorptionTolerance(double lowerEnergy_eV)
{
    // Absorption in the sample and the detector's window weaken soft lines
    // more than any model of the excitation knows: the lower family may fall
    // short by (3 keV / E)^1.5 more below 3 keV.
    return std::max(1.0, std::pow(3000.0 / lowerEnergy_eV, 1.5));
}

double Engine::overvoltageTolerance(double overvoltage)
{
    // Near its edge a family's yield changes fast with the beam energy and
    // the model is least sure: below an overvoltage of 1.5, by 0.5 / (U - 1).
    return overvoltage > 1 ? std::max(1.0, 0.5 / (overvoltage - 1)) : 1.0;
}

const ElementModel &Engine::element(int Z)
{
    const auto found = elements_.find(Z);
    if (found != elements_.end())
        return found->second;
    ElementModel &em = elements_[Z];
    em.Z = Z;
    // Lines in the noise peak's reach (two FWHM of it) cannot be told from
    // it: left out.
    const double low = std::max({MinLineEnergy_eV, grid_.energy(0), lowestLine()});
    const double high = grid_.energy(double(grid_.size()) - 1);
    // Expected photons of each line: the electron-excitation model with a
    // beam energy; without one, the relative intensities within each family.
    struct Entry {
        const xray::Line *line;
        double strength;
    };
    std::map<std::pair<int, int>, std::vector<Entry>> groups; // (family, shell)
    double strongest = 0;
    std::map<int, double> familyStrongest;
    std::vector<Entry> all;
    for (const xray::Line &line : xray::linesOf(Z)) {
        if (!xray::isExcited(line, beam_) || line.energy_eV < low || line.energy_eV > high)
            continue;
        const double strength = beam_ && electrons_ ? xray::electronLineYield(line, *beam_) : line.relative;
        if (!(strength > 0))
            continue;
        all.push_back({&line, strength});
        double &most = familyStrongest[int(line.family)];
        most = std::max(most, strength);
        strongest = std::max(strongest, strength);
    }
    for (const Entry &e : all)
        if (e.strength >= MinRelative * familyStrongest[int(e.line->family)])
            groups[{int(e.line->family), int(e.line->shell)}].push_back(e);
    if (groups.empty())
        return em;
    // Per family: the main subshell's group (or the strongest group) and
    // the others, weak ones merged into it.
    struct Group {
        xray::Family family;
        xray::Shell shell;
        std::vector<Entry> entries;
        double strength = 0;
        double energy = 0; // of its strongest line
    };
    std::map<int, std::vector<Group>> families;
    for (auto &[key, entries] : groups) {
        Group g{static_cast<xray::Family>(key.first), static_cast<xray::Shell>(key.second), entries};
        double best = 0;
        for (const Entry &e : entries) {
            g.strength += e.strength;
            if (e.strength > best) {
                best = e.strength;
                g.energy = e.line->energy_eV;
            }
        }
        families[key.first].push_back(std::move(g));
    }
    struct FamilyHead {
        std::size_t position;
        double strength;
        double energy;
        xray::Family family;
    };
    std::vector<FamilyHead> heads;
    for (auto &[family, list] : families) {
        const xray::Shell main = xray::mainShell(static_cast<xray::Family>(family));
        auto head = std::find_if(list.begin(), list.end(), [&](const Group &g) { return g.shell == main; });
        if (head == list.end())
            head = std::max_element(list.begin(), list.end(),
                                    [](const Group &a, const Group &b) { return a.strength < b.strength; });
        std::swap(*head, list.front());
        double familyStrength = 0;
        for (const Group &g : list)
            familyStrength += g.strength;
        // Under X-rays the subshells are free (below): none is merged.
        for (std::size_t i = 1; i < list.size() && electrons_;) {
            if (list[i].strength < MinSubshellShare * familyStrength) {
                list.front().entries.insert(list.front().entries.end(), list[i].entries.begin(), list[i].entries.end());
                list.erase(list.begin() + std::ptrdiff_t(i));
            } else {
                ++i;
            }
        }
        // Columns: one per peak of each group (its lines closer than half a
        // FWHM together), in units of the element's strongest line; the
        // group's strongest peak leads the others.
        std::size_t headPosition = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            std::vector<Entry> entries = list[i].entries;
            std::sort(entries.begin(), entries.end(),
                      [](const Entry &a, const Entry &b) { return a.line->energy_eV < b.line->energy_eV; });
            std::vector<std::vector<Entry>> peaks;
            for (const Entry &e : entries) {
                if (!peaks.empty()
                    && e.line->energy_eV - peaks.back().back().line->energy_eV < 0.5 * detector_.fwhm(e.line->energy_eV))
                    peaks.back().push_back(e);
                else
                    peaks.push_back({e});
            }
            // Weak peaks keep the table's ratio to the group's strongest:
            // they join its column (their freedom would only slow the fit).
            {
                const auto strength = [](const std::vector<Entry> &peak) {
                    double sum = 0;
                    for (const Entry &e : peak)
                        sum += e.strength;
                    return sum;
                };
                const auto strongestPeak = std::max_element(peaks.begin(), peaks.end(),
                    [&](const auto &a, const auto &b) { return strength(a) < strength(b); });
                const double most = strength(*strongestPeak);
                std::vector<Entry> weak;
                std::vector<std::vector<Entry>> kept;
                for (std::vector<Entry> &peak : peaks) {
                    if (strength(peak) < MinPeakShare * most)
                        weak.insert(weak.end(), peak.begin(), peak.end());
                    else
                        kept.push_back(std::move(peak));
                }
                const auto lead = std::max_element(kept.begin(), kept.end(),
                    [&](const auto &a, const auto &b) { return strength(a) < strength(b); });
                lead->insert(lead->end(), weak.begin(), weak.end());
                peaks = std::move(kept);
            }
            std::vector<std::size_t> positions;
            std::vector<double> strengths, energies;
            for (const std::vector<Entry> &peak : peaks) {
                ModelColumn c;
                c.Z = Z;
                c.family = list[i].family;
                c.shell = list[i].shell;
                double strength = 0, weighted = 0;
                for (const Entry &e : peak) {
                    const double area = e.strength / strongest;
                    strength += e.strength;
                    weighted += e.strength * e.line->energy_eV;
                    c.parts.push_back({ModelPart::Kind::Line, e.line, nullptr, nullptr, e.line->energy_eV,
                                       detector_.fwhm(e.line->energy_eV), area});
                    for (const xray::Escape &escape : detector_.escapes(e.line->energy_eV))
                        if (escape.energy_eV >= low && escape.fraction > 0)
                            c.parts.push_back({ModelPart::Kind::Escape, e.line, nullptr, escape.line,
                                               escape.energy_eV, detector_.fwhm(escape.energy_eV),
                                               area * escape.fraction});
                }
                positions.push_back(em.ids.size());
                strengths.push_back(strength);
                energies.push_back(weighted / strength);
                em.ids.push_back(add(std::move(c)));
            }
            const std::size_t lead = std::size_t(std::max_element(strengths.begin(), strengths.end()) - strengths.begin());
            for (std::size_t k = 0; k < positions.size(); ++k)
                if (k != lead) {
                    const double t = peakTolerance(energies[k], energies[lead]);
                    em.ties.push_back({positions[k], positions[lead], 1 / t, t});
                }
            // Under X-rays the tube's lines may excite one subshell and not
            // the next (Rh L lines excite Mo L3, not L1), so a deeper
            // subshell may fall short of the table without limit; but a
            // photon that ionises it could as well have ionised the main
            // one, and its vacancies partly move there (Coster-Kronig), so
            // it cannot stand out from it by more than under electrons.
            // Without that bound Tb's L2 lines alone filled the foot of Fe
            // Kb in steel, and W's M2 lines a peak of Mo La.
            if (i == 0) {
                headPosition = positions[lead];
            } else if (electrons_) {
                em.ties.push_back({positions[lead], headPosition, 1 / SubshellTolerance, SubshellTolerance});
            } else {
                const xray::Edge *deep = xray::findEdge(Z, list[i].shell);
                const xray::Edge *main = xray::findEdge(Z, list.front().shell);
                if (deep && main && list.front().shell == xray::mainShell(list.front().family)
                    && deep->energy_eV > main->energy_eV)
                    em.ties.push_back({positions[lead], headPosition, 0.0, SubshellTolerance});
            }
        }
        heads.push_back({headPosition, familyStrength, list.front().energy, static_cast<xray::Family>(family)});
    }
    // Families against the strongest, where the beam energy says how they
    // compare under electrons; without it, or for X-ray fluorescence (the
    // model is for electrons), each family is free.
    if (beam_ && electrons_ && heads.size() > 1) {
        const auto anchor = std::max_element(heads.begin(), heads.end(),
                                             [](const FamilyHead &a, const FamilyHead &b) { return a.strength < b.strength; });
        for (const FamilyHead &h : heads) {
            if (&h == &*anchor)
                continue;
            const auto overvoltage = [&](xray::Family family) {
                const xray::Edge *edge = xray::findEdge(Z, xray::mainShell(family));
                return edge && edge->energy_eV > 0 ? *beam_ / edge->energy_eV : 10.0;
            };
            const double u = overvoltageTolerance(overvoltage(h.family)) * overvoltageTolerance(overvoltage(anchor->family));
            const double a = absorptionTolerance(std::min(h.energy, anchor->energy));
            // Either may be off by FamilyTolerance and the overvoltage's
            // doubt; the lower one may fall short by the absorption's too.
            const bool lower = h.energy < anchor->energy;
            em.ties.push_back({h.position, anchor->position, 1 / (FamilyTolerance * u * (lower ? a : 1)),
                               FamilyTolerance * u * (lower ? 1 : a)});
        }
    }
    return em;
}

double Engine::kept(int Z, std::size_t id)
{
    const auto found = kept_.find({Z, id});
    if (found != kept_.end())
        return found->second;
    const xray::BulkAbsorption pure({{Z, 1.0}}, *beam_, TakeOff_deg);
    double area = 0, left = 0;
    for (const ModelPart &p : model_.column(id).parts)
        if (p.kind == ModelPart::Kind::Line) {
            area += p.area;
            left += p.area * pure.emerging(*p.line);
        }
    return kept_[{Z, id}] = area > 0 ? left / area : 1.0;
}

std::vector<Tie> Engine::tiesIn(const ElementModel &em, const std::vector<int> &sample)
{
    std::vector<Tie> ties = em.ties;
    if (!beam_ || !electrons_)
        return ties;
    for (Tie &t : ties) {
        if (t.parent == Tie::Bound)
            continue;
        double lowest = 1, highest = 1;
        const auto widen = [&](int Z) {
            const double r = kept(Z, em.ids[t.column]) / kept(Z, em.ids[t.parent]);
            lowest = std::min(lowest, r);
            highest = std::max(highest, r);
        };
        widen(em.Z);
        if (std::find(accepted_.begin(), accepted_.end(), em.Z) != accepted_.end())
            for (const int Z : sample)
                if (Z != em.Z)
                    widen(Z);
        t.low *= lowest;
        t.high *= highest;
    }
    return ties;
}

Fit Engine::fitWith(const std::vector<int> &elements, std::optional<std::size_t> pileUp, bool freeExtras,
                    const std::vector<std::size_t> &freeSteps, const std::optional<std::vector<int>> &freeElements)
{
    Fit f;
    std::vector<std::size_t> held;
    std::vector<double> heldAmplitudes;
    const auto hold = [&](std::size_t id) {
        held.push_back(id);
        heldAmplitudes.push_back(0.0);
        for (std::size_t i = 0; i < current_.ids.size(); ++i)
            if (current_.ids[i] == id)
                heldAmplitudes.back() = current_.amplitudes[i];
    };
    if (pileUp)
        f.ids.push_back(*pileUp);
    for (const int Z : elements) {
        const ElementModel &em = element(Z);
        if (freeElements && std::find(freeElements->begin(), freeElements->end(), Z) == freeElements->end()) {
            for (const std::size_t id : em.ids)
                hold(id);
            continue;
        }
        const std::size_t base = f.ids.size();
        f.ids.insert(f.ids.end(), em.ids.begin(), em.ids.end());
        for (const Tie &t : tiesIn(em, elements))
            f.ties.push_back({base + t.column, base + t.parent, t.low, t.high});
    }
    // Extras fitted with the rest, or held as they are (taken from the data
    // before): all, or all but the steps named.
    for (const std::size_t id : extras_) {
        const bool step = std::find(steps_.begin(), steps_.end(), id) != steps_.end();
        if (freeExtras || std::find(freeSteps.begin(), freeSteps.end(), id) != freeSteps.end()) {
            if (step)
                f.ties.push_back({f.ids.size(), Tie::Bound, 0.0, StepCap});
            f.ids.push_back(id);
            continue;
        }
        hold(id);
    }
    f.amplitudes = held.empty() ? model_.fit(f.ids, f.ties) : model_.fitAround(f.ids, f.ties, held, heldAmplitudes);
    f.ids.insert(f.ids.end(), held.begin(), held.end());
    f.amplitudes.insert(f.amplitudes.end(), heldAmplitudes.begin(), heldAmplitudes.end());
    f.chiSquare = model_.chiSquare(f.ids, f.amplitudes);
    return f;
}

std::vector<int> Engine::overlapping(int Z, const std::vector<int> &elements)
{
    std::vector<int> out = {Z};
    const ElementModel &mine = element(Z);
    for (const int other : elements) {
        if (other == Z)
            continue;
        const ElementModel &em = element(other);
        const bool touches = std::any_of(mine.ids.begin(), mine.ids.end(), [&](std::size_t a) {
            const ModelColumn &ca = model_.column(a);
            return std::any_of(em.ids.begin(), em.ids.end(), [&](std::size_t b) {
                const ModelColumn &cb = model_.column(b);
                return ca.first < cb.first + cb.values.size() && cb.first < ca.first + ca.values.size();
            });
        });
        if (touches)
            out.push_back(other);
    }
    return out;
}

double Engine::acceptance(int Z)
{
    const ElementModel &em = element(Z);
    const ModelPart *strongest = nullptr;
    for (const std::size_t id : em.ids)
        for (const ModelPart &p : model_.column(id).parts)
            if (p.kind == ModelPart::Kind::Line && (!strongest || p.area > strongest->area))
                strongest = &p;
    if (!strongest)
        return AcceptChiSquare;
    for (const std::size_t step : steps_) {
        const double edge = model_.column(step).parts.front().energy_eV;
        if (strongest->energy_eV <= edge && edge - strongest->energy_eV < detector_.fwhm(edge))
            return OnWindowEdgeChiSquare;
    }
    return AcceptChiSquare;
}

std::vector<std::size_t> Engine::stepsNear(int Z)
{
    std::vector<std::size_t> near;
    const ElementModel &em = element(Z);
    for (const std::size_t step : steps_) {
        const double edge = model_.column(step).parts.front().energy_eV;
        const double reach = 3 * detector_.fwhm(edge);
        const bool close = std::any_of(em.ids.begin(), em.ids.end(), [&](std::size_t id) {
            const auto &parts = model_.column(id).parts;
            return std::any_of(parts.begin(), parts.end(),
                               [&](const ModelPart &p) { return std::fabs(p.energy_eV - edge) < reach; });
        });
        if (close)
            near.push_back(step);
    }
    return near;
}

std::vector<std::size_t> Engine::positionsOf(const Fit &fit, int Z) const
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < fit.ids.size(); ++i)
        if (model_.column(fit.ids[i]).Z == Z && Z > 0)
            positions.push_back(i);
    return positions;
}

std::optional<std::size_t> Engine::pileUpColumn(const Fit &fit)
{
    // The lines as fitted, with their counts.
    std::vector<CountedPart> lines;
    double most = 0;
    for (std::size_t i = 0; i < fit.ids.size(); ++i) {
        const ModelColumn &c = model_.column(fit.ids[i]);
        if (c.Z <= 0)
            continue;
        for (const ModelPart &p : c.parts)
            if (p.kind == ModelPart::Kind::Line && fit.amplitudes[i] > 0) {
                lines.push_back({&p, fit.amplitudes[i] * p.area});
                most = std::max(most, lines.back().counts);
            }
    }
    // Pairs of lines of a hundredth of the strongest and more: a sum of
    // weaker ones is ten thousand times weaker than the strongest sum.
    std::erase_if(lines, [&](const CountedPart &c) { return c.counts < 1e-2 * most; });
    if (lines.empty() || !(total_ > 0))
        return std::nullopt;
    // Per unit of the pile-up share: pairs drawn by their counts.
    ModelColumn column;
    const double high = grid_.energy(double(grid_.size()) - 1);
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = i; j < lines.size(); ++j) {
            const ModelPart &a = *lines[i].part, &b = *lines[j].part;
            const double energy = a.energy_eV + b.energy_eV;
            const double counts = lines[i].counts * lines[j].counts / total_ * (i == j ? 1 : 2);
            if (energy > high || !(counts > 0))
                continue;
            const bool ordered = a.energy_eV <= b.energy_eV;
            column.parts.push_back({ModelPart::Kind::Sum, ordered ? a.line : b.line, ordered ? b.line : a.line,
                                    nullptr, energy, std::hypot(a.fwhm_eV, b.fwhm_eV), counts});
        }
    if (column.parts.empty())
        return std::nullopt;
    return add(std::move(column));
}


std::vector<ResidualPeak> Engine::residualPeaks(const Fit &fit)
{
    const std::vector<double> m = model_.values(fit.ids, fit.amplitudes);
    const std::vector<double> &y = model_.data();
    // Above the noise peak's tail (two FWHM of it), where lines are.
    const double low = lowestLine();
    std::vector<ResidualPeak> peaks;
    const auto residual = [&](std::size_t i) { return y[i] - m[i]; };
    for (std::size_t i = 1; i + 1 < y.size(); ++i) {
        if (!filter_.fits(i) || !(sigma_[i] > 0) || grid_.energy(double(i)) < low)
            continue;
        const double r = residual(i);
        if (r > residual(i - 1) && r >= residual(i + 1) && r >= PeakThreshold * noise(i, m[i]))
            peaks.push_back({grid_.energy(double(i)), r / filter_.response(i), r / noise(i, m[i])});
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const ResidualPeak &a, const ResidualPeak &b) { return a.netCounts > b.netCounts; });
    return peaks;
}

std::vector<Cluster> Engine::clusters(const Fit &fit, const std::vector<std::size_t> &positions) const
{
    // The subject's lines (or sums) as fitted, by energy; those closer than
    // half a FWHM make one peak.
    std::vector<CountedPart> items;
    for (const std::size_t i : positions) {
        if (!(fit.amplitudes[i] > 0))
            continue;
        for (const ModelPart &p : model_.column(fit.ids[i]).parts)
            if (p.kind == ModelPart::Kind::Line || p.kind == ModelPart::Kind::Sum)
                items.push_back({&p, fit.amplitudes[i] * p.area});
    }
    std::sort(items.begin(), items.end(),
              [](const CountedPart &a, const CountedPart &b) { return a.part->energy_eV < b.part->energy_eV; });
    std::vector<Cluster> out;
    for (const CountedPart &item : items) {
        const double e = item.part->energy_eV;
        if (!out.empty() && e - out.back().energy_eV < 0.5 * detector_.fwhm(e)) {
            Cluster &c = out.back();
            c.energy_eV = (c.energy_eV * c.counts + e * item.counts) / (c.counts + item.counts);
            c.counts += item.counts;
            if (item.counts > c.strongestCounts) {
                c.strongest = item.part->line;
                c.strongestCounts = item.counts;
            }
            continue;
        }
        out.push_back({e, item.part->fwhm_eV, item.counts, item.part->line, item.counts});
    }
    return out;
}

Engine::Check Engine::check(const Fit &fit, const std::vector<std::size_t> &subject, double target_eV,
                            const std::vector<double> &others)
{
    // Filtered values at single bins: the filter has summed each peak's
    // counts already.
    Check result;
    std::vector<double> mine(grid_.size(), 0.0);
    for (const std::size_t i : subject)
        model_.addValues(fit.ids[i], fit.amplitudes[i], mine);
    const std::vector<double> &y = model_.data();
    const std::size_t t = binOf(target_eV);
    const double observed = y[t] - others[t];
    result.explained = observed > 0 ? mine[t] / observed : 0.0;

    // Each column's amplitude relative to the root of its ties: the bounds
    // multiplied along the way.
    const auto valueAt = [&](std::size_t position, std::size_t bin) {
        const ModelColumn &c = model_.column(fit.ids[position]);
        return bin >= c.first && bin < c.first + c.values.size() ? c.values[bin - c.first] : 0.0;
    };
    struct Range {
        std::size_t root;
        double low = 1, high = 1;
    };
    const auto range = [&](std::size_t position) {
        Range r{position};
        for (std::size_t steps = 0; steps <= fit.ties.size(); ++steps) {
            const auto tie = std::find_if(fit.ties.begin(), fit.ties.end(),
                                          [&](const Tie &x) { return x.column == r.root; });
            if (tie == fit.ties.end() || tie->parent == Tie::Bound)
                break;
            r.low *= tie->low;
            r.high *= tie->high;
            r.root = tie->parent;
        }
        return r;
    };
    // The column that explains the target most.
    std::size_t lead = subject.front();
    for (const std::size_t i : subject)
        if (fit.amplitudes[i] * valueAt(i, t) > fit.amplitudes[lead] * valueAt(lead, t))
            lead = i;
    const Range leadRange = range(lead);
    // Every other peak of the subject, at the least the ties allow beside
    // the lead's amplitude: if the spectrum shows much less, the subject
    // cannot be there.
    for (const std::size_t i : subject) {
        const Range r = range(i);
        if (i == lead || r.root != leadRange.root)
            continue;
        const ModelColumn &column = model_.column(fit.ids[i]);
        double weight = 0, energy = 0;
        const xray::Line *strongest = nullptr;
        double strongestArea = 0;
        for (const ModelPart &p : column.parts)
            if (p.kind == ModelPart::Kind::Line) {
                weight += p.area;
                energy += p.area * p.energy_eV;
                if (p.area > strongestArea) {
                    strongestArea = p.area;
                    strongest = p.line;
                }
            }
        if (!(weight > 0))
            continue;
        const std::size_t b = binOf(energy / weight);
        // The subject need explain only ExplainShare of the target (other
        // elements may share the peak): its lead at the least amplitude
        // that does.
        const double leadLeast = fit.amplitudes[lead] * ExplainShare / std::max(result.explained, ExplainShare);
        const double least = r.low / leadRange.high * leadLeast * valueAt(i, b);
        const double rest = y[b] - others[b] - (mine[b] - fit.amplitudes[i] * valueAt(i, b));
        const double sigma = noise(b, mine[b] + others[b]);
        if (least >= StrongPartner * sigma && rest < MissingShare * least - 3 * sigma)
            result.missing.push_back({energy / weight, 0, least, strongest, least});
    }
    // A low-energy peak: the subject's strongest line (by the model) above
    // the limit, well excited, must stand out by three standard deviations.
    for (const EvidenceRule &rule : EvidenceRules) {
        if (target_eV >= rule.below_eV || result.unseen)
            continue;
        const ModelPart *hard = nullptr;
        const xray::Family family = model_.column(fit.ids[lead]).family;
        for (const std::size_t i : subject)
            for (const ModelPart &p : model_.column(fit.ids[i]).parts) {
                if (p.kind != ModelPart::Kind::Line || p.energy_eV < rule.below_eV || p.line->family == family
                    || (hard && p.area <= hard->area))
                    continue;
                const double edge = xray::excitationEdge_eV(*p.line);
                if (!beam_ || (edge > 0 && *beam_ / edge >= rule.overvoltage))
                    hard = &p;
            }
        if (hard) {
            const std::size_t b = binOf(hard->energy_eV);
            if (y[b] - others[b] < 3 * noise(b, others[b]))
                result.unseen = Cluster{hard->energy_eV, hard->fwhm_eV, 0, hard->line, 0};
        }
    }
    return result;
}

std::optional<std::string> Engine::scatter(double energy_eV) const
{
    if (electrons_ || !beam_)
        return std::nullopt;
    const double beam = *beam_, width = detector_.fwhm(beam);
    if (std::fabs(energy_eV - beam) <= width)
        return "the beam scattered by the sample (Rayleigh, at the beam energy), no element's line";
    const double backscattered = beam / (1 + 2 * beam / xray::ElectronRestEnergy_eV);
    if (energy_eV < beam && energy_eV >= backscattered - width)
        return "the beam scattered by the sample (Compton, below the beam energy), no element's line";
    return std::nullopt;
}

std::optional<std::string> Engine::refusal(int Z, const Check &c)
{
    if (!c.missing.empty()) {
        const Cluster &m = c.missing.front();
        return symbol(Z) + " (its " + (m.strongest ? lineName(*m.strongest) : std::string("line")) + " at "
               + keVText(m.energy_eV) + " is missing)";
    }
    if (c.unseen)
        return symbol(Z) + " (its " + lineName(*c.unseen->strongest) + " at " + keVText(c.unseen->energy_eV)
               + " is not seen)";
    if (c.explained < ExplainShare)
        return symbol(Z) + " (fits the peak poorly)";
    return std::nullopt;
}

bool Engine::lineLike(const ResidualPeak &target)
{
    // Against what the model leaves, over +-3 FWHM: a line of the
    // detector's width at the target, and a hump three times as wide (the
    // continuum's curvature, a Compton peak). The line must stand out on its
    // own by PeakThreshold standard deviations.
    const double fwhm = detector_.fwhm(target.energy_eV);
    const auto filtered = [&](double width) {
        ModelColumn c;
        c.parts.push_back({ModelPart::Kind::Line, nullptr, nullptr, nullptr, target.energy_eV, width, 1.0});
        renderColumn(c, grid_);
        std::size_t first = 0;
        std::vector<double> values = filter_.applyLocal(c.values, c.first, first);
        std::vector<double> full(grid_.size(), 0.0);
        for (std::size_t k = 0; k < values.size(); ++k)
            full[first + k] = values[k];
        return full;
    };
    const std::vector<double> line = filtered(fwhm), hump = filtered(3 * fwhm);
    const std::vector<double> m = model_.values(current_.ids, current_.amplitudes);
    const std::vector<double> &y = model_.data();
    const double n = double(grid_.size());
    const double b0 = std::clamp(std::ceil(grid_.bin(target.energy_eV - 3 * fwhm)), 0.0, n - 1);
    const double b1 = std::clamp(std::floor(grid_.bin(target.energy_eV + 3 * fwhm)), 0.0, n - 1);
    double ll = 0, lh = 0, hh = 0, ly = 0, hy = 0;
    for (double bin = b0; bin <= b1; ++bin) {
        const std::size_t b = std::size_t(bin);
        if (!filter_.fits(b))
            continue;
        const double s = noise(b, m[b]);
        const double w = 1 / (s * s * filter_.correlation(b));
        const double r = y[b] - m[b];
        ll += w * line[b] * line[b];
        lh += w * line[b] * hump[b];
        hh += w * hump[b] * hump[b];
        ly += w * line[b] * r;
        hy += w * hump[b] * r;
    }
    const double det = ll * hh - lh * lh;
    if (!(det > 0))
        return true;
    const double a = (ly * hh - hy * lh) / det;
    const double sigma = std::sqrt(hh / det);
    return a >= PeakThreshold * sigma;
}

bool Engine::tryPileUp(const ResidualPeak &target)
{
    const std::optional<std::size_t> column = pileUpColumn(current_);
    if (!column)
        return false;
    Fit f = fitWith(accepted_, column, false);
    const std::size_t position = 0;
    const double share = f.amplitudes[position];
    if (!(share > 0) || share > MaxPileUp || current_.chiSquare - f.chiSquare < AcceptSums)
        return false;
    std::vector<double> others(grid_.size(), 0.0);
    for (std::size_t i = 0; i < f.ids.size(); ++i)
        if (i != position)
            model_.addValues(f.ids[i], f.amplitudes[i], others);
    const Check c = check(f, {position}, target.energy_eV, others);
    if (c.explained < ExplainShare || !c.missing.empty())
        return false;
    pileUpId_ = column;
    current_ = std::move(f);
    return true;
}

bool Engine::tryElements(const ResidualPeak &target, std::string &why)
{
    // The elements with a line there.
    xray::FindOptions find;
    find.tolerance_eV = CandidateTolerance * detector_.fwhm(target.energy_eV);
    find.beam_eV = beam_;
    std::vector<int> zs;
    for (const xray::Candidate &c : xray::findLines(target.energy_eV, detector_, find).candidates) {
        const int Z = c.line->Z;
        if (c.kind != xray::CandidateKind::Line || c.line->relative < 0.02
            || std::find(zs.begin(), zs.end(), Z) != zs.end()
            || std::find(accepted_.begin(), accepted_.end(), Z) != accepted_.end()
            || std::find(options_.exclude.begin(), options_.exclude.end(), Z) != options_.exclude.end())
            continue;
        zs.push_back(Z);
    }
    // The quick test: each candidate alone against what the model leaves.
    const std::vector<double> model = model_.values(current_.ids, current_.amplitudes);
    struct Quick {
        int Z;
        double gain;
    };
    std::vector<Quick> passed;
    std::vector<std::string> refused;
    for (const int Z : zs) {
        if (model_.work() > maxWork(options_))
            break; // the search stops at the next round; its candidates' models cost work too
        const ElementModel &em = element(Z);
        if (em.ids.empty())
            continue;
        const std::size_t k = em.ids.size();
        SquareMatrix G(k);
        std::vector<double> g(k);
        for (std::size_t i = 0; i < k; ++i) {
            g[i] = model_.gy(em.ids[i]);
            for (std::size_t j = 0; j < current_.ids.size(); ++j)
                if (current_.amplitudes[j] != 0)
                    g[i] -= current_.amplitudes[j] * model_.gram(em.ids[i], current_.ids[j]);
            for (std::size_t j = 0; j <= i; ++j)
                G(i, j) = G(j, i) = model_.gram(em.ids[i], em.ids[j]);
        }
        const std::vector<Tie> ties = tiesIn(em, accepted_);
        const std::vector<double> a = tiedLeastSquares(G, g, ties, &model_.workCounter());
        double gain = 0;
        for (std::size_t i = 0; i < k; ++i) {
            gain += 2 * a[i] * g[i];
            for (std::size_t j = 0; j < k; ++j)
                gain -= a[i] * a[j] * G(i, j);
        }
        const double needed = acceptance(Z) + 2.0 * double(k);
        if (gain < needed)
            continue; // explains nothing worth naming
        Fit alone{em.ids, ties, a, 0};
        std::vector<std::size_t> all(k);
        for (std::size_t i = 0; i < k; ++i)
            all[i] = i;
        if (const auto why = refusal(Z, check(alone, all, target.energy_eV, model))) {
            refused.push_back(*why);
            continue;
        }
        passed.push_back({Z, gain});
    }
    std::sort(passed.begin(), passed.end(), [](const Quick &a, const Quick &b) { return a.gain > b.gain; });
    if (passed.size() > JointRefits)
        passed.resize(JointRefits);

    // The best few, fitted again together with everything accepted.
    std::vector<Candidate> good;
    for (const Quick &q : passed) {
        std::vector<int> with = accepted_;
        with.push_back(q.Z);
        Fit f = fitWith(with, pileUpId_, false, stepsNear(q.Z), overlapping(q.Z, with));
        const double gain = current_.chiSquare - f.chiSquare;
        const std::size_t columns = element(q.Z).ids.size();
        if (gain < acceptance(q.Z) + 2.0 * double(columns)) {
            refused.push_back(symbol(q.Z) + " (the elements found explain it as well)");
            continue;
        }
        const std::vector<std::size_t> mine = positionsOf(f, q.Z);
        std::vector<double> others(grid_.size(), 0.0);
        for (std::size_t i = 0; i < f.ids.size(); ++i)
            if (std::find(mine.begin(), mine.end(), i) == mine.end())
                model_.addValues(f.ids[i], f.amplitudes[i], others);
        if (const auto why = refusal(q.Z, check(f, mine, target.energy_eV, others))) {
            refused.push_back(*why);
            continue;
        }
        good.push_back({q.Z, gain, std::move(f), columns});
    }
    if (good.empty()) {
        why = refused.empty() ? std::string("no element has a line there that fits")
                              : "tried " + [&] {
                                    std::string list;
                                    for (std::size_t i = 0; i < refused.size() && i < 4; ++i)
                                        list += (i ? ", " : "") + refused[i];
                                    return list;
                                }();
        return false;
    }
    const auto best = std::max_element(good.begin(), good.end(),
                                       [](const Candidate &a, const Candidate &b) { return a.gain < b.gain; });
    // Why this one: the peak, its line there, and the others.
    const Fit &f = best->fit;
    const std::vector<std::size_t> mine = positionsOf(f, best->Z);
    const std::vector<Cluster> lines = clusters(f, mine);
    const Cluster *at = nullptr;
    for (const Cluster &c : lines)
        if (!at || std::fabs(c.energy_eV - target.energy_eV) < std::fabs(at->energy_eV - target.energy_eV))
            at = &c;
    std::string reason = "the peak at " + keVText(target.energy_eV);
    if (at && at->strongest)
        reason += " is its " + lineName(*at->strongest);
    std::vector<std::string> partners;
    for (const Cluster &c : lines)
        if (&c != at && c.strongest && c.counts >= 0.05 * (at ? at->counts : 0.0) && partners.size() < 3)
            partners.push_back(lineName(*c.strongest) + " at " + keVText(c.energy_eV));
    if (!partners.empty()) {
        reason += ", with ";
        for (std::size_t i = 0; i < partners.size(); ++i)
            reason += (i ? (i + 1 == partners.size() ? " and " : ", ") : "") + partners[i];
    }
    std::vector<std::string> rivals;
    for (const Candidate &c : good)
        if (&c != &*best)
            rivals.push_back(symbol(c.Z) + " (fits less well)");
    rivals.insert(rivals.end(), refused.begin(), refused.end());
    if (!rivals.empty()) {
        reason += "; rather than ";
        for (std::size_t i = 0; i < rivals.size() && i < 3; ++i)
            reason += (i ? ", " : "") + rivals[i];
    }
    reasons_[best->Z] = reason;
    uncontested_[best->Z] = good.size() == 1;
    accepted_.push_back(best->Z);
    current_ = std::move(best->fit);
    return true;
}

double Engine::removalCost(int Z)
{
    // The elements its peaks touch fitted again without it; the others as
    // they are.
    std::vector<int> without;
    for (const int other : accepted_)
        if (other != Z)
            without.push_back(other);
    std::vector<int> free = overlapping(Z, accepted_);
    std::erase(free, Z);
    return fitWith(without, pileUpId_, true, {}, free).chiSquare - current_.chiSquare;
}

void Engine::prune()
{
    // Weakest first: an element whose lines the others explain as well goes.
    // Each pass weighs every element; the last one's costs are the
    // elements' significances.
    while (model_.work() < 2 * maxWork(options_)) {
        rises_.clear();
        for (const int Z : accepted_)
            if (std::find(options_.require.begin(), options_.require.end(), Z) == options_.require.end())
                rises_[Z] = removalCost(Z);
        const auto weakest = std::min_element(rises_.begin(), rises_.end(),
                                              [](const auto &a, const auto &b) { return a.second < b.second; });
        if (weakest == rises_.end()
            || weakest->second >= AcceptChiSquare + 2.0 * double(element(weakest->first).ids.size()))
            return;
        const int Z = weakest->first;
        std::vector<int> free = overlapping(Z, accepted_);
        std::erase(free, Z);
        std::erase(accepted_, Z);
        current_ = fitWith(accepted_, pileUpId_, true, {}, free);
    }
    rises_.clear();
}

void Engine::run()
{
    for (const int Z : options_.require)
        if (xray::hasLines(Z) && std::find(accepted_.begin(), accepted_.end(), Z) == accepted_.end()) {
            accepted_.push_back(Z);
            reasons_[Z] = "required";
        }
    current_ = fitWith(accepted_, std::nullopt);
    std::vector<double> tried; // energies of peaks nothing explained
    // Every acceptance explains at least one peak. The bounds keep the work
    // bounded on spectra unlike any an instrument makes (a smooth curve
    // read as a spectrum takes element after element).
    for (int round = 0;; ++round) {
        if (round == MaxRounds || accepted_.size() >= MaxElements || model_.work() > maxWork(options_)) {
            result_.notes.push_back({Note::Kind::Stopped,
                                     "stopped after " + std::to_string(accepted_.size()) + " elements and "
                                         + std::to_string(round)
                                         + " peaks tried: the spectrum is not one this method can take apart",
                                     int(accepted_.size()), round});
            break;
        }
        const std::vector<ResidualPeak> peaks = residualPeaks(current_);
        const ResidualPeak *target = nullptr;
        for (const ResidualPeak &p : peaks) {
            const bool done = std::any_of(tried.begin(), tried.end(), [&](double e) {
                return std::fabs(e - p.energy_eV) < 0.5 * detector_.fwhm(p.energy_eV);
            });
            if (!done) {
                target = &p;
                break;
            }
        }
        if (!target)
            break;
        // Sum peaks first: groups of them are wider than one line.
        if (!accepted_.empty() && tryPileUp(*target))
            continue;
        if (const auto why = scatter(target->energy_eV)) {
            tried.push_back(target->energy_eV);
            unexplained_.emplace_back(target->energy_eV, *why);
            continue;
        }
        if (!lineLike(*target)) {
            tried.push_back(target->energy_eV);
            unexplained_.emplace_back(target->energy_eV, "wider than a line: the shape of the continuum, or scattered "
                                                         "radiation");
            continue;
        }
        std::string why;
        if (tryElements(*target, why))
            continue;
        tried.push_back(target->energy_eV);
        unexplained_.emplace_back(target->energy_eV, why);
    }
    prune();
    if (!pileUpId_ && !accepted_.empty()) {
        // Sum peaks too weak to stand out one by one may still be there
        // together: the one amplitude that predicts them all, if it helps by
        // three standard deviations and is plausible.
        if (const auto column = pileUpColumn(current_)) {
            Fit f = fitWith(accepted_, column);
            const double share = f.amplitudes.front();
            if (share > 0 && share <= MaxPileUp && current_.chiSquare - f.chiSquare >= AcceptSums) {
                pileUpId_ = column;
                current_ = std::move(f);
            }
        }
    }
    if (pileUpId_) {
        // The sum peaks as the final elements make them.
        if (const auto column = pileUpColumn(current_)) {
            pileUpId_ = column;
            current_ = fitWith(accepted_, pileUpId_);
        }
    }
}

void Engine::finish(const std::vector<Peak> &peaks)
{
    const Fit &f = current_;
    const std::vector<double> model = model_.values(f.ids, f.amplitudes);
    // Each element's significance: how much chi-square rises without it (as
    // pruning last measured it).
    std::map<int, double> significance;
    for (const int Z : accepted_) {
        const auto known = rises_.find(Z);
        significance[Z] = std::sqrt(std::max(0.0, known != rises_.end() ? known->second : removalCost(Z)));
    }
    // The peaks: those found, and residual peaks nothing explained that
    // the search did not list (shoulders of larger peaks).
    std::vector<Peak> all = peaks;
    for (const ResidualPeak &r : residualPeaks(f)) {
        const bool listed = std::any_of(all.begin(), all.end(), [&](const Peak &p) {
            return std::fabs(p.energy_eV - r.energy_eV) < 0.5 * detector_.fwhm(r.energy_eV);
        });
        if (!listed)
            all.push_back({r.energy_eV, r.netCounts, 0, r.significance, false});
    }
    std::sort(all.begin(), all.end(), [](const Peak &a, const Peak &b) { return a.energy_eV < b.energy_eV; });

    std::map<int, std::vector<const xray::Line *>> seen;
    std::map<int, int> peaksOf;
    for (const Peak &p : all) {
        IdentifiedPeak out;
        out.peak = p;
        out.peak.netCounts *= grid_.scale;
        if (p.zero) {
            out.assignment.kind = AssignmentKind::Zero;
            out.explained = 1;
            result_.peaks.push_back(out);
            continue;
        }
        const double half = 0.5 * detector_.fwhm(p.energy_eV);
        const double lo = p.energy_eV - half, hi = p.energy_eV + half;
        // What each line, escape and sum puts into the window.
        std::vector<CountedPart> shares;
        double modelled = 0;
        for (std::size_t i = 0; i < f.ids.size(); ++i) {
            if (!(f.amplitudes[i] > 0))
                continue;
            for (const ModelPart &part : model_.column(f.ids[i]).parts) {
                if (part.kind == ModelPart::Kind::Zero || part.kind == ModelPart::Kind::Step)
                    continue;
                const double counts = f.amplitudes[i] * partAreaBetween(part, lo, hi);
                if (counts <= 0)
                    continue;
                modelled += counts;
                const auto same = std::find_if(shares.begin(), shares.end(), [&](const CountedPart &s) {
                    return s.part->kind == part.kind && s.part->line == part.line && s.part->second == part.second
                           && s.part->escape == part.escape;
                });
                if (same != shares.end())
                    same->counts += counts;
                else
                    shares.push_back({&part, counts});
            }
        }
        const std::size_t b = binOf(p.energy_eV);
        const double observed = model_.data()[b];
        out.explained = observed > 0 ? std::clamp(model[b] / observed, 0.0, 9.99) : 0.0;
        // A step of the continuum at an edge of the window or the detector
        // is no peak: left out, with a note.
        double steps = 0, largest = 0;
        int stepZ = 0;
        for (std::size_t i = 0; i < f.ids.size(); ++i) {
            const ModelColumn &c = model_.column(f.ids[i]);
            if (c.Z < 0 && b >= c.first && b < c.first + c.values.size() && f.amplitudes[i] > 0) {
                const double v = f.amplitudes[i] * c.values[b - c.first];
                steps += v;
                if (v > largest) {
                    largest = v;
                    stepZ = -c.Z;
                }
            }
        }
        if (observed > 0 && steps >= ExplainShare * observed) {
            Note note{Note::Kind::WindowEdge,
                      "the rise at " + keVText(p.energy_eV) + " is the continuum's step at the " + symbol(stepZ)
                          + " absorption edge of the detector's window or crystal, not a peak"};
            note.energy_eV = p.energy_eV;
            note.Z = stepZ;
            result_.notes.push_back(std::move(note));
            continue;
        }
        // Lines of one group (K-alpha1 and 2, L-beta1, 2, 3...) count
        // together: 2 x Ti Ka is Ka1 + Ka1 and Ka1 + Ka2 alike. The group
        // with the most counts wins, named by its strongest lines (Ka1) of
        // those that put at least half as much there as any of the group:
        // a group can span more than a peak (Cu Lb1 at 0.95 keV, Lb3 and
        // Lb4 at 1.02 keV), and the peak takes the name of what is in it.
        const auto groupOf = [](const ModelPart &part) {
            const auto key = [](const xray::Line *l) {
                if (!l)
                    return std::string();
                std::string name(l->siegbahn().empty() ? l->iupac() : l->siegbahn().substr(0, 2));
                return std::to_string(l->Z) + name;
            };
            return std::to_string(int(part.kind)) + key(part.line) + "/" + key(part.second) + "/"
                   + (part.escape ? std::string(part.escape->iupac()) : std::string());
        };
        std::map<std::string, double> groups;
        for (const CountedPart &s : shares)
            groups[groupOf(*s.part)] += s.counts;
        const auto strength = [](const ModelPart &part) {
            return (part.line ? part.line->relative : 0.0) + (part.second ? part.second->relative : 0.0);
        };
        std::map<std::string, double> mostInGroup;
        for (const CountedPart &s : shares) {
            double &most = mostInGroup[groupOf(*s.part)];
            most = std::max(most, s.counts);
        }
        const auto best = std::max_element(shares.begin(), shares.end(), [&](const CountedPart &a, const CountedPart &b) {
            const std::string ka = groupOf(*a.part), kb = groupOf(*b.part);
            const double ga = groups[ka], gb = groups[kb];
            if (ga != gb)
                return ga < gb;
            const bool aIn = a.counts >= 0.5 * mostInGroup[ka], bIn = b.counts >= 0.5 * mostInGroup[kb];
            if (aIn != bIn)
                return bIn;
            if (strength(*a.part) != strength(*b.part))
                return strength(*a.part) < strength(*b.part);
            return a.counts < b.counts;
        });
        if (p.energy_eV < lowestLine()) {
            out.assignment.kind = AssignmentKind::Unexplained;
            out.reason = "below " + keVText(lowestLine()) + ", in the noise peak's reach, where no line is looked for";
            result_.peaks.push_back(out);
            continue;
        }
        if (best == shares.end() || out.explained < ExplainShare) {
            out.assignment.kind = AssignmentKind::Unexplained;
            for (const auto &[energy, why] : unexplained_)
                if (std::fabs(energy - p.energy_eV) < half)
                    out.reason = why;
            if (out.reason.empty())
                out.reason = scatter(p.energy_eV).value_or("");
            if (out.reason.empty())
                out.reason = best == shares.end() ? "no element found explains it"
                                                  : "the elements found explain only part of it";
            result_.peaks.push_back(out);
            continue;
        }
        const ModelPart &part = *best->part;
        out.assignment.line = part.line;
        out.assignment.second = part.second;
        out.assignment.escape = part.escape;
        switch (part.kind) {
        case ModelPart::Kind::Line:
            out.assignment.kind = AssignmentKind::Line;
            seen[part.line->Z].push_back(part.line);
            ++peaksOf[part.line->Z];
            break;
        case ModelPart::Kind::Escape:
            out.assignment.kind = AssignmentKind::Escape;
            break;
        case ModelPart::Kind::Sum:
            out.assignment.kind = AssignmentKind::Sum;
            break;
        case ModelPart::Kind::Zero:
        case ModelPart::Kind::Step:
            out.assignment.kind = AssignmentKind::Zero;
            break;
        }
        // Lines of other elements that make up much of the peak are seen too.
        for (const CountedPart &s : shares)
            if (s.part != best->part && s.part->kind == ModelPart::Kind::Line && s.counts >= 0.3 * modelled)
                seen[s.part->line->Z].push_back(s.part->line);
        result_.peaks.push_back(out);
    }

    for (const int Z : accepted_) {
        IdentifiedElement e;
        e.Z = Z;
        e.required = std::find(options_.require.begin(), options_.require.end(), Z) != options_.require.end();
        e.significance = significance[Z];
        std::vector<const xray::Line *> lines = seen[Z];
        std::sort(lines.begin(), lines.end(),
                  [](const xray::Line *a, const xray::Line *b) { return a->energy_eV < b->energy_eV; });
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        e.lines = lines;
        const int explains = peaksOf[Z];
        const bool alone = uncontested_.count(Z) && uncontested_[Z];
        if (e.significance >= 10 && (explains >= 2 || alone))
            e.confidence = Confidence::Certain;
        else if (e.significance >= 10 || (e.significance >= 6 && explains >= 2))
            e.confidence = Confidence::Probable;
        else
            e.confidence = Confidence::Possible;
        e.reason = reasons_[Z];
        if (e.required && e.significance < 3)
            e.reason = "required; its lines are not seen";
        result_.elements.push_back(e);
    }
    std::sort(result_.elements.begin(), result_.elements.end(),
              [](const IdentifiedElement &a, const IdentifiedElement &b) { return a.significance > b.significance; });
    std::size_t unexplained = 0;
    for (const IdentifiedPeak &p : result_.peaks)
        unexplained += p.assignment.kind == AssignmentKind::Unexplained;
    if (unexplained)
        result_.notes.push_back({Note::Kind::Unexplained,
                                 std::to_string(unexplained) + (unexplained == 1 ? " peak" : " peaks")
                                     + " left unexplained",
                                 int(unexplained)});
}

bool containsXrf(const std::string &signalType)
{
    for (std::size_t i = 0; i + 3 <= signalType.size(); ++i)
        if (xray::asciiLower(signalType[i]) == 'x' && xray::asciiLower(signalType[i + 1]) == 'r'
            && xray::asciiLower(signalType[i + 2]) == 'f')
            return true;
    return false;
}

// The detector's FWHM at Mn K-alpha from what the file says, if sensible.
std::optional<double> fileFwhm(const Spectrum &s)
{
    const Resolution &r = s.meta.resolution;
    std::optional<double> fwhm = r.fwhmMnKa_eV;
    if (!fwhm && r.sigmaAbs_keV2 && r.sigmaLin_keV) {
        // sigma^2 = SigmaAbs + SigmaLin E, sigma and E in keV.
        const double variance = *r.sigmaAbs_keV2 + *r.sigmaLin_keV * xray::table::MnKalpha_eV / 1000;
        if (variance > 0)
            fwhm = FwhmPerSigma * std::sqrt(variance) * 1000;
    }
    if (fwhm && *fwhm >= 30 && *fwhm <= 1000)
        return fwhm;
    return std::nullopt;
}

} // namespace

std::string_view confidenceName(Confidence confidence)
{
    constexpr std::string_view names[] = {"certain", "probable", "possible"};
    return names[static_cast<int>(confidence)];
}

std::string_view assignmentKindName(AssignmentKind kind)
{
    constexpr std::string_view names[] = {"line", "escape", "sum", "zero", "unexplained"};
    return names[static_cast<int>(kind)];
}

Result<Identification> identify(const Spectrum &spectrum, const IdentifyOptions &options)
{
    if (!spectrum.calibration)
        return Error{"the spectrum is not calibrated: its channels have no energies, so its peaks cannot be "
                     "named (calibrate it first, from two known peaks)"};
    Identification out;
    out.material = options.material;
    if (options.beam_kV) {
        out.beam_kV = options.beam_kV;
    } else if (spectrum.meta.beam_kV && *spectrum.meta.beam_kV > 0 && *spectrum.meta.beam_kV <= 1000) {
        out.beam_kV = spectrum.meta.beam_kV;
        out.beamFromFile = true;
    }
    if (!out.beam_kV)
        out.notes.push_back({Note::Kind::NoBeam, "no beam energy: every line counts as excited, and the families "
                                                 "of an element are weighed freely (--beam KV)"});
    double fwhm = xray::defaultFwhm(options.material);
    if (options.fwhmMnKa_eV) {
        fwhm = *options.fwhmMnKa_eV;
        out.fwhmSource = Identification::FwhmSource::Given;
    } else if (const auto f = fileFwhm(spectrum)) {
        fwhm = *f;
        out.fwhmSource = Identification::FwhmSource::File;
    }
    xray::Detector detector(options.material, fwhm);
    const WorkGrid grid = workGrid(spectrum, detector);
    out.fwhmMnKa_eV = fwhm;
    const bool anyCounts = std::any_of(grid.counts.begin(), grid.counts.end(), [](double c) { return c > 0; });
    if (grid.size() < 8 || !anyCounts) {
        out.notes.push_back(grid.size() < 8
                                ? Note{Note::Kind::TooFewChannels, "no peaks: too few channels in the X-ray range"}
                                : Note{Note::Kind::NoCounts, "no peaks: the spectrum holds no counts"});
        return out;
    }
    if (grid.scale != 1)
        out.notes.push_back({Note::Kind::Scaled,
                             "counts above 1e15 a channel are no photon counts: scaled down before looking for peaks"});
    if (grid.channelsPerBin > 1)
        out.notes.push_back({Note::Kind::Summed,
                             "channels summed in groups of " + std::to_string(grid.channelsPerBin)
                                 + ", much narrower than the detector's resolution",
                             int(grid.channelsPerBin)});

    // X-ray fluorescence, by the file's signal type ("XRF", "XRF-...").
    const bool electrons = !options.xrf && !containsXrf(spectrum.meta.signalType);
    if (!electrons)
        out.notes.push_back({Note::Kind::Xrf, "an X-ray fluorescence spectrum: the families of an element are "
                                              "weighed freely, and its deeper subshells may fall short"});
    std::vector<double> background = snipBackground(grid, detector);
    std::vector<Peak> peaks = findPeaks(grid, background, detector);
    if (out.fwhmSource == Identification::FwhmSource::Usual) {
        const std::optional<double> beam = out.beam_kV ? std::optional(*out.beam_kV * 1000) : std::nullopt;
        if (const auto estimate = estimateFwhm(grid, peaks, options.material, beam, electrons)) {
            fwhm = estimate->fwhmMnKa_eV;
            out.fwhmSource = Identification::FwhmSource::Estimated;
            detector = xray::Detector(options.material, fwhm);
            background = snipBackground(grid, detector);
            peaks = findPeaks(grid, background, detector);
        }
    }
    out.fwhmMnKa_eV = fwhm;
    const bool anyPeak = std::any_of(peaks.begin(), peaks.end(), [](const Peak &p) { return !p.zero; });
    if (!anyPeak && options.require.empty()) {
        out.notes.push_back({Note::Kind::Flat, "no peaks: the spectrum is flat (nothing stands out from its noise)"});
        for (Peak &p : peaks) {
            p.netCounts *= grid.scale;
            out.peaks.push_back({p, {AssignmentKind::Zero, nullptr, nullptr, nullptr}, 1, {}});
        }
        return out;
    }
    const std::optional<double> beam_eV = out.beam_kV ? std::optional(*out.beam_kV * 1000) : std::nullopt;
    std::optional<Engine> engine;
    engine.emplace(grid, background, detector, detector, beam_eV, options, peaks, electrons);
    engine->run();
    if (out.fwhmSource == Identification::FwhmSource::Usual && !engine->accepted().empty()
        && engine->accepted().size() <= MaxRefineElements
        && engine->work() <= std::min(MaxRefineWork, maxWork(options) / 8)) {
        // No peak gave the resolution: the FWHM that fits the lines found
        // best, the filter held as it was, by golden-section search over 25 %
        // either way of the usual resolution; then everything again with it.
        const std::vector<int> elements = engine->accepted();
        const bool sums = engine->hasSums();
        const auto chiSquare = [&](double f) {
            Engine trial(grid, background, xray::Detector(options.material, f), detector, beam_eV, options, peaks,
                         electrons);
            return trial.chiSquareWith(elements, sums);
        };
        const double refined = goldenSectionMinimum(chiSquare, 0.75 * fwhm, 1.25 * fwhm, 0.005 * fwhm);
        if (std::fabs(refined / fwhm - 1) > 0.01) {
            fwhm = refined;
            detector = xray::Detector(options.material, fwhm);
            background = snipBackground(grid, detector);
            peaks = findPeaks(grid, background, detector);
            engine.emplace(grid, background, detector, detector, beam_eV, options, peaks, electrons);
            engine->run();
        }
        out.fwhmSource = Identification::FwhmSource::Estimated;
        out.fwhmMnKa_eV = fwhm;
    }
    engine->finish(peaks);
    Identification &found = engine->result();
    out.elements = std::move(found.elements);
    out.peaks = std::move(found.peaks);
    out.notes.insert(out.notes.end(), found.notes.begin(), found.notes.end());
    return out;
}

} // namespace spectrum
