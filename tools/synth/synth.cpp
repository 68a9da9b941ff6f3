#include "synth.h"

#include "constants.h"
#include "excitation.h"
#include "random.h"

#include "xray/bulkabsorption.h"
#include "xray/elements.h"
#include "xray/excitation.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

namespace {

// FWHM / sigma of a Gaussian.
const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

// Settings of the synthetic instruments, chosen by looking at ordinary
// spectra rather than constants of nature:
// - the bremsstrahlung against the lines (per keV, in electronLineYield's
//   units): pure iron at 20 kV then shows Fe Ka about 100 times as high as
//   the background under it in a 10 eV channel, as EDS spectra do;
constexpr double KramersScale = 5.7e-6;
// - the sample's scattering of the tube spectrum, Rayleigh and Compton, as
//   mass cross sections (cm2/g) of a medium-Z sample, in photonLineYield's
//   units (photons times cm2/g);
constexpr double RayleighScale = 0.2;
constexpr double ComptonScale = 0.15;
// - the Doppler broadening of Compton-scattered lines: sigma as a share of
//   the Compton shift (bound electrons' momenta);
constexpr double ComptonBroadening = 0.25;
// - Compton scattering is weak at small momentum transfer (the incoherent
//   scattering function of bound electrons): its cross section is taken to
//   grow as the square of the energy up to this one, flat above.
constexpr double ComptonFull_eV = 20000;
// - the incident spectrum's resolution for exciting fluorescence, eV.
constexpr double TubeBin_eV = 20;

struct Emitted {
    const xray::Line *line;
    double energy_eV;
    double photons;
    double extraSigma_eV = 0; // Compton broadening
    bool escapes = true;
};

// The Compton energy of a photon of energy E scattered through theta.
double comptonEnergy(double energy_eV, double cosTheta)
{
    return energy_eV / (1 + energy_eV / ElectronRestEnergy_eV * (1 - cosTheta));
}

// Photons per keV of Kramers' bremsstrahlung at E, for a beam of E0.
double kramers(double Z, double beam_eV, double energy_eV)
{
    return energy_eV > 0 && energy_eV < beam_eV ? KramersScale * Z * (beam_eV - energy_eV) / energy_eV : 0.0;
}

std::vector<Constituent> normalised(const std::vector<Constituent> &sample)
{
    std::vector<Constituent> out;
    double total = 0;
    for (const Constituent &c : sample)
        if (xray::hasLines(c.Z) && c.massFraction > 0) {
            out.push_back(c);
            total += c.massFraction;
        }
    for (Constituent &c : out)
        c.massFraction /= total;
    return out;
}

} // namespace

void addPeak(std::vector<double> &channels, double offset_eV, double gain_eV, double energy_eV, double fwhm_eV,
             double counts)
{
    if (!(counts > 0) || !(fwhm_eV > 0) || channels.empty())
        return;
    const double sigma = fwhm_eV / FwhmPerSigma;
    const double first = std::floor((energy_eV - 6 * sigma - offset_eV) / gain_eV);
    const double last = std::ceil((energy_eV + 6 * sigma - offset_eV) / gain_eV);
    const double n = double(channels.size());
    const auto cdf = [&](double e) { return 0.5 * std::erfc(-(e - energy_eV) / (sigma * std::numbers::sqrt2)); };
    for (double k = std::max(0.0, first); k <= std::min(n - 1, last); ++k) {
        const double centre = offset_eV + gain_eV * k;
        channels[std::size_t(k)] += counts * (cdf(centre + gain_eV / 2) - cdf(centre - gain_eV / 2));
    }
}

