#include "spectra.h"

#include "cli/errors.h"
#include "cli/options.h"
#include "image/open.h"
#include "image/spectra.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <filesystem>
#include <span>

namespace py = pybind11;

namespace zpy {

namespace {

std::string fileMessage(const std::string &path, const spectrum::Error &error)
{
    return cli::quotedPath(path) + ": " + error.message();
}

} // namespace

void checkCalibration(double offset_eV, double gain_eV)
{
    if (!std::isfinite(offset_eV))
        throw cli::UsageError("offset_eV " + std::to_string(offset_eV) + " is not a finite number");
    if (!(gain_eV > 0) || !std::isfinite(gain_eV))
        throw cli::UsageError("gain_eV " + std::to_string(gain_eV) +
                              " is not an energy per channel: it must be a finite number above zero");
}

spectrum::Spectrum Spectrum::toCore() const
{
    if (counts.ndim() != 1)
        throw cli::UsageError("the counts of a spectrum are one row (channels,), not " + std::to_string(counts.ndim()) +
                              " dimensions");
    spectrum::Spectrum s;
    s.counts.resize(std::size_t(counts.shape(0)));
    const auto view = counts.unchecked<1>();
    for (py::ssize_t i = 0; i < view.shape(0); ++i) {
        s.counts[std::size_t(i)] = view(i);
        if (!std::isfinite(view(i)))
            throw cli::UsageError("channel " + std::to_string(i) + " holds a count that is not a finite number");
    }
    if (offset_eV && gain_eV) {
        checkCalibration(*offset_eV, *gain_eV);
        s.calibration = spectrum::Calibration{*offset_eV, *gain_eV};
    }
    s.meta = meta;
    return s;
}

Spectrum Spectrum::fromCore(spectrum::Spectrum s, std::optional<std::string> path)
{
    Spectrum out;
    out.counts = py::array_t<double>(py::ssize_t(s.counts.size()), s.counts.data());
    if (s.calibration) {
        out.offset_eV = s.calibration->offset_eV;
        out.gain_eV = s.calibration->gain_eV;
    }
    out.meta = std::move(s.meta);
    out.path = std::move(path);
    out.format = std::string(spectrum::formatName(s.format));
    out.warnings = std::move(s.warnings);
    return out;
}

std::shared_ptr<const image::Cube> SpectrumImage::cube() const
{
    py::gil_scoped_release release;
    std::lock_guard lock(mutex_);
    if (!cube_) {
        image::ChunkOptions options;
        options.threads = 0;
        auto loaded = image::loadCube(*source, options);
        if (!loaded)
            throw cli::FileError(fileMessage(path, loaded.error()));
        cube_ = std::move(loaded.value());
    }
    return cube_;
}

py::array SpectrumImage::counts(const py::object &self) const
{
    const std::shared_ptr<const image::Cube> c = cube();
    const image::Header &h = c->header();
    const py::ssize_t size = py::ssize_t(image::sampleBytes(h.type));
    const std::vector<py::ssize_t> shape = {py::ssize_t(h.height), py::ssize_t(h.width), py::ssize_t(h.channels)};
    const std::vector<py::ssize_t> strides = {shape[1] * shape[2] * size, shape[2] * size, size};
    // The array borrows the cube's memory and keeps this image alive. It is
    // read-only: the image's other calls (rows) read the same memory.
    py::array out(dtypeOf(h.type), shape, strides, c->data(), self);
    py::detail::array_proxy(out.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return out;
}

py::array SpectrumImage::rows(std::size_t first, std::size_t stop) const
{
    const image::Header &h = header();
    if (first >= stop || stop > h.height)
        throw cli::UsageError("rows " + std::to_string(first) + " to " + std::to_string(stop) +
                              " are not rows of an image of " + std::to_string(h.height) +
                              " (first < stop <= height)");
    py::array out(dtypeOf(h.type), std::vector<py::ssize_t>{py::ssize_t(stop - first), py::ssize_t(h.width),
                                                           py::ssize_t(h.channels)});
    const std::span<std::byte> bytes(static_cast<std::byte *>(out.mutable_data()), std::size_t(out.nbytes()));
    std::optional<image::Error> error;
    {
        py::gil_scoped_release release;
        std::shared_ptr<const image::PixelSource> from;
        {
            std::lock_guard lock(mutex_);
            from = cube_ ? std::shared_ptr<const image::PixelSource>(cube_) : source;
        }
        error = from->read(first * h.width, (stop - first) * h.width, bytes);
    }
    if (error)
        throw cli::FileError(fileMessage(path, *error));
    return out;
}

py::dtype dtypeOf(image::SampleType type)
{
    return py::dtype(std::string(image::sampleTypeName(type)));
}

spectrum::Spectrum sumSpectrum(const SpectrumImage &image)
{
    py::gil_scoped_release release;
    image::ChunkOptions options;
    options.threads = 0;
    auto sum = image::sumSpectrum(*image.source, options);
    if (!sum)
        throw cli::FileError(fileMessage(image.path, sum.error()));
    return std::move(sum.value());
}

namespace {

py::object read(const std::filesystem::path &file)
{
    const std::string path = file.string();
    auto opened = [&] {
        py::gil_scoped_release release;
        return image::openFile(path);
    }();
    if (!opened)
        throw cli::FileError(fileMessage(path, opened.error()));
    if (opened->isImage()) {
        auto image = std::make_shared<SpectrumImage>();
        image->path = path;
        image->source = std::move(opened->image);
        return py::cast(image);
    }
    return py::cast(Spectrum::fromCore(std::move(*opened->spectrum), path));
}

} // namespace

void bindSpectra(py::module_ &m)
{
    py::class_<Spectrum> spectrumClass(m, "Spectrum",
        "One spectrum: counts per channel with the energy calibration and what the file said\n"
        "about the measurement. zandor.read() makes one from a file; Spectrum(counts, offset_eV,\n"
        "gain_eV) from counts of one's own.");
    spectrumClass
        .def(py::init([](const py::object &counts, std::optional<double> offset_eV, std::optional<double> gain_eV,
                         std::optional<double> beam_kV, std::optional<double> live_time_s, const std::string &title) {
                 if (offset_eV.has_value() != gain_eV.has_value())
                     throw cli::UsageError("give offset_eV and gain_eV together, or neither (uncalibrated)");
                 if (offset_eV)
                     checkCalibration(*offset_eV, *gain_eV);
                 Spectrum s;
                 // A copy of its own in float64: the caller's array stays the caller's.
                 using namespace pybind11::literals;
                 s.counts = py::module_::import("numpy").attr("array")(counts, "dtype"_a = "float64");
                 if (s.counts.ndim() != 1)
                     throw cli::UsageError("the counts of a spectrum are one row (channels,), not " +
                                           std::to_string(s.counts.ndim()) + " dimensions");
                 s.offset_eV = offset_eV;
                 s.gain_eV = gain_eV;
                 s.meta.beam_kV = beam_kV;
                 s.meta.liveTime_s = live_time_s;
                 s.meta.title = title;
                 s.format = "counts";
                 return s;
             }),
             py::arg("counts"), py::arg("offset_eV") = py::none(), py::arg("gain_eV") = py::none(), py::kw_only(),
             py::arg("beam_kV") = py::none(), py::arg("live_time_s") = py::none(), py::arg("title") = "")
        .def_readwrite("counts", &Spectrum::counts, "the counts per channel (float64, (channels,))")
        .def_property_readonly("offset_eV", [](const Spectrum &s) { return s.offset_eV; },
                               "the energy of channel 0, eV; None when uncalibrated")
        .def_property_readonly("gain_eV", [](const Spectrum &s) { return s.gain_eV; },
                               "eV per channel; None when uncalibrated")
        .def_property("beam_kV", [](const Spectrum &s) { return s.meta.beam_kV; },
                      [](Spectrum &s, std::optional<double> v) { s.meta.beam_kV = v; },
                      "the beam (or tube) energy, kV, or None")
        .def_property("live_time_s", [](const Spectrum &s) { return s.meta.liveTime_s; },
                      [](Spectrum &s, std::optional<double> v) { s.meta.liveTime_s = v; }, "the live time, s, or None")
        .def_property_readonly("real_time_s", [](const Spectrum &s) { return s.meta.realTime_s; },
                               "the real time, s, or None")
        .def_property("title", [](const Spectrum &s) { return s.meta.title; },
                      [](Spectrum &s, const std::string &v) { s.meta.title = v; }, "the title, '' when none")
        .def_readonly("path", &Spectrum::path, "the file it was read from, or None")
        .def_readonly("format", &Spectrum::format, "the file's format, as `zandor info` names it")
        .def_readonly("warnings", &Spectrum::warnings, "what the reader noticed, one sentence each")
        .def("__repr__", [](const Spectrum &s) {
            return "<zandor.Spectrum " + std::to_string(s.counts.size()) + " channels" +
                   (s.path ? " from " + cli::quoted(*s.path) : std::string()) + ">";
        });

    py::class_<SpectrumImage, std::shared_ptr<SpectrumImage>>(m, "SpectrumImage",
        "A spectrum image read from its file (.bcf, or .rpl with its .raw). Its counts are\n"
        "decoded into memory when .counts is first asked for; sum() and element_maps() read\n"
        "the file in chunks instead.")
        .def_property_readonly("counts", [](const py::object &self) { return self.cast<const SpectrumImage &>().counts(self); },
                               "the counts, (height, width, channels) of the type the file stores; decoded on "
                               "first use (OSError when the file is damaged)")
        .def_property_readonly("shape", [](const SpectrumImage &s) {
            return py::make_tuple(s.header().height, s.header().width, s.header().channels);
        }, "(height, width, channels), without decoding")
        .def_property_readonly("dtype", [](const SpectrumImage &s) { return dtypeOf(s.header().type); },
                               "the type of the counts, without decoding")
        .def_property_readonly("width", [](const SpectrumImage &s) { return s.header().width; })
        .def_property_readonly("height", [](const SpectrumImage &s) { return s.header().height; })
        .def_property_readonly("channels", [](const SpectrumImage &s) { return s.header().channels; })
        .def_property_readonly("offset_eV", [](const SpectrumImage &s) {
            return s.header().calibration ? std::optional(s.header().calibration->offset_eV) : std::nullopt;
        }, "the energy of channel 0, eV; None when uncalibrated")
        .def_property_readonly("gain_eV", [](const SpectrumImage &s) {
            return s.header().calibration ? std::optional(s.header().calibration->gain_eV) : std::nullopt;
        }, "eV per channel; None when uncalibrated")
        .def_property_readonly("beam_kV", [](const SpectrumImage &s) { return s.header().meta.beam_kV; },
                               "the beam energy, kV, or None")
        .def_property_readonly("live_time_s", [](const SpectrumImage &s) { return s.header().meta.liveTime_s; },
                               "the whole acquisition's live time, s, where the file gives it; else None")
        .def_property_readonly("pixel_live_time_s", [](const SpectrumImage &s) { return s.header().meta.pixelLiveTime_s; },
                               "each pixel's live time, s, where the file gives it; else None")
        .def_property_readonly("title", [](const SpectrumImage &s) { return s.header().meta.title; })
        .def_readonly("path", &SpectrumImage::path, "the file it was read from")
        .def_property_readonly("format", [](const SpectrumImage &s) { return std::string(image::formatName(s.header().format)); },
                               "'bcf' or 'ripple', as `zandor info` names it")
        .def_property_readonly("warnings", [](const SpectrumImage &s) { return s.header().warnings; })
        .def("rows", &SpectrumImage::rows, py::arg("first"), py::arg("stop"),
             "rows first <= y < stop, read from the file: (stop - first, width, channels)")
        .def("sum", [](const SpectrumImage &s) { return Spectrum::fromCore(sumSpectrum(s), std::nullopt); },
             "the sum spectrum of every pixel, read in chunks")
        .def("sum_of", [](const SpectrumImage &s, const py::handle &counts) {
                 Spectrum given;
                 given.counts = py::array_t<double, py::array::forcecast>::ensure(counts);
                 if (!given.counts)
                     throw py::type_error("counts per channel are an array, not " + std::string(py::repr(counts)));
                 spectrum::Spectrum core = given.toCore();
                 if (core.channels() != s.header().channels)
                     throw cli::UsageError("the sum has " + std::to_string(core.channels()) + " channels and the image " +
                                           std::to_string(s.header().channels));
                 return Spectrum::fromCore(image::sumSpectrumOf(s.header(), std::move(core.counts)), std::nullopt);
             }, py::arg("counts"),
             "the sum spectrum with this image's calibration and metadata over counts per channel\n"
             "summed elsewhere (the chunks of zandor.dask.read on a cluster): what sum() gives")
        .def("__repr__", [](const SpectrumImage &s) {
            return "<zandor.SpectrumImage " + image::sizeText(s.header()) + " of " +
                   std::string(image::sampleTypeName(s.header().type)) + " from " + cli::quoted(s.path) + ">";
        });

    m.def("read", &read, py::arg("path"),
          "Reads a spectrum file (EMSA/MSA, Bruker spx, text, counts) as a Spectrum, or a\n"
          "spectrum image (Bruker bcf, Lispix ripple .rpl with its .raw) as a SpectrumImage;\n"
          "the format is told by the content. OSError, with the reason, when it cannot be read.");
}

} // namespace zpy
