// The reading's Python classes (results.h). Boxes and candidates are the named tuples of
// morvik._types, so they unpack and compare as plain tuples.
#include "results.h"

#include <sstream>

#include "morvik/output.h"

namespace morvik::python {

namespace {

py::object TypeOf(const char* name) {
  return py::module_::import("morvik._types").attr(name);
}

py::object BoxOf(const ReadChar& c) {
  static const py::handle box = TypeOf("Box").release();
  return box(c.Box.Left, c.Box.Top, c.Box.Width, c.Box.Height);
}

py::list CandidatesOf(const ReadChar& c) {
  static const py::handle candidate = TypeOf("Candidate").release();
  py::list list;
  for (const CharCandidate& k : c.Candidates)
    list.append(candidate(k.Text, k.Score, k.Set, k.Number));
  return list;
}

OutputFormat FormatOf(const std::string& name) {
  if (name == "text") return OutputFormat::kText;
  if (name == "tsv") return OutputFormat::kTsv;
  if (name == "json") return OutputFormat::kJson;
  throw Error("format is \"text\", \"tsv\" or \"json\", not \"" + name + "\"", ErrorKind::kUsage);
}

std::string NameOr(const PyReading& r, const py::object& name) {
  return name.is_none() ? r.Name : PathOf(name);
}

// Readings printed one after another as one run of `morvik --read` over them prints them.
py::str RenderAll(const py::iterable& readings, const std::string& format) {
  std::vector<const PyReading*> all;
  for (const py::handle item : readings) all.push_back(&item.cast<const PyReading&>());
  std::ostringstream out;
  OutputPrinter printer(out, FormatOf(format), all.size() > 1);
  for (const PyReading* r : all) printer.Print(r->Name, r->Value);
  printer.Finish();
  return py::str(out.str());
}

std::string CharRepr(const ReadChar& c) {
  return "<morvik.Char " + py::repr(py::str(c.Text)).cast<std::string>() + " at (" +
         std::to_string(c.Box.Left) + ", " + std::to_string(c.Box.Top) + ")" +
         (c.Rejected ? " rejected>" : ">");
}

void BindChar(py::module_& m) {
  py::class_<ReadChar>(m, "Char", "One character of a reading, in reading order.")
      .def_readonly("text", &ReadChar::Text,
                    "As the text shows it: \"?\" when rejected or unnamed, \" \" for a blank cell.")
      .def_property_readonly("box", &BoxOf, "Box(left, top, width, height) in picture pixels.")
      .def_property_readonly("candidates", &CandidatesOf,
                             "Up to three Candidate(char, score, set, number), best first as the "
                             "reading ranks them; none for a blank cell.")
      .def_readonly("rejected", &ReadChar::Rejected,
                    "Nothing matched, or the best score was below reject.")
      .def_readonly("blank", &ReadChar::Blank, "An empty grid or table cell, not recognised.")
      .def_readonly("space_before", &ReadChar::SpaceBefore,
                    "A word space precedes it in the line's text.")
      .def("__repr__", &CharRepr);
}

void BindLine(py::module_& m) {
  py::class_<PyLine>(m, "Line", "One text line of a reading.")
      .def_readonly("text", &PyLine::Text, "The line's text: one blank between words, no line end.")
      .def_readonly("chars", &PyLine::Chars, "Its characters (Char), left to right.")
      .def("__repr__", [](const PyLine& l) {
        return "<morvik.Line " + py::repr(py::str(l.Text)).cast<std::string>() + ">";
      });
}

void BindReadingClass(py::module_& m) {
  py::class_<PyReading>(m, "Reading",
                        "The text of a picture, line by line and character by character.")
      .def_property_readonly(
          "text", [](const PyReading& r) { return r.Value.Text; },
          "Every line followed by \"\\n\", as `morvik --read` prints it.")
      .def_readonly("lines", &PyReading::Lines, "The text lines (Line), top to bottom.")
      .def_property_readonly(
          "name", [](const PyReading& r) { return ShownPath(r.Name); },
          "The picture's name as the output formats print it.")
      .def(
          "render",
          [](const PyReading& r, const std::string& format, const py::object& name) {
            return py::str(Render(r.Value, FormatOf(format), NameOr(r, name)));
          },
          py::arg("format") = "text", py::arg("name") = py::none(),
          "The reading as `morvik --read --format FORMAT NAME` prints it alone: format is "
          "\"text\", \"tsv\" or \"json\"; name defaults to the picture's name.")
      .def("__repr__", [](const PyReading& r) {
        return "<morvik.Reading " + py::repr(ShownPath(r.Name)).cast<std::string>() + ": " +
               std::to_string(py::len(r.Lines)) + " lines>";
      });
  m.def("render", &RenderAll, py::arg("readings"), py::arg("format") = "text",
        "Readings as one run of `morvik --read --format FORMAT` over their pictures prints "
        "them: text with \"==> NAME <==\" before each when there are several, TSV under one "
        "header, JSON as one array.");
}

}  // namespace

PyReading ResultOf(Reading reading, const std::string& name) {
  PyReading r{std::move(reading), name, py::list()};
  for (ReadLine& line : r.Value.Lines) {
    PyLine l{line.Text, py::list()};
    for (ReadChar& c : line.Chars) l.Chars.append(py::cast(std::move(c)));
    r.Lines.append(py::cast(std::move(l)));
  }
  r.Value.Lines.clear();  // moved into the Python objects; Text and Source stay
  return r;
}

void BindResults(py::module_& m) {
  BindChar(m);
  BindLine(m);
  BindReadingClass(m);
}

}  // namespace morvik::python
