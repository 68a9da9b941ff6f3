// Automatic identification: the driver. It reads the options and what the
// file says, finds the peaks and the detector's resolution, and runs the
// search (search.h), refining the resolution against the elements found
// when no peak gave it.
#include "identify.h"

#include "background.h"
#include "minimise.h"
#include "resolution.h"
#include "search.h"
#include "settings.h"
#include "workgrid.h"

#include "xray/detector.h"
#include "xray/textutil.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace identify {

namespace {

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

bool containsXrf(const std::string &signalType)
{
    for (std::size_t i = 0; i + 3 <= signalType.size(); ++i)
        if (xray::asciiLower(signalType[i]) == 'x' && xray::asciiLower(signalType[i + 1]) == 'r'
            && xray::asciiLower(signalType[i + 2]) == 'f')
            return true;
    return false;
}

// The detector's FWHM at Mn K-alpha from what the file says, if sensible.
std::optional<double> fileFwhm(const spectrum::Spectrum &s)
{
    const spectrum::Resolution &r = s.meta.resolution;
    std::optional<double> fwhm = r.fwhmMnKa_eV;
    if (!fwhm && r.sigmaAbs_keV2 && r.sigmaLin_keV) {
        // sigma^2 = SigmaAbs + SigmaLin E, sigma and E in keV.
        const double variance = *r.sigmaAbs_keV2 + *r.sigmaLin_keV * xray::mnKalpha_eV() / 1000;
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

spectrum::Result<Identification> identify(const spectrum::Spectrum &spectrum, const IdentifyOptions &options)
{
    if (!spectrum.calibration)
        return spectrum::Error{"the spectrum is not calibrated: its channels have no energies, so its peaks "
                               "cannot be named (calibrate it first, from two known peaks)"};
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
    std::optional<Search> engine;
    engine.emplace(grid, background, detector, detector, beam_eV, options, peaks, electrons);
    engine->run();
    if (out.fwhmSource == Identification::FwhmSource::Usual && !engine->accepted().empty()
        && engine->accepted().size() <= MaxRefineElements && engine->work() <= MaxRefineWork) {
        // No peak gave the resolution: the FWHM that fits the lines found
        // best, the filter held as it was, by golden-section search over 25 %
        // either way of the usual resolution; then everything again with it.
        const std::vector<int> elements = engine->accepted();
        const bool sums = engine->hasSums();
        const auto chiSquare = [&](double f) {
            Search trial(grid, background, xray::Detector(options.material, f), detector, beam_eV, options, peaks,
                         electrons);
            return trial.chiSquareWith(elements, sums);
        };
        const double refined = goldenSectionMinimum(chiSquare, RefineLow * fwhm, RefineHigh * fwhm, RefineTolerance * fwhm);
        if (std::fabs(refined / fwhm - 1) > RefineMinChange) {
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
    Identification found = engine->finish(peaks);
    out.elements = std::move(found.elements);
    out.peaks = std::move(found.peaks);
    out.notes.insert(out.notes.end(), found.notes.begin(), found.notes.end());
    return out;
}

} // namespace identify
