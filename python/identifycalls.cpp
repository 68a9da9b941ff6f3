// identify: the command line's identification of a spectrum, of an image's
// sum spectrum or of bare counts, as the dict of `zandor identify --json`.
#include "convert.h"
#include "spectra.h"
#include "values.h"

#include "cli/answers.h"
#include "cli/errors.h"
#include "cli/options.h"
#include "identify/identify.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace zpy {

namespace {

py::object identify(const py::object &what, const std::string &detector, std::optional<double> fwhm_eV,
                    std::optional<double> beam_kV, const py::object &exclude, const py::object &require,
                    const py::object &allow, const py::object &tube, bool xrf, std::optional<double> offset_eV,
                    std::optional<double> gain_eV)
{
    cli::IdentifyValues v;
    v.detector = named("detector", detector);
    v.fwhm = named("fwhm_eV", fwhm_eV, "eV");
    v.beam = named("beam_kV", beam_kV, "kV");
    v.exclude = elementsValue("exclude", exclude);
    v.require = elementsValue("require", require);
    v.allow = elementsValue("allow", allow);
    v.tube = elementsValue("tube", tube);
    v.xrf = xrf;
    const identify::IdentifyOptions options = cli::identifyOptions(v);
    if (offset_eV.has_value() != gain_eV.has_value())
        throw cli::UsageError("give offset_eV and gain_eV together, or neither");

    spectrum::Spectrum s;
    std::optional<std::string> file;
    if (py::isinstance<Spectrum>(what)) {
        const Spectrum &given = what.cast<const Spectrum &>();
        s = given.toCore();
        file = given.path;
    } else if (py::isinstance<SpectrumImage>(what)) {
        const SpectrumImage &given = what.cast<const SpectrumImage &>();
        s = sumSpectrum(given);
        file = given.path;
    } else {
        Spectrum bare;
        bare.counts = py::array_t<double, py::array::forcecast>::ensure(what);
        if (!bare.counts)
            throw py::type_error("identify takes a Spectrum, a SpectrumImage or an array of counts, not " +
                                 std::string(py::repr(what)));
        s = bare.toCore();
    }
    if (offset_eV) {
        checkCalibration(*offset_eV, *gain_eV);
        s.calibration = spectrum::Calibration{*offset_eV, *gain_eV};
    }
    const std::string prefix = file ? cli::quotedPath(*file) + ": " : std::string();
    auto id = [&] {
        py::gil_scoped_release release;
        return identify::identify(s, options);
    }();
    if (!id)
        throw cli::UsageError(prefix + id.error().message());
    // The JSON's keys are fixed: its notes are Python warnings, as the
    // command line's go to stderr.
    for (const identify::Note &note : id.value().notes)
        if (PyErr_WarnEx(PyExc_UserWarning, (prefix + "note: " + note.text).c_str(), 1) != 0)
            throw py::error_already_set();
    return toPython(cli::identificationJson(file, id.value()));
}

} // namespace

void bindIdentify(py::module_ &m)
{
    m.def("identify", &identify, py::arg("spectrum"), py::arg("detector") = "si", py::arg("fwhm_eV") = py::none(),
          py::arg("beam_kV") = py::none(), py::arg("exclude") = py::tuple(), py::arg("require") = py::tuple(),
          py::kw_only(), py::arg("allow") = py::tuple(), py::arg("tube") = py::none(), py::arg("xrf") = false,
          py::arg("offset_eV") = py::none(), py::arg("gain_eV") = py::none(),
          "The elements and artefacts of a spectrum: the dict of `zandor identify --json` (file,\n"
          "detector, fwhm_eV, beam_kV, elements, peaks). Takes a Spectrum, a SpectrumImage (its\n"
          "sum spectrum), or an array of counts with offset_eV= and gain_eV=. The options are the\n"
          "command line's: exclude, require and allow are lists of elements, tube the X-ray\n"
          "tube's anode, xrf for X-ray excitation. Notes come as UserWarnings.");
}

} // namespace zpy
