// From the command line's JSON to Python's objects: objects become dicts
// (keys in the documented order), arrays lists, null None; numbers and text
// as they are.
#pragma once

#include "cli/json.h"

#include <pybind11/pybind11.h>

namespace zpy {

pybind11::object toPython(const cli::Json &value);

} // namespace zpy
