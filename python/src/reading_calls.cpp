// morvik.Library and the reading calls behind morvik.read: a picture file, the bytes of one,
// or an array of pixels, each read with the GIL released.
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "bindings.h"
#include "morvik/reading.h"
#include "morvik/stock.h"
#include "pixels.h"
#include "results.h"

namespace morvik::python {

namespace {

// A set's name as the command line shows it: relative to the current folder where it lies
// in it, so that the output formats print the same set names.
std::string AsNamed(const std::string& name) {
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  if (ec || cwd.empty()) return name;
  if (cwd.back() != '/') cwd += '/';
  return name.compare(0, cwd.size(), cwd) == 0 ? name.substr(cwd.size()) : name;
}

Library OpenAsNamed(std::vector<std::string> names, const std::string& charmap) {
  for (std::string& name : names) name = AsNamed(name);
  py::gil_scoped_release free;
  return Library::Open(names, charmap);
}

Library OpenStockDefault() {
  py::gil_scoped_release free;
  return Library::Stock();
}

// $MORVIK_STOCK, else the stock library found from the package's own folder up, else where
// Library::Stock() looks; opened once per process.
Library CachedStock() {
  static std::optional<Library> stock;
  if (stock) return *stock;
  std::string found;
  if (const char* named = std::getenv("MORVIK_STOCK"); named && *named) found = named;
  if (found.empty()) {
    const std::string module = PathOf(py::module_::import("morvik._morvik").attr("__file__"));
    found = FindStockLibraryNear(std::filesystem::path(module).parent_path().string());
  }
  // Two threads may both open it while the GIL is released; the first to finish is kept.
  const Library opened = found.empty() ? OpenStockDefault() : OpenAsNamed({found}, "");
  if (!stock) stock = opened;
  return *stock;
}

Library OpenLibrary(const py::object& names, const py::object& charmap) {
  std::vector<std::string> list;
  if (py::isinstance<py::str>(names) || py::isinstance<py::bytes>(names) ||
      py::hasattr(names, "__fspath__")) {
    list.push_back(PathOf(names));
  } else {
    for (const py::handle name : names) list.push_back(PathOf(name));
  }
  return OpenAsNamed(list, charmap.is_none() ? "" : PathOf(charmap));
}

ReadSettings ReadSettingsOf(const py::dict& options) {
  ReadSettings s;
  s.Chars = OptionOr<std::string>(options, "chars", "");
  s.Reject = OptionOr<double>(options, "reject", 0.0);
  s.Cut = CutOf(options);
  s.Sampling = SamplingOf(options);
  return s;
}

PyReading ReadFileCall(const py::object& path, const Library& library, const py::dict& options,
                       const py::object& name) {
  const ReadSettings settings = ReadSettingsOf(options);
  const std::string file = PathOf(path);
  const std::string shown = name.is_none() ? file : PathOf(name);
  std::optional<Reading> r;
  {
    py::gil_scoped_release free;
    r = ReadFile(file, library, settings);
  }
  return ResultOf(std::move(*r), shown);
}

// The bytes of a picture file from any contiguous buffer (bytes, bytearray, memoryview),
// held, and so kept from being resized, while it is read.
PyReading ReadMemoryCall(const py::object& data, const Library& library, const py::dict& options,
                         const std::string& name) {
  const ReadSettings settings = ReadSettingsOf(options);
  Py_buffer view;
  if (PyObject_GetBuffer(data.ptr(), &view, PyBUF_SIMPLE) != 0) throw py::error_already_set();
  std::optional<Reading> r;
  try {
    py::gil_scoped_release free;
    r = ReadMemory(view.buf, static_cast<std::size_t>(view.len), library, settings, name);
  } catch (...) {
    PyBuffer_Release(&view);
    throw;
  }
  PyBuffer_Release(&view);
  return ResultOf(std::move(*r), name);
}

PyReading ReadPixelsCall(const py::object& pixels, const Library& library, const py::dict& options,
                         const std::string& name) {
  const ReadSettings settings = ReadSettingsOf(options);
  const PixelView view = PixelsOf(pixels, name);
  std::optional<Reading> r;
  {
    py::gil_scoped_release free;
    r = ReadPixels(view.Buffer, library, settings, name);
  }
  return ResultOf(std::move(*r), name);
}

void BindLibrary(py::module_& m) {
  py::class_<Library>(m, "Library",
                      "Reference sets to read with: immutable, and shared by any number of "
                      "threads reading at once.")
      .def_static("open", &OpenLibrary, py::arg("names"), py::kw_only(),
                  py::arg("charmap") = py::none(),
                  "Opens a set BASE (BASE.PCP with its sidecars), a library file NAME.sets, "
                  "or several (a list, ranked together; earlier sets win ties). charmap, a "
                  "file of \"<number><TAB><character>\" lines, replaces every set's own map. "
                  "Sets are named as the command line names them: relative to the current "
                  "folder where they lie in it.")
      .def_static("stock", &CachedStock,
                  "The stock library that comes with morvik ($MORVIK_STOCK when set), opened "
                  "once and shared.")
      .def_property_readonly("set_names", &Library::SetNames,
                             "The sets' base names in ranking order.")
      .def("__repr__", [](const Library& l) {
        return "<morvik.Library of " + std::to_string(l.SetNames().size()) + " sets>";
      });
}

}  // namespace

void BindReading(py::module_& m) {
  BindLibrary(m);
  m.def("_read_file", &ReadFileCall, py::arg("path"), py::arg("library"), py::arg("options"),
        py::arg("name"));
  m.def("_read_memory", &ReadMemoryCall, py::arg("data"), py::arg("library"), py::arg("options"),
        py::arg("name"));
  m.def("_read_pixels", &ReadPixelsCall, py::arg("pixels"), py::arg("library"), py::arg("options"),
        py::arg("name"));
  m.def(
      "_reads_in_place",
      [](const py::object& pixels) { return PixelsOf(pixels, "pixels").InPlace; },
      "Whether an array is read where it lies, without a compact copy first.");
}

}  // namespace morvik::python
