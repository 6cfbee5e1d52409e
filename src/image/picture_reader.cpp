#include "image/picture_reader.h"

#include <vector>

#include "core/error.h"
#include "image/bmp_reader.h"
#include "image/picture_file.h"
#include "image/png_reader.h"
#include "image/pnm_reader.h"

namespace morvik {
namespace {

// "BM", or an OS/2 bitmap array ("BA") whose first picture follows its 14-byte header.
bool HasBmpSignature(const std::uint8_t* data, std::size_t size) {
  auto magic = [&](std::size_t at, char second) {
    return size >= at + 2 && data[at] == 'B' && data[at + 1] == second;
  };
  return magic(0, 'M') || (magic(0, 'A') && magic(14, 'M'));
}

constexpr const char* kNotAPicture = "not a BMP, PNG or PNM picture";

// Every signature fits in the first kStartBytes bytes.
void CheckPictureStart(const std::uint8_t* data, std::size_t size, const std::string& name) {
  if (!HasBmpSignature(data, size) && !HasPngSignature(data, size) && !HasPnmSignature(data, size))
    throw FileError(name, kNotAPicture, ErrorKind::kBadData);
}

}  // namespace

Bitmap DecodePicture(const std::uint8_t* data, std::size_t size, const std::string& name) {
  if (HasBmpSignature(data, size)) return DecodeBmp(data, size, name);
  if (HasPngSignature(data, size)) return DecodePng(data, size, name);
  if (HasPnmSignature(data, size)) return DecodePnm(data, size, name);
  throw FileError(name, kNotAPicture, ErrorKind::kBadData);
}

Bitmap ReadPictureFile(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadPictureBytes(path, CheckPictureStart);
  return DecodePicture(bytes.data(), bytes.size(), path);
}

DecodedPicture ReadPictureFileKeepingGrey(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadPictureBytes(path, CheckPictureStart);
  DecodedPicture d;
  d.Grey = DecodePnmGrey(bytes.data(), bytes.size(), path, d.Width, d.Height, d.Greys);
  if (!d.Grey) {
    d.Colour = DecodePicture(bytes.data(), bytes.size(), path);
    d.Width = d.Colour.Width();
    d.Height = d.Colour.Height();
  }
  return d;
}

Bitmap ReadPictureFromStream(int fd, const std::string& name, std::int64_t maxBytes) {
  const std::vector<std::uint8_t> bytes = ReadPictureStream(fd, name, maxBytes, CheckPictureStart);
  return DecodePicture(bytes.data(), bytes.size(), name);
}

}  // namespace morvik
