// lines, edges and find: the command line's answers, as Python objects.
#include "convert.h"
#include "values.h"

#include "cli/answers.h"
#include "cli/xrayformat.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace zpy {

namespace {

// An element given as a symbol or an atomic number, read as the command
// line reads it.
int elementOf(const py::handle &element)
{
    if (py::isinstance<py::str>(element))
        return cli::elementArgument(element.cast<std::string>());
    if (PyIndex_Check(element.ptr()) && !py::isinstance<py::bool_>(element))
        return cli::elementArgument(std::string(py::str(py::int_(py::reinterpret_borrow<py::object>(element)))));
    throw py::type_error("an element is a symbol (\"Fe\") or an atomic number (26), not " +
                         std::string(py::repr(element)));
}

py::object find(double energy_eV, const std::string &detector, std::optional<double> fwhm_eV,
                std::optional<double> beam_kV, const py::object &elements, long long limit,
                std::optional<double> tolerance_eV)
{
    cli::FindValues v;
    v.energy = named("energy_eV", energy_eV, "eV");
    v.detector = named("detector", detector);
    v.fwhm = named("fwhm_eV", fwhm_eV, "eV");
    v.tolerance = named("tolerance_eV", tolerance_eV, "eV");
    v.beam = named("beam_kV", beam_kV, "kV");
    v.elements = elementsValue("elements", elements);
    v.limit = named("limit", std::to_string(limit));
    return toPython(cli::findJson(cli::findQuery(v))["candidates"]);
}

} // namespace

void bindXray(py::module_ &m)
{
    m.def("lines", [](const py::object &element) { return toPython(cli::linesJson(elementOf(element))); },
          py::arg("element"),
          "The element's X-ray lines, K, L then M, each a dict with the keys of `zandor lines EL\n"
          "--json`'s \"lines\": iupac, siegbahn, family, energy_eV, relative_intensity. The element\n"
          "is a symbol in any letter case or an atomic number.");
    m.def("edges", [](const py::object &element) { return toPython(cli::edgesJson(elementOf(element))); },
          py::arg("element"),
          "The element's absorption edges, each a dict with the keys of `zandor edges EL --json`'s\n"
          "\"edges\": shell, energy_eV, fluorescence_yield, jump_ratio (None where unknown).");
    m.def("find", &find, py::arg("energy_eV"), py::arg("detector") = "si", py::arg("fwhm_eV") = py::none(),
          py::arg("beam_kV") = py::none(), py::arg("elements") = py::tuple(), py::arg("limit") = 10, py::kw_only(),
          py::arg("tolerance_eV") = py::none(),
          "The lines, escape peaks and sum peaks that can explain a peak at energy_eV, best first:\n"
          "the \"candidates\" of `zandor find --json`, each a dict. detector is si, ge or cdte;\n"
          "fwhm_eV its FWHM at Mn Ka (default: the detector's usual); beam_kV leaves out the lines\n"
          "the beam cannot excite; elements known present come first and make sum peaks; limit\n"
          "0 gives every candidate within tolerance_eV (default: 1 FWHM).");
}

} // namespace zpy
