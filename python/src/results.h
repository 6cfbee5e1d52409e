// What a reading gives in Python: morvik.Reading (text, lines, render), morvik.Line and
// morvik.Char, made once per reading with the GIL held.
#pragma once

#include <string>

#include "bindings.h"
#include "morvik/reading.h"

namespace morvik::python {

struct PyLine {
  std::string Text;
  py::list Chars;  // of ReadChar, bound as morvik.Char
};

struct PyReading {
  Reading Value;
  std::string Name;  // what the renderers print for the picture, as the system's bytes
  py::list Lines;    // of PyLine
};

// The Python objects of a reading of the picture named `name`.
PyReading ResultOf(Reading reading, const std::string& name);

}  // namespace morvik::python
