// The module: its version, and the calls of each file. Errors are the
// command line's: a bad value raises ValueError, a file that cannot be read
// OSError, each with the command line's message.
#include "spectra.h"

#include "cli/errors.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace zpy {
void bindXray(py::module_ &m);
void bindIdentify(py::module_ &m);
void bindMaps(py::module_ &m);
} // namespace zpy

PYBIND11_MODULE(_zandor, m)
{
    m.doc() = "Zandor's X-ray line table, spectrum readers, identification and element maps.";
    m.attr("__version__") = ZANDOR_VERSION;
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const cli::UsageError &e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const cli::FileError &e) {
            PyErr_SetString(PyExc_OSError, e.what());
        }
    });
    zpy::bindXray(m);
    zpy::bindSpectra(m);
    zpy::bindIdentify(m);
    zpy::bindMaps(m);
}
