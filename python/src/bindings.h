// The parts of the extension module morvik._morvik, each binding one side of the public API,
// and the conversions they share. Every call that reads or learns releases the GIL while the
// engine works, so Python threads read in parallel over one Library.
#pragma once

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>

#include "morvik/morvik.h"
#include "morvik/settings.h"

namespace morvik::python {

namespace py = pybind11;

void BindErrors(py::module_& m);    // errors.cpp: morvik::Error raised as morvik.Error kinds
void BindResults(py::module_& m);   // results.cpp: Reading, Line, Char
void BindReading(py::module_& m);   // reading_calls.cpp: Library and the reading calls
void BindLearning(py::module_& m);  // learning_calls.cpp: learning and the folder runs

// A file name from a str or os.PathLike, as the bytes the system takes (os.fsencode), and
// back for showing (os.fsdecode).
std::string PathOf(py::handle path);
py::str ShownPath(const std::string& path);

// The options a Python call passes as a dict of keyword arguments, None meaning the
// default. A value of the wrong type raises TypeError naming the option.
SamplingOverrides SamplingOf(const py::dict& options);
CutSettings CutOf(const py::dict& options);
RecognizerOptions RecognizerOptionsOf(const py::dict& options);

// The named value of a plain type, or fallback when it is absent or None.
template <typename T>
T OptionOr(const py::dict& options, const char* name, T fallback) {
  if (!options.contains(name) || options[name].is_none()) return fallback;
  try {
    return options[name].cast<T>();
  } catch (const py::cast_error&) {
    throw py::type_error(std::string(name) + " has the wrong type: " +
                         py::str(py::type::of(options[name]).attr("__name__")).cast<std::string>());
  }
}

}  // namespace morvik::python
