// Learning sets (from a picture, a font or a folder of numbered pictures) and the folder and
// batch runs, each with the GIL released while the engine works.
#include "bindings.h"
#include "morvik/learning.h"
#include "morvik/runs.h"

namespace morvik::python {

namespace {

LearnedSets LearnPictureCall(const py::object& picture, const std::string& chars,
                             const py::dict& options) {
  LearnSettings settings;
  settings.Cut = CutOf(options);
  settings.Sampling = SamplingOf(options);
  const std::string path = PathOf(picture);
  py::gil_scoped_release free;
  return LearnPicture(path, chars, settings);
}

LearnedSets LearnFontCall(const py::object& font, const std::string& chars,
                          const std::vector<int>& sizes, const py::dict& options) {
  const SamplingOverrides sampling = SamplingOf(options);
  const std::string path = PathOf(font);
  py::gil_scoped_release free;
  return LearnFont(path, chars, sizes, sampling);
}

LearnedSets LearnFolderCall(const py::object& folder, const py::dict& options) {
  const RecognizerOptions image = RecognizerOptionsOf(options);
  const std::string path = PathOf(folder);
  const std::string map = options.contains("charmap") && !options["charmap"].is_none()
                              ? PathOf(options["charmap"])
                              : "";
  py::gil_scoped_release free;
  return LearnFolder(path, image, map);
}

std::string OptionalPath(const py::dict& options, const char* name) {
  return options.contains(name) && !options[name].is_none() ? PathOf(options[name]) : "";
}

FolderRunSettings RunSettingsOf(const py::dict& options) {
  FolderRunSettings s;
  s.Image = RecognizerOptionsOf(options);
  s.Set = OptionalPath(options, "set");
  if (options.contains("sets") && !options["sets"].is_none())
    for (const py::handle name : options["sets"]) s.Sets.push_back(PathOf(name));
  s.CharacterMap = OptionalPath(options, "charmap");
  s.Chars = OptionOr<std::string>(options, "chars", "");
  s.DynamicNames = OptionOr<bool>(options, "dynamic", false);
  s.Report = OptionalPath(options, "report");
  return s;
}

py::object SummaryOf(const RunSummary& done) {
  py::list failed;
  for (const std::string& message : done.Failed) failed.append(ShownPath(message));
  return py::module_::import("morvik._types").attr("RunSummary")(done.Pictures, failed);
}

py::object RunCall(const py::object& folder, const py::dict& options, bool batch) {
  const FolderRunSettings settings = RunSettingsOf(options);
  const std::string path = PathOf(folder);
  RunSummary done;
  {
    py::gil_scoped_release free;
    done = batch ? RecognizeBatchRun(path, settings) : RecognizeFolderRun(path, settings);
  }
  return SummaryOf(done);
}

}  // namespace

void BindLearning(py::module_& m) {
  py::class_<LearnedSets>(m, "LearnedSets", "Reference sets learned, not yet saved.")
      .def_property_readonly("references", &LearnedSets::References, "References in all sets.")
      .def_property_readonly("set_count", &LearnedSets::SetCount, "Sets, 40 references to one.")
      .def(
          "save",
          [](const LearnedSets& sets, const py::object& base) {
            const std::string path = PathOf(base);
            std::string opened;
            {
              py::gil_scoped_release free;
              opened = sets.Save(path);
            }
            return ShownPath(opened);
          },
          py::arg("base"),
          "Saves one set as BASE.PCP with its sidecars (several as BASE-1, BASE-2, ... with "
          "BASE.sets), all or nothing. Returns the name Library.open takes: BASE or BASE.sets.")
      .def("__repr__", [](const LearnedSets& s) {
        return "<morvik.LearnedSets: " + std::to_string(s.References()) + " references in " +
               std::to_string(s.SetCount()) + " sets>";
      });
  m.def("_learn_picture", &LearnPictureCall);
  m.def("_learn_font", &LearnFontCall);
  m.def("_learn_folder", &LearnFolderCall);
  m.def("_recognize_folder",
        [](const py::object& f, const py::dict& o) { return RunCall(f, o, false); });
  m.def("_recognize_batch",
        [](const py::object& f, const py::dict& o) { return RunCall(f, o, true); });
}

}  // namespace morvik::python
