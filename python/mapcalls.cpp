// Element maps: element_maps (the sum, its model and the fit of every
// pixel, as `zandor map` makes them), and the model on its own (map_model,
// MapModel) for a fit spread over processes: zandor.dask makes the model
// once and sends it, pickled as the core's bytes, to where the pixels are.
#include "spectra.h"
#include "values.h"

#include "cli/answers.h"
#include "cli/errors.h"
#include "cli/options.h"
#include "image/arrayview.h"
#include "image/elementmaps.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <memory>
#include <mutex>
#include <string_view>

namespace py = pybind11;

namespace zpy {

namespace {

// A cube of counts Python gave: a C array of one of the stored types,
// (height, width, channels) or (pixels, channels), held while it is read.
struct Counts {
    py::array array;
    image::SampleType type = image::SampleType::U16;
    std::size_t height = 0, width = 0, channels = 0;

    std::span<const std::byte> bytes() const
    {
        return {static_cast<const std::byte *>(array.data()), std::size_t(array.nbytes())};
    }
};

Counts countsOf(const py::handle &given, bool pixelRows)
{
    py::array array = py::array::ensure(given, py::array::c_style);
    if (!array)
        throw py::type_error("a cube of counts is a NumPy array (or what numpy.asarray takes), not " +
                             std::string(py::repr(given)));
    // Counts in the other byte order are swapped into a copy.
    if (!array.dtype().attr("isnative").cast<bool>())
        array = py::array::ensure(array.attr("astype")(array.dtype().attr("newbyteorder")("=")), py::array::c_style);
    const std::string name = py::str(array.dtype().attr("name"));
    const auto type = image::sampleTypeNamed(name);
    if (!type)
        throw cli::UsageError("counts of " + name +
                              " cannot be fitted: the types are unsigned and signed integers of 8 to 64 bits, "
                              "float32 and float64");
    Counts c;
    c.type = *type;
    if (array.ndim() == 3) {
        c.height = std::size_t(array.shape(0));
        c.width = std::size_t(array.shape(1));
        c.channels = std::size_t(array.shape(2));
    } else if (pixelRows && array.ndim() == 2) {
        c.height = 1;
        c.width = std::size_t(array.shape(0));
        c.channels = std::size_t(array.shape(1));
    } else {
        throw cli::UsageError(std::string("a cube of counts is (height, width, channels)") +
                              (pixelRows ? " or (pixels, channels)" : "") + ", not " + std::to_string(array.ndim()) +
                              (array.ndim() == 1 ? " dimension" : " dimensions"));
    }
    c.array = std::move(array);
    return c;
}

std::shared_ptr<const image::PixelSource> viewOf(const Counts &c, std::optional<spectrum::Calibration> calibration,
                                                 std::optional<double> beam_kV)
{
    auto view = image::ArrayView::of(c.bytes(), c.width, c.height, c.channels, c.type, calibration, beam_kV);
    if (!view)
        throw cli::UsageError("the cube of counts cannot be fitted: " + view.error().message());
    return std::move(view.value());
}

cli::MapValues mapValues(const py::object &elements, std::optional<double> beam_kV, const std::string &detector,
                         std::optional<double> fwhm_eV)
{
    cli::MapValues v;
    v.detector = named("detector", detector);
    v.fwhm = named("fwhm_eV", fwhm_eV, "eV");
    v.beam = named("beam_kV", beam_kV, "kV");
    v.elements = elementsValue("elements", elements);
    return v;
}

unsigned threadsOf(long long threads)
{
    return cli::threadsValue(cli::NamedValue{"threads", std::to_string(threads)});
}

// The design's warnings and the identification's notes, as Python warnings:
// the command line writes them to stderr.
void warn(const std::string &prefix, const identify::MapDesign &design)
{
    for (const std::string &warning : design.warnings)
        if (PyErr_WarnEx(PyExc_UserWarning, (prefix + "warning: " + warning).c_str(), 2) != 0)
            throw py::error_already_set();
    for (const identify::Note &note : design.identification.notes)
        if (PyErr_WarnEx(PyExc_UserWarning, (prefix + "note: " + note.text).c_str(), 2) != 0)
            throw py::error_already_set();
}

// Maps of `elements` × `pixels` floats as one float32 array of `shape`
// over the vector's own memory, without a copy.
py::array_t<float> arrayOf(std::vector<float> values, std::vector<py::ssize_t> shape)
{
    auto *held = new std::vector<float>(std::move(values));
    py::capsule owner(held, [](void *p) { delete static_cast<std::vector<float> *>(p); });
    return py::array_t<float>(shape, held->data(), owner);
}

// A model made once, and its fit, prepared on first use in each process.
class Model {
public:
    explicit Model(identify::MapModel model) : model_(std::move(model)) {}

