// Numpy arrays as pixel buffers (pixels.h).
#include "pixels.h"

#include <climits>

namespace morvik::python {

namespace {

PixelFormat FormatOf(const py::array& a, const std::string& name) {
  if (a.ndim() == 2) return PixelFormat::kGrey;
  if (a.ndim() == 3) {
    if (a.shape(2) == 1) return PixelFormat::kGrey;
    if (a.shape(2) == 3) return PixelFormat::kRgb;
    if (a.shape(2) == 4) return PixelFormat::kRgba;
  }
  std::string shape;
  for (py::ssize_t k = 0; k < a.ndim(); ++k) shape += (k ? ", " : "") + std::to_string(a.shape(k));
  throw FileError(
      name, "pixels are an array H x W (grey) or H x W x 3 (RGB) or 4 (RGBA), not (" + shape + ")",
      ErrorKind::kUsage);
}

py::ssize_t Channels(PixelFormat format) {
  return format == PixelFormat::kRgba ? 4 : format == PixelFormat::kRgb ? 3 : 1;
}

// Each row's pixels side by side, rows at a positive distance of at least a row apart.
bool RowsAreCompact(const py::array& a, py::ssize_t channels) {
  const py::ssize_t height = a.shape(0), width = a.shape(1);
  const bool channelsTouch = a.ndim() == 2 || channels == 1 || a.strides(2) == 1;
  const bool pixelsTouch = width == 1 || a.strides(1) == channels;
  const bool rowsApart = height == 1 || a.strides(0) >= width * channels;
  return channelsTouch && pixelsTouch && rowsApart;
}

}  // namespace

PixelView PixelsOf(const py::object& source, const std::string& name) {
  if (!py::isinstance<py::array>(source))
    throw py::type_error(
        "morvik reads a path, the bytes of a picture file or a numpy array of uint8 pixels, "
        "not " +
        py::str(py::type::of(source).attr("__name__")).cast<std::string>());
  py::array a = py::reinterpret_borrow<py::array>(source);
  if (a.dtype().kind() != 'u' || a.itemsize() != 1)
    throw py::type_error("pixels must be uint8, not " + py::str(a.dtype()).cast<std::string>());
  const PixelFormat format = FormatOf(a, name);
  if (a.shape(0) == 0 || a.shape(1) == 0)
    throw FileError(name, "no pixels: the array is empty", ErrorKind::kUsage);
  if (a.shape(0) > INT_MAX || a.shape(1) > INT_MAX)
    throw FileError(name, "larger than any picture this program reads", ErrorKind::kTooLarge);
  const py::ssize_t channels = Channels(format);
  PixelView view;
  view.InPlace = RowsAreCompact(a, channels);
  view.Keep = view.InPlace ? a : py::array::ensure(a, py::array::c_style);
  if (!view.Keep) throw py::error_already_set();
  view.Buffer.Data = static_cast<const std::uint8_t*>(view.Keep.data());
  view.Buffer.Width = static_cast<int>(a.shape(1));
  view.Buffer.Height = static_cast<int>(a.shape(0));
  view.Buffer.Stride = static_cast<std::size_t>(view.Buffer.Height == 1 ? a.shape(1) * channels
                                                                        : view.Keep.strides(0));
  view.Buffer.Format = format;
  return view;
}

}  // namespace morvik::python
