// Python's arguments as the values the command line's answers take
// (cli/answers.h): numbers written with their unit, lists of elements as
// the comma-separated text of the command line, each named as the Python
// caller named it. The checks, and their messages, are the command line's.
#pragma once

#include "cli/answers.h"

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

namespace zpy {

// A number with its unit, written so that it reads back exactly: "6400eV",
// "20kV"; "nan" and "inf" stay as they are, for the check to refuse.
std::string numberText(double value, const char *unit);

cli::NamedValue named(const char *name, double value, const char *unit);
std::optional<cli::NamedValue> named(const char *name, const std::optional<double> &value, const char *unit);
std::optional<cli::NamedValue> named(const char *name, const std::string &text);

// Elements given as a str ("Fe,Cu", "Fe") or as a sequence of symbols and
// atomic numbers (("Fe", 29)); nothing for None or an empty sequence.
// Throws TypeError for anything else.
std::optional<cli::NamedValue> elementsValue(const char *name, const pybind11::handle &elements);

} // namespace zpy