    const identify::MapModel &model() const { return model_; }

    const identify::MapFit &fit() const
    {
        std::lock_guard lock(mutex_);
        if (!fit_) {
            auto prepared = identify::MapFit::prepare(model_);
            if (!prepared)
                throw cli::UsageError("the map model cannot be fitted: " + prepared.error().message());
            fit_ = std::make_unique<identify::MapFit>(std::move(prepared.value()));
        }
        return *fit_;
    }

    std::vector<std::string> elements() const
    {
        std::vector<std::string> symbols;
        for (std::size_t i = 0; i < model_.elementCount(); ++i)
            symbols.push_back(model_.columns[i].label);
        return symbols;
    }

    // The maps of a block of pixels: (elements, height, width), or
    // (elements, pixels) for a block of (pixels, channels).
    py::array_t<float> fitBlock(const py::handle &block, long long threads) const
    {
        const Counts c = countsOf(block, true);
        const unsigned n = threadsOf(threads);
        if (c.channels != model_.channels)
            throw cli::UsageError("the block has " + std::to_string(c.channels) + " channels and the model was made for " +
                                  std::to_string(model_.channels));
        std::vector<float> values;
        {
            py::gil_scoped_release release;
            const auto source = viewOf(c, spectrum::Calibration{model_.offset_eV, model_.gain_eV}, std::nullopt);
            image::ChunkOptions options;
            options.threads = n;
            auto fitted = image::fitMaps(*source, fit(), options);
            if (!fitted)
                throw cli::UsageError("the block cannot be fitted: " + fitted.error().message());
            values = std::move(fitted.value());
        }
        const py::ssize_t e = py::ssize_t(model_.elementCount());
        if (c.array.ndim() == 2)
            return arrayOf(std::move(values), {e, py::ssize_t(c.width)});
        return arrayOf(std::move(values), {e, py::ssize_t(c.height), py::ssize_t(c.width)});
    }

private:
    identify::MapModel model_;
    mutable std::mutex mutex_;
    mutable std::unique_ptr<identify::MapFit> fit_;
};

std::shared_ptr<Model> modelFromBytes(const py::bytes &bytes)
{
    const std::string_view data = bytes;
    auto model = identify::mapModelFromBytes(data);
    if (!model)
        throw cli::UsageError("not a map model: " + model.error().message());
    return std::make_shared<Model>(std::move(model.value()));
}

// The sum spectrum of a sum Python gave: a Spectrum or counts per channel.
spectrum::Spectrum sumOf(const py::object &sum, std::optional<double> offset_eV, std::optional<double> gain_eV)
{
    Spectrum given;
    if (py::isinstance<Spectrum>(sum)) {
        given = sum.cast<const Spectrum &>();
    } else {
        given.counts = py::array_t<double, py::array::forcecast>::ensure(sum);
        if (!given.counts)
            throw py::type_error("a sum spectrum is a Spectrum or an array of counts, not " + std::string(py::repr(sum)));
    }
    if (offset_eV.has_value() != gain_eV.has_value())
        throw cli::UsageError("give offset_eV and gain_eV together, or neither (the spectrum's own)");
    if (offset_eV) {
        given.offset_eV = offset_eV;
        given.gain_eV = gain_eV;
    }
    spectrum::Spectrum s = given.toCore();
    if (!s.calibration)
        throw cli::UsageError("the sum spectrum is not calibrated: give offset_eV and gain_eV");
    return s;
}

std::shared_ptr<Model> mapModel(const py::object &sum, std::optional<double> offset_eV, std::optional<double> gain_eV,
                                const py::object &elements, std::optional<double> beam_kV, const std::string &detector,
                                std::optional<double> fwhm_eV)
{
    const identify::MapOptions options = cli::mapOptions(mapValues(elements, beam_kV, detector, fwhm_eV));
    spectrum::Spectrum s = sumOf(sum, offset_eV, gain_eV);
    auto design = [&] {
        py::gil_scoped_release release;
        return identify::buildMapModel(s, options);
    }();
    if (!design)
        throw cli::UsageError("the sum spectrum: " + design.error().message());
    warn("", design.value());
    return std::make_shared<Model>(std::move(design->model));
}

py::dict elementMaps(const py::object &cube, std::optional<double> offset_eV, std::optional<double> gain_eV,
                     const py::object &elements, std::optional<double> beam_kV, const std::string &detector,
                     std::optional<double> fwhm_eV, long long threads)
{
    const identify::MapOptions options = cli::mapOptions(mapValues(elements, beam_kV, detector, fwhm_eV));
    image::ChunkOptions chunks;
    chunks.threads = threadsOf(threads);
    if (offset_eV.has_value() != gain_eV.has_value())
        throw cli::UsageError("give offset_eV and gain_eV together" +
                              std::string(py::isinstance<SpectrumImage>(cube) ? ", or neither (the file's)" : ""));
    if (offset_eV)
        checkCalibration(*offset_eV, *gain_eV);
    const std::optional<spectrum::Calibration> calibration =
        offset_eV ? std::optional(spectrum::Calibration{*offset_eV, *gain_eV}) : std::nullopt;

    // A file's errors are the file's (OSError, naming it); an array's are
    // the caller's (ValueError).
    std::shared_ptr<const image::PixelSource> source;
    std::optional<std::string> file;
    Counts counts; // holds the caller's array while it is read
    if (py::isinstance<SpectrumImage>(cube)) {
        const SpectrumImage &image = cube.cast<const SpectrumImage &>();
        file = image.path;
        source = image.source;
        if (calibration || beam_kV) {
            // The file's counts under the calibration given.
            const image::Header &h = image.header();
            if (!calibration && !h.calibration)
                throw cli::FileError(cli::uncalibratedImageMessage(image.path));
            counts.array = image.counts(cube);
            counts.type = h.type;
            counts.height = h.height;
            counts.width = h.width;
            counts.channels = h.channels;
            source = viewOf(counts, calibration ? calibration : h.calibration, h.meta.beam_kV);
        } else if (!image.header().calibration) {
            throw cli::FileError(cli::uncalibratedImageMessage(image.path));
        }
    } else {
        counts = countsOf(cube, false);
        if (!calibration)
            throw cli::UsageError("the counts' calibration is needed: give offset_eV and gain_eV");
        source = viewOf(counts, calibration, std::nullopt);
    }
    const auto fail = [&file](const image::Error &error) -> void {
        if (file)
            throw cli::FileError(cli::quotedPath(*file) + ": " + error.message());
        throw cli::UsageError(error.message());
    };

    std::optional<image::Result<image::MapResult>> result;
    {
        py::gil_scoped_release release;
        result = image::elementMaps(*source, options, chunks);
    }
    if (!*result)
        fail((*result).error());
    image::MapResult &maps = (*result).value();
    warn(file ? cli::quotedPath(*file) + ": " : std::string(), maps.design);

    const image::Header &h = source->header();
    py::dict out;
    for (image::ElementMap &m : maps.maps)
        out[py::str(m.symbol)] = arrayOf(std::move(m.values), {py::ssize_t(h.height), py::ssize_t(h.width)});
    return out;
}

} // namespace

void bindMaps(py::module_ &m)
{
    py::class_<Model, std::shared_ptr<Model>>(m, "MapModel",
        "The model every pixel of a spectrum image is fitted with, made once from its sum\n"
        "spectrum (map_model). It pickles as plain bytes, so that it can be sent to other\n"
        "processes and machines, which fit their pixels with it (fit).")
        .def_property_readonly("elements", &Model::elements, "the elements mapped, in the order of the maps")
        .def_property_readonly("lines", [](const Model &s) {
            py::dict lines;
            for (std::size_t i = 0; i < s.model().elementCount(); ++i)
                lines[py::str(s.model().columns[i].label)] = s.model().columns[i].lines;
            return lines;
        }, "each element's lines that explain peaks of the sum spectrum")
        .def_property_readonly("channels", [](const Model &s) { return s.model().channels; })
        .def_property_readonly("offset_eV", [](const Model &s) { return s.model().offset_eV; },
                               "the calibration measured on the sum spectrum's fit")
        .def_property_readonly("gain_eV", [](const Model &s) { return s.model().gain_eV; })
        .def("fit", &Model::fitBlock, py::arg("counts"), py::arg("threads") = 1,
             "The maps of a block of pixels (height, width, channels) or (pixels, channels), of the\n"
             "stored type: float32 (elements, height, width) or (elements, pixels), each element's\n"
             "net counts. threads=1 fits on the calling thread, 0 on every core; the GIL is released.")
        .def("to_bytes", [](const Model &s) { return py::bytes(identify::mapModelBytes(s.model())); },
             "the model as bytes, the same on any machine (from_bytes reads them back)")
        .def_static("from_bytes", &modelFromBytes, py::arg("data"))
        .def(py::pickle([](const Model &s) { return py::make_tuple(py::bytes(identify::mapModelBytes(s.model()))); },
                        [](const py::tuple &t) {
                            if (t.size() != 1)
                                throw cli::UsageError("not a pickled map model");
                            return modelFromBytes(t[0].cast<py::bytes>());
                        }))
        .def("__repr__", [](const Model &s) {
            std::string text = "<zandor.MapModel of";
            for (const std::string &e : s.elements())
                text += " " + e;
            return text + ", " + std::to_string(s.model().channels) + " channels>";
        });

    m.def("map_model", &mapModel, py::arg("sum"), py::arg("offset_eV") = py::none(), py::arg("gain_eV") = py::none(),
          py::arg("elements") = py::none(), py::arg("beam_kV") = py::none(), py::arg("detector") = "si",
          py::arg("fwhm_eV") = py::none(),
          "The model of element maps, made from an image's sum spectrum (a Spectrum, or counts per\n"
          "channel with offset_eV and gain_eV) as element_maps makes it: the elements given, or\n"
          "(elements None) those identified in the sum. Its fit() fits any block of the image.");

    m.def("element_maps", &elementMaps, py::arg("cube"), py::arg("offset_eV") = py::none(),
          py::arg("gain_eV") = py::none(), py::arg("elements") = py::none(), py::arg("beam_kV") = py::none(),
          py::arg("detector") = "si", py::arg("fwhm_eV") = py::none(), py::arg("threads") = 0,
          "Element maps of a spectrum image, as `zandor map` makes them: a dict element ->\n"
          "float32 (height, width) of its net counts in each pixel. cube is a NumPy array\n"
          "(height, width, channels) of counts of any integer or float type, read in place, with\n"
          "offset_eV and gain_eV its calibration; or a SpectrumImage from zandor.read, streamed\n"
          "from its file (calibration and beam the file's unless given). elements: the elements to\n"
          "map, in that order (['Fe', 'Cr'] or 'Fe,Cr'); None or 'auto': those identified in the\n"
          "sum spectrum. threads=0 fits on every core, 1 on the calling thread; the GIL is released.");
}

} // namespace zpy
