// Automatic identification: the driver. It reads the options and what the
// file says, finds the peaks and the detector's resolution, and runs the
// search (search.h); then it measures the detector's response on the peaks
// of the elements found (refineresponse.h) and searches again where that
// moves the model.
#include "identify.h"

#include "background.h"
#include "finalfit.h"
#include "refineresponse.h"
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

// The beam energy: as given, else the file's if sensible; without one, a
// note.
void takeBeam(Identification &out, const spectrum::Spectrum &spectrum, const IdentifyOptions &options)
{
    if (options.beam_kV) {
        out.beam_kV = options.beam_kV;
    } else if (spectrum.meta.beam_kV && *spectrum.meta.beam_kV > 0 && *spectrum.meta.beam_kV <= 1000) {
        out.beam_kV = spectrum.meta.beam_kV;
        out.beamFromFile = true;
    }
    if (!out.beam_kV)
        out.notes.push_back({Note::Kind::NoBeam, "no beam energy: every line counts as excited, and the families "
                                                 "of an element are weighed freely (--beam KV)"});
}

// The FWHM at Mn K-alpha to start from: as given, else the file's, else the
// material's usual one; its source goes into `out`.
double startingFwhm(Identification &out, const spectrum::Spectrum &spectrum, const IdentifyOptions &options)
{
    if (options.fwhmMnKa_eV) {
        out.fwhmSource = Identification::FwhmSource::Given;
        return *options.fwhmMnKa_eV;
    }
    if (const auto f = fileFwhm(spectrum)) {
        out.fwhmSource = Identification::FwhmSource::File;
        return *f;
    }
    return xray::defaultFwhm(options.material);
}

// The notes on the work grid; false, with the note why, when it holds no
// peaks to look for.
bool noteGrid(Identification &out, const WorkGrid &grid)
{
    const bool anyCounts = std::any_of(grid.counts.begin(), grid.counts.end(), [](double c) { return c > 0; });
    if (grid.size() < 8 || !anyCounts) {
        out.notes.push_back(grid.size() < 8
                                ? Note{Note::Kind::TooFewChannels, "no peaks: too few channels in the X-ray range"}
                                : Note{Note::Kind::NoCounts, "no peaks: the spectrum holds no counts"});
        return false;
    }
    if (grid.scale != 1)
        out.notes.push_back({Note::Kind::Scaled,
                             "counts above 1e15 a channel are no photon counts: scaled down before looking for peaks"});
    if (grid.channelsPerBin > 1)
        out.notes.push_back({Note::Kind::Summed,
                             "channels summed in groups of " + std::to_string(grid.channelsPerBin)
                                 + ", much narrower than the detector's resolution",
                             int(grid.channelsPerBin)});
    return true;
}

// The spectrum as seen at one resolution: the detector, the continuum and
// the peaks.
struct Prepared {
    xray::Detector detector;
    std::vector<double> background;
    std::vector<Peak> peaks;
};

Prepared prepare(const WorkGrid &grid, xray::Material material, double fwhm)
{
    Prepared p{xray::Detector(material, fwhm), {}, {}};
    p.background = snipBackground(grid, p.detector);
    p.peaks = findPeaks(grid, p.background, p.detector);
    return p;
}

// Whether the response measured moves the model enough to search again: a
// line by ResponseMoves of a FWHM anywhere from 0.5 to 20 keV, the FWHM by
// that share, or a tail by that share of the peak.
bool changes(const Response &from, const Response &to, double fwhm, std::optional<double> refinedFwhm,
             const xray::Detector &detector)
{
    if (refinedFwhm && std::fabs(*refinedFwhm / fwhm - 1) > ResponseMoves)
        return true;
    for (double e = 500; e <= 20000; e *= 1.25) {
        if (std::fabs(to.shift(e) - from.shift(e)) > ResponseMoves * detector.fwhm(e))
            return true;
        const double mu = detector.massAttenuation(std::max(1000.0, e)), muMn = detector.massAttenuation(xray::mnKalpha_eV());
        if (std::fabs(tailShare(to, e, mu, muMn) - tailShare(from, e, mu, muMn)) > ResponseMoves * 0.1)
            return true;
    }
    return false;
}

} // namespace

