#include "convert.h"

namespace py = pybind11;

namespace zpy {

py::object toPython(const cli::Json &value)
{
    switch (value.type()) {
    case cli::Json::value_t::null:
    case cli::Json::value_t::discarded:
        return py::none();
    case cli::Json::value_t::boolean:
        return py::bool_(value.get<bool>());
    case cli::Json::value_t::number_integer:
        return py::int_(value.get<std::int64_t>());
    case cli::Json::value_t::number_unsigned:
        return py::int_(value.get<std::uint64_t>());
    case cli::Json::value_t::number_float:
        return py::float_(value.get<double>());
    case cli::Json::value_t::string:
        // Text from a file that is not valid UTF-8 has its bad bytes
        // replaced, as the command line prints it.
    {
        const std::string &text = value.get_ref<const std::string &>();
        PyObject *decoded = PyUnicode_DecodeUTF8(text.data(), py::ssize_t(text.size()), "replace");
        if (!decoded)
            throw py::error_already_set();
        return py::reinterpret_steal<py::object>(decoded);
    }
    case cli::Json::value_t::array: {
        py::list list;
        for (const cli::Json &item : value)
            list.append(toPython(item));
        return list;
    }
    case cli::Json::value_t::object: {
        py::dict dict;
        for (const auto &[key, item] : value.items())
            dict[py::str(key)] = toPython(item);
        return dict;
    }
    case cli::Json::value_t::binary:
        break;
    }
    return py::none();
}

} // namespace zpy
