// zandor-synth --phantom: a synthetic spectrum image with known phases
// (phantom.h), written as a Lispix ripple pair (.rpl and .raw) or as a
// Bruker .bcf, by the file's ending.
//
//   zandor-synth --phantom OUT.rpl|OUT.bcf [--size WxH] [--channels N]
//       [--gain EV] [--offset EV] [--beam KV] [--counts-per-pixel N] [--seed N]
//     .bcf:  [--packing 16|12|packed] [--extra-pulses] [--uncompressed]
//            [--chunk-size BYTES] [--bcf-version 1|2]
//     .rpl:  [--data-type uint8|uint16|uint32|uint64|int8|...|float32|float64]
//            [--big-endian] [--record-by vector|image] [--raw-offset BYTES] [--kev]
#include "phantommain.h"

#include "bcfwriter.h"
#include "phantom.h"
#include "ripplewriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace synth {

namespace {

[[noreturn]] void usage(const std::string &why)
{
    std::fprintf(stderr, "zandor-synth: %s\n(see the comment at the top of tools/synth/phantommain.cpp)\n", why.c_str());
    std::exit(2);
}

double number(const std::string &text, const std::string &what)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        usage(what + " '" + text + "' is not a number");
    return value;
}

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

int phantomMain(const std::vector<std::string> &args)
{
    PhantomRecipe recipe;
    BcfOptions bcf;
    RippleOptions ripple;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                usage(a + " needs a value");
            return args[++i];
        };
        if (a == "--phantom") {
            out = value();
        } else if (a == "--size") {
            const std::string v = value();
            const std::size_t cross = v.find('x');
            if (cross == std::string::npos)
                usage("--size is WxH, not '" + v + "'");
            recipe.width = std::size_t(number(v.substr(0, cross), "--size"));
            recipe.height = std::size_t(number(v.substr(cross + 1), "--size"));
        } else if (a == "--channels") {
            recipe.channels = std::size_t(number(value(), a));
        } else if (a == "--gain") {
            recipe.gain_eV = number(value(), a);
        } else if (a == "--offset") {
            recipe.offset_eV = number(value(), a);
        } else if (a == "--beam") {
            recipe.beam_kV = number(value(), a);
        } else if (a == "--counts-per-pixel") {
            recipe.countsPerPixel = number(value(), a);
        } else if (a == "--seed") {
            recipe.seed = std::uint64_t(number(value(), a));
        } else if (a == "--packing") {
            const std::string v = value();
            bcf.packing = v == "16" ? BcfPacking::Pulses16 : v == "12" ? BcfPacking::Pulses12 : v == "packed" ? BcfPacking::Packed
                                                                                                               : (usage("--packing is 16, 12 or packed"), BcfPacking::Packed);
        } else if (a == "--extra-pulses") {
            bcf.extraPulses = true;
        } else if (a == "--uncompressed") {
            bcf.compressed = false;
        } else if (a == "--chunk-size") {
            bcf.chunkSize = std::uint32_t(number(value(), a));
        } else if (a == "--bcf-version") {
            bcf.version = int(number(value(), a));
        } else if (a == "--data-type") {
            const auto type = image::sampleTypeNamed(value());
            if (!type)
                usage("unknown --data-type '" + args[i] + "'");
            ripple.type = *type;
        } else if (a == "--big-endian") {
            ripple.bigEndian = true;
        } else if (a == "--record-by") {
            const std::string v = value();
            if (v != "vector" && v != "image")
                usage("--record-by is vector or image");
            ripple.order = v == "image" ? image::RecordOrder::Image : image::RecordOrder::Vector;
        } else if (a == "--raw-offset") {
            ripple.offset = std::uint64_t(number(value(), a));
        } else if (a == "--kev") {
            ripple.keV = true;
        } else {
            usage("unknown option '" + a + "'");
        }
    }
    const bool toBcf = endsWith(out, ".bcf");
    if (!toBcf && !endsWith(out, ".rpl"))
        usage("--phantom needs an output file ending in .bcf or .rpl");
    if (recipe.width == 0 || recipe.height == 0 || recipe.channels < 4 || bcf.chunkSize < 544)
        usage("the size, channels or chunk size are too small");

    const Phantom phantom(recipe);
    std::vector<std::uint32_t> row(recipe.width * recipe.channels);
    std::vector<double> values;
    double total = 0;
    std::optional<std::string> error;
    if (toBcf) {
        BcfMap map{recipe.width, recipe.height, recipe.channels, recipe.offset_eV, recipe.gain_eV, recipe.beam_kV, 0.1,
                   "phantom", recipe.detector.detector.fwhmMnKa()};
        BcfWriter writer(out, map, bcf);
        for (std::size_t y = 0; y < recipe.height && !writer.error(); ++y) {
            phantom.row(y, row);
            for (std::uint32_t c : row)
                total += c;
            writer.addRow(row);
        }
        error = writer.finish();
    } else {
        RippleMap map{recipe.width, recipe.height, recipe.channels, recipe.offset_eV, recipe.gain_eV, recipe.beam_kV, 0,
                      "phantom"};
        RippleWriter writer(out, map, ripple);
        for (std::size_t y = 0; y < recipe.height; ++y) {
            phantom.row(y, row);
            values.assign(row.begin(), row.end());
            for (std::uint32_t c : row)
                total += c;
            writer.addRow(values);
        }
        error = writer.finish();
    }
    if (error) {
        std::fprintf(stderr, "zandor-synth: %s\n", error->c_str());
        return 1;
    }
    std::printf("%s: %zu x %zu pixels x %zu channels, %.0f counts\nphases:", out.c_str(), recipe.width, recipe.height,
                recipe.channels, total);
    for (std::size_t p = 0; p < Phantom::phases().size(); ++p)
        std::printf("%s %zu %s", p ? "," : "", p, Phantom::phases()[p].name.c_str());
    std::printf("\n");
    return 0;
}

} // namespace synth
