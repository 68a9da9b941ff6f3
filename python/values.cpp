#include "values.h"

#include <charconv>
#include <cmath>

namespace py = pybind11;

namespace zpy {

std::string numberText(double value, const char *unit)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string written(text, end);
    // A bare "nan" or "inf" is no number to the command line either: it
    // says so, naming the value.
    return std::isfinite(value) ? written + unit : written;
}

cli::NamedValue named(const char *name, double value, const char *unit)
{
    return {name, numberText(value, unit)};
}

std::optional<cli::NamedValue> named(const char *name, const std::optional<double> &value, const char *unit)
{
    if (!value)
        return std::nullopt;
    return named(name, *value, unit);
}

std::optional<cli::NamedValue> named(const char *name, const std::string &text)
{
    return cli::NamedValue{name, text};
}

std::optional<cli::NamedValue> elementsValue(const char *name, const py::handle &elements)
{
    if (elements.is_none())
        return std::nullopt;
    if (py::isinstance<py::str>(elements)) {
        const std::string text = elements.cast<std::string>();
        return text.empty() ? std::nullopt : named(name, text);
    }
    if (!py::isinstance<py::iterable>(elements) || py::isinstance<py::bytes>(elements))
        throw py::type_error(std::string(name) + " must be a sequence of element symbols or atomic numbers, not " +
                             std::string(py::str(py::type::of(elements).attr("__name__"))));
    std::string text;
    bool any = false;
    for (const py::handle item : elements) {
        if (any)
            text += ',';
        any = true;
        if (py::isinstance<py::str>(item))
            text += item.cast<std::string>();
        else if (PyIndex_Check(item.ptr()) && !py::isinstance<py::bool_>(item))
            text += std::string(py::str(py::int_(py::reinterpret_borrow<py::object>(item))));
        else
            throw py::type_error(std::string(name) + " holds " + std::string(py::repr(item)) +
                                 ", which is neither an element symbol nor an atomic number");
    }
    return any ? named(name, text) : std::nullopt;
}

} // namespace zpy
