// A font file opened with FreeType: its library instance and face, released together.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace morvik {

// Owns one FreeType library instance and one scalable face of a font file (TrueType,
// OpenType, Type 1). Rendering sets the face's size, so a face serves one thread at a time.
class FontFace {
 public:
  // Throws Error naming the file when it is no regular readable file or no scalable font.
  explicit FontFace(const std::string& path);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const std::string& Path() const { return path_; }
  FT_Face Face() const { return face_; }
  // The glyph index of a character; 0 when the font lacks it.
  unsigned GlyphIndex(char32_t c) const;

 private:
  std::string path_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace morvik
