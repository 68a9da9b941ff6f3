// zandor map: element maps of a spectrum image, written as NumPy arrays and
// pictures, with the sum spectrum they were made from.
#include "answers.h"
#include "cli.h"
#include "command.h"
#include "detectoroptions.h"
#include "errors.h"
#include "interrupt.h"
#include "json.h"
#include "options.h"
#include "xrayformat.h"

#include "image/elementmaps.h"
#include "image/mapimage.h"
#include "image/npy.h"
#include "image/open.h"
#include "image/png.h"
#include "image/spectra.h"
#include "spectrum/write.h"
#include "xray/elements.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace cli {

namespace {

constexpr OptionRule Rules[] = {
    {"--out", true},  {"--elements", true}, {"--beam", true}, {"--detector", true},
    {"--fwhm", true}, {"--threads", true},  {"--json", false},
};

std::string joinPath(const std::string &dir, const std::string &name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The files a run writes: each under a name of its own until every one is
// written, then renamed; anything left behind by a failure or an
// interruption is removed, and the folder too when the run made it and it
// is still empty.
class Outputs {
public:
    explicit Outputs(std::string dir) : dir_(std::move(dir)) {}
    ~Outputs() { discard(); }

    // Makes the folder (and those above it) unless it is there.
    void makeFolder()
    {
        struct stat info {};
        if (::stat(dir_.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                throw FileError("cannot write the maps into " + cli::quotedPath(dir_) + ": it is not a folder");
            return;
        }
        std::string path;
        std::size_t at = 0;
        while (at != std::string::npos) {
            at = dir_.find('/', at + 1);
            path = dir_.substr(0, at);
            if (path.empty() || ::stat(path.c_str(), &info) == 0)
                continue;
            if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
                throw FileError("cannot make the folder " + cli::quotedPath(path) + ": " + std::strerror(errno));
            made_.push_back(path);
        }
    }

    // Where to write `name` for now.
    std::string pending(const std::string &name)
    {
        const std::string path = joinPath(dir_, "." + name + ".zandor-" + std::to_string(::getpid()) + ".part");
        pending_.push_back({path, joinPath(dir_, name)});
        return path;
    }

    // Gives every file its name.
    void commit()
    {
        for (auto &[from, to] : pending_)
            if (std::rename(from.c_str(), to.c_str()) != 0)
                throw FileError("cannot write " + cli::quotedPath(to) + ": " + std::strerror(errno));
        pending_.clear();
        made_.clear();
    }

    void discard()
    {
        for (const auto &[from, to] : pending_)
            std::remove(from.c_str());
        pending_.clear();
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            ::rmdir(it->c_str());
        made_.clear();
    }

private:
    std::string dir_;
    std::vector<std::pair<std::string, std::string>> pending_;
    std::vector<std::string> made_;
};

struct Cancelled {};

// The progress of a step, shown and checked for an interruption.
image::Progress progressOf(ProgressLine &line, const std::string &step)
{
    return [&line, step](std::uint64_t done, std::uint64_t total) {
        if (InterruptCatcher::interrupted())
            return false;
        line.show(step, done, total);
        return true;
    };
}

// Throws the error of a step: Cancelled, or a FileError naming the input.
[[noreturn]] void fail(const std::string &input, const image::Error &error)
{
    if (image::isCancelled(error))
        throw Cancelled{};
    throw FileError(cli::quotedPath(input) + ": " + error.message());
}

int runMap(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const auto start = std::chrono::steady_clock::now();
    const ParsedArgs parsed = parseArgs(joinUnits(args), Rules);
    requirePositionals(parsed, 1, 1, "one spectrum image");
    const std::string &input = parsed.positionals[0];
    const auto dirText = parsed.value("--out");
    if (!dirText || dirText->empty())
        throw UsageError("--out DIR is needed: the folder to write the maps into");
    MapValues values;
    const auto given = [&parsed](const char *option) -> std::optional<NamedValue> {
        if (const auto text = parsed.value(option))
            return NamedValue{option, *text};
        return std::nullopt;
    };
    values.detector = given("--detector");
    values.fwhm = given("--fwhm");
    values.beam = given("--beam");
    values.elements = given("--elements");
    values.threads = given("--threads");
    const identify::MapOptions mapOptions = cli::mapOptions(values);
    const bool json = parsed.has("--json");
    image::ChunkOptions chunks;
    chunks.threads = values.threads ? threadsValue(*values.threads) : 0;

    const InterruptCatcher interrupt;
    ProgressLine line(err, "zandor map");
    Outputs outputs(*dirText);
    try {
        const auto opened = image::openFile(input, progressOf(line, "opening"));
        if (!opened)
            fail(input, opened.error());
        if (!opened->isImage())
            throw UsageError("zandor map needs a spectrum image, and " + cli::quotedPath(input) +
                             " holds a single spectrum");
        const image::PixelSource &source = *opened->image;
        const image::Header &h = source.header();
        line.clear();
        for (const std::string &warning : h.warnings)
            err << "zandor map: " << cli::quotedPath(input) << ": warning: " << warning << '\n';
        if (!h.calibration)
            throw FileError(uncalibratedImageMessage(input));
        outputs.makeFolder();

        chunks.progress = progressOf(line, "summing");
        auto sum = image::sumSpectrum(source, chunks);
        if (!sum)
            fail(input, sum.error());
        const std::string sumFile = outputs.pending("sum.msa");
        if (auto failure = spectrum::writeEmsa(sum.value(), sumFile))
            throw FileError("cannot write " + cli::quotedPath(joinPath(*dirText, "sum.msa")) + ": " + failure->message());

        line.show("identifying the sum spectrum");
        auto design = identify::buildMapModel(sum.value(), mapOptions);
        if (!design)
            fail(input, design.error());
        if (InterruptCatcher::interrupted())
            throw Cancelled{};
        auto fit = identify::MapFit::prepare(design->model);
        if (!fit)
            fail(input, fit.error());
        chunks.progress = progressOf(line, "fitting");
        auto values = image::fitMaps(source, fit.value(), chunks);
        if (!values)
            fail(input, values.error());
        std::vector<image::ElementMap> maps = image::splitMaps(design->model, std::move(values.value()), h.pixels());

        line.show("writing");
        const std::array<std::size_t, 2> shape = {h.height, h.width};
        std::vector<std::pair<std::string, std::string>> files; // map, image
        for (const image::ElementMap &m : maps) {
            if (InterruptCatcher::interrupted())
                throw Cancelled{};
            const std::string npy = m.symbol + ".npy", png = m.symbol + ".png";
            if (auto failure = image::writeNpy(outputs.pending(npy), m.values, shape))
                throw FileError("cannot write " + cli::quotedPath(joinPath(*dirText, npy)) + ": " + failure->message());
            const image::RgbImage picture = image::renderMap(m.values, h.width, h.height, m.symbol + " net counts");
            if (auto failure = image::writePng(outputs.pending(png), picture))
                throw FileError("cannot write " + cli::quotedPath(joinPath(*dirText, png)) + ": " + failure->message());
            files.emplace_back(npy, png);
        }
        if (InterruptCatcher::interrupted())
            throw Cancelled{};
        outputs.commit();
        line.clear();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        for (const std::string &warning : design->warnings)
            err << "zandor map: " << cli::quotedPath(input) << ": warning: " << warning << '\n';
        for (const identify::Note &note : design->identification.notes)
            err << "zandor map: " << cli::quotedPath(input) << ": note: " << note.text << '\n';
        if (json) {
            Json j = Json::object();
            j["file"] = input;
            j["width"] = h.width;
            j["height"] = h.height;
            j["channels"] = h.channels;
            Json elements = Json::array();
            for (std::size_t i = 0; i < maps.size(); ++i) {
                Json e = Json::object();
                e["element"] = maps[i].symbol;
                e["lines"] = maps[i].lines;
                e["total_counts"] = rounded(maps[i].totalCounts, 1);
                e["map"] = files[i].first;
                e["image"] = files[i].second;
                elements.push_back(std::move(e));
            }
            j["elements"] = std::move(elements);
            j["seconds"] = rounded(seconds, 3);
            printJson(out, j);
        } else {
            out << input << '\n';
            out << format("  image      %zu × %zu pixels, %zu channels\n", h.width, h.height, h.channels);
            out << "  elements   " << (maps.empty() ? "none found: no maps" : "");
            for (std::size_t i = 0; i < maps.size(); ++i)
                out << (i ? ", " : "") << maps[i].symbol;
            out << (maps.empty() ? "" : mapOptions.elements.empty() ? " (identified in the sum spectrum)" : " (given)")
                << "\n";
            if (!maps.empty()) {
                out << "\n  element      net counts  lines\n";
                for (const image::ElementMap &m : maps) {
                    std::string lines;
                    for (const std::string &l : m.lines)
                        lines += (lines.empty() ? "" : " ") + l;
                    out << format("  %-7s  %14.0f  %s\n", m.symbol.c_str(), m.totalCounts,
                                  lines.empty() ? "none that explain a peak of the sum" : lines.c_str());
                }
            }
            out << format("\n  wrote sum.msa%s into %s in %.1f s\n",
                          maps.empty() ? "" : " and each element's .npy and .png", dirText->c_str(), seconds);
        }
        return Done;
    } catch (const Cancelled &) {
        line.clear();
        outputs.discard();
        err << "zandor map: cancelled: nothing written\n";
        return Interrupted;
    } catch (...) {
        line.clear();
        outputs.discard();
        throw;
    }
}

} // namespace

unsigned threadsValue(const NamedValue &threads)
{
    const std::string &text = threads.text;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > MaxThreads)
        throw UsageError(threads.name + " " + cli::quoted(text) + " is not a number of threads from 1 to " +
                         std::to_string(MaxThreads) + " (0: every core)");
    return value;
}

std::string uncalibratedImageMessage(const std::string &file)
{
    return cli::quotedPath(file) + ": the image is not calibrated: its channels have no energies, so no element can be "
                               "mapped";
}

identify::MapOptions mapOptions(const MapValues &v)
{
    identify::MapOptions o;
    o.identify.material = v.detector ? materialValue(v.detector->text) : xray::Material::Si;
    if (v.fwhm)
        o.identify.fwhmMnKa_eV = fwhmValue(v.fwhm->name, v.fwhm->text);
    if (v.beam)
        o.identify.beam_kV = beamValue(v.beam->name, v.beam->text) / 1000;
    if (v.elements && v.elements->text != "auto") {
        std::vector<std::string> symbols;
        o.elements = elementList(v.elements->name, v.elements->text, symbols);
        for (const int Z : o.elements)
            if (!xray::hasLines(Z))
                throw UsageError(v.elements->name + " " + cli::quoted(v.elements->text) + ": " +
                                 std::string(xray::elementSymbol(Z)) + " has no X-ray lines in the table (B to Cf have)");
    }
    return o;
}

const Command mapCommand = {
    "map",
    "element maps of a spectrum image, as NumPy arrays and pictures",
    "Usage: zandor map IMAGE --out DIR [--elements auto|Fe,Cr] [--beam KV] [--detector si|ge|cdte]\n"
    "                  [--fwhm E] [--threads N] [--json]\n"
    "\n"
    "Sums every pixel of the spectrum image (a Bruker .bcf, or a Lispix ripple .rpl with\n"
    "its .raw), identifies the elements of the sum spectrum as zandor identify does, and\n"
    "fits every pixel with their patterns: each element's map is its net counts in each\n"
    "pixel. A map does not take up another element's peaks where they overlap. Writes\n"
    "into DIR (made if need be):\n"
    "  sum.msa      the sum spectrum (EMSA/MSA)\n"
    "  EL.npy       each element's map: float32, height × width (NumPy's format)\n"
    "  EL.png       its picture, with its colour scale in net counts\n"
    "\n"
    "  --out DIR          the folder to write into (needed)\n"
    "  --elements LIST    the elements to map (Fe,Cr), in that order; auto (default):\n"
    "                     those identified in the sum spectrum\n"
    "  --beam KV          the beam energy (20, 20kV); default: the file's\n"
    "  --detector D       si (default), ge or cdte\n"
    "  --fwhm E           the detector's FWHM at Mn Ka (129eV); default: the file's,\n"
    "                     else estimated from the sum spectrum\n"
    "  --threads N        threads fitting the pixels; default 0, every core\n"
    "  --json             on stdout, one JSON object with the keys file, width, height,\n"
    "                     channels, elements (each: element, lines, total_counts, map,\n"
    "                     image) and seconds (see man zandor); notes go to stderr\n"
    "\n"
    "Progress goes to stderr when it is a terminal. The files appear only when every one\n"
    "is written: Ctrl-C, or a failure, leaves none behind (exit status 130 when\n"
    "interrupted).\n",
    runMap,
};

} // namespace cli
