#include "fonts/font_face.h"

#include <filesystem>
#include <fstream>

#include "core/error.h"

namespace morvik {

namespace {

void CheckReadable(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status))
    throw FileError(path, "no such font file", ErrorKind::kNotFound);
  if (!std::filesystem::is_regular_file(status))
    throw FileError(path, "is not a regular file", ErrorKind::kCannotRead);
  std::ifstream probe(path, std::ios::binary);
  if (!probe) throw ReadError(path, "the font file cannot be read", errno);
}

}  // namespace

FontFace::FontFace(const std::string& path) : path_(path) {
  CheckReadable(path);
  if (FT_Init_FreeType(&library_) != 0) throw FileError(path, "FreeType cannot be started");
  if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
    FT_Done_FreeType(library_);
    throw FileError(path, "not a font file FreeType can read", ErrorKind::kBadData);
  }
  if (!FT_IS_SCALABLE(face_)) {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
    throw FileError(path, "the font has no outlines to scale");
  }
  // Type 1 fonts get a synthesised Unicode map; a font without one keeps its default map.
  FT_Select_Charmap(face_, FT_ENCODING_UNICODE);
}

FontFace::~FontFace() {
  FT_Done_Face(face_);
  FT_Done_FreeType(library_);
}

unsigned FontFace::GlyphIndex(char32_t c) const {
  return FT_Get_Char_Index(face_, static_cast<FT_ULong>(c));
}

}  // namespace morvik