Synthetic generate(const Recipe &recipe)
{
    Synthetic out;
    Truth &truth = out.truth;
    truth.sample = normalised(recipe.sample);
    const xray::Detector &detector = recipe.detector.detector;
    const double beam = recipe.beam_kV * 1000;
    const std::size_t n = recipe.channels;
    const auto energyOf = [&](std::size_t k) { return recipe.offset_eV + recipe.gain_eV * double(k); };
    const double gain_keV = recipe.gain_eV / 1000;

    std::vector<Emitted> emitted;
    std::vector<double> background(n, 0.0);
    if (recipe.excitation == Excitation::Electrons) {
        std::vector<std::pair<int, double>> composition;
        for (const Constituent &c : truth.sample)
            composition.emplace_back(c.Z, c.massFraction);
        const xray::BulkAbsorption absorption(std::move(composition), beam, recipe.takeOff_deg);
        double Zbar = 0;
        for (const Constituent &c : truth.sample) {
            Zbar += c.massFraction * c.Z;
            for (const xray::Line &line : xray::linesOf(c.Z))
                if (const double y = c.massFraction * xray::electronLineYield(line, beam); y > 0)
                    emitted.push_back({&line, line.energy_eV, recipe.thinSample ? y : y * absorption.emerging(line)});
        }
        for (std::size_t k = 0; k < n; ++k) {
            const double e = energyOf(k);
            if (const double b = kramers(Zbar, beam, e); b > 0)
                background[k] = recipe.continuum * b * gain_keV * (recipe.thinSample ? 1.0 : absorption.emerging(e, e));
        }
    } else {
        // The tube: bremsstrahlung and the anode's lines through its window.
        const Layer window{"tube window", {{4, 1.0}}, recipe.tubeWindow_g_cm2};
        const auto tubeContinuum = [&](double e) { return kramers(recipe.anodeZ, beam, e) * window.transmission(e); };
        PhotonSpectrum incident;
        for (double e = TubeBin_eV / 2; e < beam; e += TubeBin_eV) {
            incident.energy_eV.push_back(e);
            incident.photons.push_back(tubeContinuum(e) * TubeBin_eV / 1000);
        }
        std::vector<std::pair<const xray::Line *, double>> anodeLines;
        for (const xray::Line &line : xray::linesOf(recipe.anodeZ))
            if (const double y = xray::electronLineYield(line, beam) * window.transmission(line.energy_eV); y > 0) {
                anodeLines.emplace_back(&line, y);
                incident.energy_eV.push_back(line.energy_eV);
                incident.photons.push_back(y);
            }
        for (const Constituent &c : truth.sample) {
            const auto J = shellAbsorption(c.Z, incident);
            for (const xray::Line &line : xray::linesOf(c.Z))
                if (const double y = c.massFraction * photonLineYield(line, J); y > 0)
                    emitted.push_back({&line, line.energy_eV, y});
        }
        // Scattered by the sample: the anode's lines, Rayleigh at their
        // energy and Compton below it, broadened; and the continuum.
        truth.scatterZ = recipe.anodeZ;
        const double cosTheta = std::cos(recipe.scatterAngle_deg * std::numbers::pi / 180);
        const auto compton = [](double e) {
            return ComptonScale * std::min(1.0, (e / ComptonFull_eV) * (e / ComptonFull_eV));
        };
        for (const auto &[line, y] : anodeLines) {
            emitted.push_back({line, line->energy_eV, recipe.scatter * RayleighScale * y});
            const double shifted = comptonEnergy(line->energy_eV, cosTheta);
            emitted.push_back({line, shifted, recipe.scatter * compton(line->energy_eV) * y,
                               ComptonBroadening * (line->energy_eV - shifted), false});
        }
        const double k = (1 - cosTheta) / ElectronRestEnergy_eV;
        for (std::size_t i = 0; i < n; ++i) {
            const double e = energyOf(i);
            if (!(e > 0))
                continue;
            double density = RayleighScale * tubeContinuum(e);
            // Compton: photons now at e came from e0 = e / (1 - e k).
            if (e * k < 1) {
                const double from = e / (1 - e * k);
                density += compton(from) * tubeContinuum(from) / ((1 - e * k) * (1 - e * k));
            }
            background[i] = recipe.scatter * density * gain_keV;
        }
    }

    // The detector: its efficiency, then escapes.
    for (Emitted &e : emitted)
        e.photons *= recipe.detector.efficiency(e.energy_eV);
    for (std::size_t k = 0; k < n; ++k)
        if (background[k] > 0)
            background[k] *= recipe.detector.efficiency(energyOf(k));
    double total = 0;
    for (const Emitted &e : emitted)
        total += e.photons;
    for (const double b : background)
        total += b;
    const double scale = total > 0 ? recipe.counts / total : 0.0;
    for (double &b : background)
        b *= scale;

    std::vector<double> expected = background;
    const auto peak = [&](double energy, double fwhm, double counts) {
        addPeak(expected, recipe.offset_eV, recipe.gain_eV, energy, fwhm, counts);
    };
    std::vector<TrueLine> strong; // for the sums
    for (Emitted &e : emitted) {
        double counts = e.photons * scale;
        if (e.escapes) {
            double left = counts;
            for (const xray::Escape &escape : detector.escapes(e.energy_eV)) {
                const double c = counts * escape.fraction;
                left -= c;
                peak(escape.energy_eV, detector.fwhm(escape.energy_eV), c);
                truth.escapes.push_back({e.line, escape.line, escape.energy_eV, c});
            }
            counts = left;
            truth.lines.push_back({e.line, counts});
        }
        const double fwhm = std::hypot(detector.fwhm(e.energy_eV), FwhmPerSigma * e.extraSigma_eV);
        peak(e.energy_eV, fwhm, counts);
    }

    // Pile-up: a share of the counted events are two photons, drawn from
    // the lines by their counts (pairs with the continuum are left out).
    const double N = recipe.counts;
    for (std::size_t i = 0; i < truth.lines.size(); ++i) {
        for (std::size_t j = i; j < truth.lines.size(); ++j) {
            const TrueLine &a = truth.lines[i], &b = truth.lines[j];
            const double counts = recipe.pileUp * N * (a.counts / N) * (b.counts / N) * (i == j ? 1 : 2);
            if (!(counts > 1e-3))
                continue;
            const bool ordered = a.line->energy_eV <= b.line->energy_eV;
            const xray::Line *first = ordered ? a.line : b.line, *second = ordered ? b.line : a.line;
            const double energy = first->energy_eV + second->energy_eV;
            peak(energy, std::hypot(detector.fwhm(first->energy_eV), detector.fwhm(second->energy_eV)), counts);
            truth.sums.push_back({first, second, energy, counts});
        }
    }
    peak(0.0, detector.fwhm(0.0), recipe.zeroPeak * N);

    Random random(recipe.seed);
    spectrum::Spectrum &s = out.spectrum;
    s.counts.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        s.counts[k] = random.poisson(expected[k]);
    s.calibration = spectrum::Calibration{recipe.offset_eV, recipe.gain_eV};
    s.meta.beam_kV = recipe.beam_kV;
    s.meta.title = recipe.title;
    s.meta.signalType = recipe.excitation == Excitation::Electrons ? "EDS" : "XRF";
    s.meta.liveTime_s = 100;
    s.meta.realTime_s = 100;
    if (recipe.recordResolution)
        s.meta.resolution.fwhmMnKa_eV = detector.fwhmMnKa();
    s.format = spectrum::Format::Emsa;
    out.expected = std::move(expected);
    out.background = std::move(background);
    return out;
}

} // namespace synth
