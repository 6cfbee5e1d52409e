// morvik::Error raised in Python as the subclass of morvik.Error for its kind, carrying the
// kind and the file (morvik/_types.py makes the exception). Messages and file names are
// decoded as the system's file names are, so a name that is not UTF-8 still shows.
#include "bindings.h"
#include "morvik/error.h"

namespace morvik::python {

namespace {

void RaiseEngineError(const Error& e) {
  const py::object types = py::module_::import("morvik._types");
  const py::object error = types.attr("make_error")(static_cast<int>(e.Kind()), ShownPath(e.what()),
                                                    ShownPath(e.File()));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
}

}  // namespace

void BindErrors(py::module_&) {
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const Error& e) {
      RaiseEngineError(e);
    }
  });
}

}  // namespace morvik::python
