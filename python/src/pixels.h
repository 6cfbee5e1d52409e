// A numpy array of uint8 pixels as the engine's PixelBuffer: H x W grey, or H x W x 1, 3
// (RGB) or 4 (RGBA). Where each row's pixels lie side by side, whatever the distance between
// rows (a C-ordered array, or one sliced by rows or columns of its rows), the buffer points
// into the array itself; any other layout (Fortran order, steps along a row, reversed rows) is
// first copied into a compact one.
#pragma once

#include <pybind11/numpy.h>

#include "bindings.h"
#include "morvik/reading.h"

namespace morvik::python {

struct PixelView {
  PixelBuffer Buffer;
  py::array Keep;  // the array Buffer points into, held while it is read
  bool InPlace = false;
};

// Raises TypeError for anything but a numpy array of uint8 (naming what it was given), and
// throws Error kUsage naming `name` for a shape that is no picture, kTooLarge beyond int.
PixelView PixelsOf(const py::object& source, const std::string& name);

}  // namespace morvik::python
