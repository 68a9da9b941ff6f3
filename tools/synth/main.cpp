// zandor-synth: writes a synthetic spectrum as an EMSA/MSA file, from a
// recipe on the command line or one of the hard cases of identification.
//
//   zandor-synth --list
//   zandor-synth --case NAME OUT.msa
//   zandor-synth --sample Fe:70,Cr:30 [--beam KV] [--xrf ANODE] [--detector si|ge|cdte]
//                [--fwhm EV] [--counts N] [--pileup SHARE] [--channels N] [--gain EV]
//                [--seed N] [--record-fwhm] [--thin] [--take-off DEG] OUT.msa
//   (--thin: no absorption in the sample; --take-off: the detector's
//   take-off angle, 35 degrees unless given; both for electron excitation)
//
// It prints what went in: the sample, and the escape and sum peaks with their
// expected counts.
//
//   zandor-synth --phantom OUT.rpl|OUT.bcf ...
//   writes a spectrum image with known phases instead (phantommain.cpp).
#include "hardcases.h"
#include "phantommain.h"
#include "synth.h"

#include "spectrum/write.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

[[noreturn]] void usage(const std::string &why)
{
    std::fprintf(stderr, "zandor-synth: %s\n(see the comment at the top of tools/synth/main.cpp)\n", why.c_str());
    std::exit(2);
}

double number(const std::string &text, const char *what)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        usage(std::string(what) + " '" + text + "' is not a number");
    return value;
}

std::vector<synth::Constituent> parseSample(const std::string &text)
{
    std::vector<synth::Constituent> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        const std::size_t colon = part.find(':');
        const auto Z = xray::parseElement(part.substr(0, colon));
        if (!Z || colon == std::string::npos)
            usage("sample part '" + part + "' is not ELEMENT:WT%");
        parts.push_back({*Z, number(part.substr(colon + 1), "a mass fraction") / 100});
        start = comma + 1;
    }
    return parts;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--phantom") != args.end())
        return synth::phantomMain(args);
    const std::vector<synth::HardCase> cases = synth::hardCases();
    synth::Recipe recipe;
    bool haveRecipe = false;
    std::string out;
    std::optional<double> fwhm;
    xray::Material material = xray::Material::Si;
    bool thin = false;
    std::optional<double> takeOff;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                usage(a + " needs a value");
            return args[++i];
        };
        if (a == "--list") {
            for (const synth::HardCase &c : cases)
                std::printf("%-16s %s\n", c.name.c_str(), c.question.c_str());
            return 0;
        } else if (a == "--case") {
            const synth::HardCase *c = synth::findHardCase(cases, value());
            if (!c)
                usage("no case '" + args[i] + "' (--list shows them)");
            recipe = c->recipe;
            material = recipe.detector.detector.material();
            haveRecipe = true;
        } else if (a == "--sample") {
            recipe.sample = parseSample(value());
            recipe.title = args[i];
            haveRecipe = true;
        } else if (a == "--beam") {
            recipe.beam_kV = number(value(), "--beam");
        } else if (a == "--xrf") {
            const auto Z = xray::parseElement(value());
            if (!Z)
                usage("unknown anode '" + args[i] + "'");
            recipe.excitation = synth::Excitation::Tube;
            recipe.anodeZ = *Z;
        } else if (a == "--detector") {
            const auto m = xray::parseMaterial(value());
            if (!m)
                usage("unknown detector '" + args[i] + "'");
            material = *m;
        } else if (a == "--fwhm") {
            fwhm = number(value(), "--fwhm");
        } else if (a == "--counts") {
            recipe.counts = number(value(), "--counts");
        } else if (a == "--pileup") {
            recipe.pileUp = number(value(), "--pileup");
        } else if (a == "--channels") {
            recipe.channels = std::size_t(number(value(), "--channels"));
        } else if (a == "--gain") {
            recipe.gain_eV = number(value(), "--gain");
        } else if (a == "--seed") {
            recipe.seed = std::uint64_t(number(value(), "--seed"));
        } else if (a == "--thin") {
            thin = true;
        } else if (a == "--take-off") {
            takeOff = number(value(), "--take-off");
            if (!(*takeOff > 0 && *takeOff <= 90))
                usage("--take-off must be above 0 and at most 90 degrees");
        } else if (a == "--record-fwhm") {
            recipe.recordResolution = true;
        } else if (!a.empty() && a[0] == '-') {
            usage("unknown option '" + a + "'");
        } else if (out.empty()) {
            out = a;
        } else {
            usage("one output file only");
        }
    }
    if (!haveRecipe || out.empty())
        usage("needs --case NAME or --sample, and an output file");
    if (fwhm || material != recipe.detector.detector.material())
        recipe.detector = synth::DetectorModel::typical(material, fwhm.value_or(xray::defaultFwhm(material)));

    recipe.thinSample = recipe.thinSample || thin;
    recipe.takeOff_deg = takeOff.value_or(recipe.takeOff_deg);
    const synth::Synthetic s = synth::generate(recipe);
    if (const auto error = spectrum::writeEmsa(s.spectrum, out)) {
        std::fprintf(stderr, "zandor-synth: '%s': %s\n", out.c_str(), error->message().c_str());
        return 1;
    }
    std::printf("%s: %zu channels, %.0f counts\nsample:", out.c_str(), s.spectrum.channels(), s.spectrum.totalCounts());
    for (const synth::Constituent &c : s.truth.sample)
        std::printf(" %s %.2f wt%%", std::string(xray::elementSymbol(c.Z)).c_str(), 100 * c.massFraction);
    if (s.truth.scatterZ)
        std::printf("; scattered tube lines of %s", std::string(xray::elementSymbol(s.truth.scatterZ)).c_str());
    std::printf("\n");
    for (const synth::TrueEscape &e : s.truth.escapes)
        if (e.counts >= 100)
            std::printf("escape %8.1f eV  %s - %s  %.0f counts\n", e.energy_eV, xray::lineLabel(*e.parent).c_str(),
                        xray::escapeLineLabel(*e.escape).c_str(), e.counts);
    for (const synth::TrueSum &e : s.truth.sums)
        if (e.counts >= 100)
            std::printf("sum    %8.1f eV  %s + %s  %.0f counts\n", e.energy_eV, xray::lineLabel(*e.first).c_str(),
                        xray::lineLabel(*e.second).c_str(), e.counts);
    return 0;
}
