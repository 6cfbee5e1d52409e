// Reading whole pictures through the public API (morvik/reading.h): the picture decoded as
// the command line decodes it, read by the engine, its answers turned into plain values.
#include <limits>
#include <utility>

#include "api/read_adapter.h"
#include "api/reading_source.h"
#include "core/error.h"
#include "image/picture_limits.h"
#include "image/picture_reader.h"
#include "morvik/reading.h"
#include "reading/ligatures.h"

namespace morvik {

namespace {

// Characters are bytes in the sets' maps; those from 128 up are Latin-1 but for the codes
// of the stock library's ligatures, which stand for their letters.
std::string Utf8Of(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < 0x80) return std::string(1, c);
  if (LettersOf(c).size() > 1) return LettersOf(c);
  return {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))};
}

std::string Utf8Of(const std::string& text) {
  std::string s;
  for (const char c : text) s += Utf8Of(c);
  return s;
}

std::vector<CharCandidate> CandidatesOf(const ReadCharacter& c, const ReferenceLibrary& library) {
  std::vector<CharCandidate> list;
  if (c.Blank) return list;
  for (const LibraryMatch& m : c.Best) {
    if (m.Set < 0 || m.No == 0) continue;
    const std::string& set = library.Sets[static_cast<std::size_t>(m.Set)].Base;
    list.push_back({m.Char ? Utf8Of(m.Char) : "", m.Score, set, m.Set, m.No});
  }
  return list;
}

Reading ReadingOf(PictureReading engine, const std::shared_ptr<const LibraryCore>& library) {
  Reading r;
  const std::vector<std::string> lines = ReadingText(engine);
  r.Lines.resize(lines.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    r.Lines[k].Text = Utf8Of(lines[k]);
    r.Text += r.Lines[k].Text + "\n";
  }
  for (const ReadCharacter& c : engine.Chars) {
    const std::size_t line = c.Line > 0 ? static_cast<std::size_t>(c.Line - 1) : 0;
    if (line >= r.Lines.size()) r.Lines.resize(line + 1);
    const PictureBox box{c.Box.Left, c.Box.Top, c.Box.Width, c.Box.Height};
    r.Lines[line].Chars.push_back({Utf8Of(ShownChar(c)), box, CandidatesOf(c, library->Sets),
                                   c.Rejected, c.Blank, c.Box.SpaceBefore});
  }
  r.Source = std::make_shared<const ReadingSource>(ReadingSource{std::move(engine), library});
  return r;
}

std::size_t BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::kRgb:
      return 3;
    case PixelFormat::kRgba:
      return 4;
    default:
      return 1;
  }
}

void CheckBuffer(const PixelBuffer& p, const std::string& name) {
  if (!p.Data || p.Width < 1 || p.Height < 1)
    throw FileError(name, "no pixels: data, width and height are needed", ErrorKind::kUsage);
  if (p.Stride < BytesPerPixel(p.Format) * static_cast<std::size_t>(p.Width))
    throw FileError(name, "the stride is shorter than a row", ErrorKind::kUsage);
  const std::int64_t w = p.Width, h = p.Height;
  if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels)
    throw FileError(name, "larger than any picture this program reads", ErrorKind::kTooLarge);
}

// Alpha composed over white as libpng composes a PNG's: rounded to nearest.
std::uint8_t OverWhite(std::uint8_t value, std::uint8_t alpha) {
  const unsigned t = value * alpha + 255u * (255u - alpha) + 128u;
  return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

void CopyRow(const std::uint8_t* in, PixelFormat format, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    std::uint8_t r = in[0], g = in[0], b = in[0];
    if (format == PixelFormat::kRgb) g = in[1], b = in[2];
    if (format == PixelFormat::kRgba) {
      r = OverWhite(in[0], in[3]), g = OverWhite(in[1], in[3]), b = OverWhite(in[2], in[3]);
    }
    out[0] = b, out[1] = g, out[2] = r;
    in += BytesPerPixel(format);
  }
}

Bitmap BitmapOf(const PixelBuffer& p) {
  Bitmap bitmap(p.Width, p.Height);
  for (int y = 0; y < p.Height; ++y)
    CopyRow(p.Data + p.Stride * static_cast<std::size_t>(y), p.Format, p.Width, bitmap.Row(y));
  return bitmap;
}

// Reads a picture decoded straight to grey, cleaned as ReadingGrey cleans it: in its own
// memory where the caller hands it over. An error of the reading names `name`.
template <typename Grey>
Reading ReadGrey(Grey&& grey, const Library& library, const ReadOptions& options,
                 const std::string& name) {
  return ReadingOf(WithFileName(name,
                                [&] {
                                  return ReadPicture(ReadingGrey(std::forward<Grey>(grey)),
                                                     library.Core()->Sets, options);
                                }),
                   library.Core());
}

}  // namespace

Reading ReadBitmap(const Bitmap& picture, const Library& library, const ReadSettings& settings,
                   const std::string& name) {
  const ReadOptions options = EngineReadOptions(settings);
  return ReadingOf(
      WithFileName(name, [&] { return ReadWithLibrary(picture, *library.Core(), options); }),
      library.Core());
}

Reading ReadPictureCore(const PictureCore& picture, const Library& library,
                        const ReadSettings& settings, const std::string& name) {
  if (picture.Grey() == nullptr) return ReadBitmap(picture.Pixels(), library, settings, name);
  return ReadGrey(*picture.Grey(), library, EngineReadOptions(settings), name);
}

Reading ReadFile(const std::string& path, const Library& library, const ReadSettings& settings) {
  const ReadOptions options = EngineReadOptions(settings);  // before any problem of the file
  DecodedPicture d = DecodedFile(path);
  if (!d.Grey) return ReadBitmap(d.Colour, library, settings, path);
  // The picture is no one else's: the reading cleans it in its own memory.
  return ReadGrey(GreyImage{d.Width, d.Height, std::move(d.Greys)}, library, options, path);
}

Reading ReadMemory(const void* data, std::size_t size, const Library& library,
                   const ReadSettings& settings, const std::string& name) {
  EngineReadOptions(settings);
  return ReadBitmap(PictureOfBytes(data, size, name), library, settings, name);
}

Reading ReadPixels(const PixelBuffer& pixels, const Library& library, const ReadSettings& settings,
                   const std::string& name) {
  CheckBuffer(pixels, name);
  EngineReadOptions(settings);
  return ReadBitmap(BitmapOf(pixels), library, settings, name);
}

}  // namespace morvik