bool rareElement(int Z)
{
    return Z == 2 || Z == 10 || Z == 36 || Z == 54 || Z == 86 || Z == 43 || Z == 61 || (Z >= 84 && Z <= 89)
           || Z == 91 || (Z >= 93 && Z <= 98);
}

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
    return identify(spectrum, options, nullptr);
}

spectrum::Result<Identification> identify(const spectrum::Spectrum &spectrum, const IdentifyOptions &options,
                                          FinalFit *finalFit)
{
    if (!spectrum.calibration)
        return spectrum::Error::make(spectrum::ErrorKind::NotCalibrated);
    Identification out;
    out.material = options.material;
    takeBeam(out, spectrum, options);
    double fwhm = startingFwhm(out, spectrum, options);
    const WorkGrid grid = workGrid(spectrum, xray::Detector(options.material, fwhm));
    out.fwhmMnKa_eV = fwhm;
    if (!noteGrid(out, grid))
        return out;

    // X-ray fluorescence, by the file's signal type ("XRF", "XRF-...").
    const bool electrons = !options.xrf && !containsXrf(spectrum.meta.signalType);
    if (!electrons)
        out.notes.push_back({Note::Kind::Xrf, "an X-ray fluorescence spectrum: the families of an element are "
                                              "weighed freely, and its deeper subshells may fall short"});
    const std::optional<double> beam_eV = out.beam_kV ? std::optional(*out.beam_kV * 1000) : std::nullopt;
    Prepared prepared = prepare(grid, options.material, fwhm);
    if (out.fwhmSource == Identification::FwhmSource::Usual)
        if (const auto estimate = estimateFwhm(grid, prepared.peaks, options.material, beam_eV, electrons, FitWorkShare * workBound(options.maxWork))) {
            fwhm = estimate->fwhmMnKa_eV;
            out.fwhmSource = Identification::FwhmSource::Estimated;
            prepared = prepare(grid, options.material, fwhm);
        }
    out.fwhmMnKa_eV = fwhm;
    const bool anyPeak = std::any_of(prepared.peaks.begin(), prepared.peaks.end(), [](const Peak &p) { return !p.zero; });
    if (!anyPeak && options.require.empty()) {
        out.notes.push_back({Note::Kind::Flat, "no peaks: the spectrum is flat (nothing stands out from its noise)"});
        for (Peak &p : prepared.peaks) {
            p.netCounts *= grid.scale;
            out.peaks.push_back({p, {AssignmentKind::Zero, nullptr, nullptr, nullptr}, 1, {}});
        }
        return out;
    }
    std::optional<Search> search;
    search.emplace(grid, prepared.background, prepared.detector, beam_eV, options, prepared.peaks, electrons,
                   out.response);
    search->run();
    // The detector's response measured on the peaks of the elements found,
    // and everything again with it.
    if (!search->accepted().empty() && search->work() <= workBound(options.maxWork) / 2) {
        const RefinedResponse refined =
            refineResponse(grid, search->fittedGroups(), prepared.detector, out.response,
                           out.fwhmSource == Identification::FwhmSource::Estimated
                               || out.fwhmSource == Identification::FwhmSource::Usual,
                           FitWorkShare * workBound(options.maxWork));
        const bool moves =
            refined.peaks > 0 && changes(out.response, refined.response, fwhm, refined.fwhmMnKa_eV, prepared.detector);
        if (refined.peaks > 0) {
            // Reported as measured; searched with only where it moves the model.
            out.response = refined.response;
            out.responsePeaks = refined.peaks;
        }
        if (moves) {
            if (refined.fwhmMnKa_eV) {
                fwhm = *refined.fwhmMnKa_eV;
                out.fwhmSource = Identification::FwhmSource::Estimated;
                out.fwhmMnKa_eV = fwhm;
            }
            prepared = prepare(grid, options.material, fwhm);
            search.emplace(grid, prepared.background, prepared.detector, beam_eV, options, prepared.peaks, electrons,
                           out.response);
            search->run();
        }
    }
    Identification found = search->finish(prepared.peaks);
    if (finalFit)
        *finalFit = search->finalFit();
    out.elements = std::move(found.elements);
    out.peaks = std::move(found.peaks);
    out.notes.insert(out.notes.end(), found.notes.begin(), found.notes.end());
    return out;
}

} // namespace identify
