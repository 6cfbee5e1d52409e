// Keyword options of the Python calls turned into the public API's settings, and file names
// passed as the system's bytes, so that names which are not UTF-8 still open.
#include <optional>

#include "bindings.h"
#include "morvik/error.h"

namespace morvik::python {

namespace {

template <typename T>
std::optional<T> Optional(const py::dict& options, const char* name) {
  if (!options.contains(name) || options[name].is_none()) return std::nullopt;
  return OptionOr<T>(options, name, T{});
}

InkPolarity PolarityOf(const std::string& name) {
  if (name == "auto") return InkPolarity::kAuto;
  if (name == "dark") return InkPolarity::kDark;
  if (name == "light") return InkPolarity::kLight;
  throw Error("polarity is \"auto\", \"dark\" or \"light\", not \"" + name + "\"",
              ErrorKind::kUsage);
}

CellGrid GridOf(const py::handle& value) {
  const auto v = value.cast<std::vector<int>>();
  if (v.size() != 6) throw Error("grid is (x, y, width, height, columns, rows)", ErrorKind::kUsage);
  return CellGrid{v[0], v[1], v[2], v[3], v[4], v[5]};
}

}  // namespace

std::string PathOf(py::handle path) {
  return py::module_::import("os").attr("fsencode")(path).cast<std::string>();
}

py::str ShownPath(const std::string& path) {
  return py::reinterpret_steal<py::str>(
      PyUnicode_DecodeFSDefaultAndSize(path.data(), static_cast<Py_ssize_t>(path.size())));
}

SamplingOverrides SamplingOf(const py::dict& options) {
  SamplingOverrides s;
  s.Crop = Optional<bool>(options, "crop");
  s.AutoThreshold = Optional<bool>(options, "auto_threshold");
  s.Threshold = Optional<int>(options, "threshold");
  s.Increment = Optional<int>(options, "increment");
  s.Ratio = Optional<int>(options, "ratio");
  s.Tally = Optional<int>(options, "tally");
  return s;
}

CutSettings CutOf(const py::dict& options) {
  CutSettings cut;
  cut.Polarity = PolarityOf(OptionOr<std::string>(options, "polarity", "auto"));
  cut.Table = OptionOr<bool>(options, "table", false);
  if (options.contains("grid") && !options["grid"].is_none()) {
    try {
      cut.Grid = GridOf(options["grid"]);
    } catch (const py::cast_error&) {
      throw py::type_error("grid is a sequence of six int: (x, y, width, height, columns, rows)");
    }
  }
  return cut;
}

RecognizerOptions RecognizerOptionsOf(const py::dict& options) {
  RecognizerOptions o;
  o.TallyPercent = OptionOr<int>(options, "tally", o.TallyPercent);
  o.BlackCharacters = OptionOr<bool>(options, "black_characters", o.BlackCharacters);
  o.AutoThreshold = OptionOr<bool>(options, "auto_threshold", o.AutoThreshold);
  o.Crop = OptionOr<bool>(options, "crop", o.Crop);
  o.Threshold = OptionOr<int>(options, "threshold", o.Threshold);
  o.Increment = OptionOr<int>(options, "increment", o.Increment);
  // Ratio 0 keeps the proportions, as it does when reading.
  const int ratio = OptionOr<int>(options, "ratio", o.Ratio);
  o.FixedRatio = ratio != 0;
  if (ratio != 0) o.Ratio = ratio;
  return o;
}

}  // namespace morvik::python
