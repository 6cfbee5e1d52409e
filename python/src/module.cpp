// The extension module morvik._morvik: the engine's public API for the package morvik, whose
// __init__.py gives the calls their Python signatures and documentation.
#include "bindings.h"
#include "morvik/jobs.h"
#include "morvik/morvik.h"

PYBIND11_MODULE(_morvik, m) {
  namespace python = morvik::python;
  m.doc() = "The engine of the morvik package; use the package, not this module.";
  m.attr("__version__") = morvik::Version();
  // Workers and threads reading page after page keep their pages' memory (see jobs.h).
  morvik::KeepFreedMemory();
  python::BindErrors(m);
  python::BindResults(m);
  python::BindReading(m);
  python::BindLearning(m);
}
