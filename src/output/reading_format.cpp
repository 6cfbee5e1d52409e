#include "output/reading_format.h"

#include <cstdio>

#include "core/number_format.h"
#include "fonts/utf8.h"
#include "reading/ligatures.h"

namespace morvik {

namespace {

std::string Score(double score) {
  return FormatGeneral(score, 6);
}

std::string TsvField(const std::string& text) {
  std::string s;
  for (char c : text) {
    switch (c) {
      case '\t':
        s += "\\t";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\r':
        s += "\\r";
        break;
      case '\\':
        s += "\\\\";
        break;
      default:
        s += c;
    }
  }
  return s;
}

// A map's character (a Latin-1 byte, or a ligature's letters) as UTF-8; none for byte 0.
std::string CharText(char c) {
  return c == 0 ? std::string() : Latin1ToUtf8(LettersOf(c));
}

bool HasMatch(const LibraryMatch& m) {
  return m.Set >= 0 && m.No != 0;
}

const std::string& SetName(const ReferenceLibrary& library, const LibraryMatch& m) {
  return library.Sets[static_cast<std::size_t>(m.Set)].Base;
}

std::string BoxFields(const CharBox& b, const char* sep) {
  return std::to_string(b.Left) + sep + std::to_string(b.Top) + sep + std::to_string(b.Width) +
         sep + std::to_string(b.Height);
}

// Length of the UTF-8 sequence at text[i], or 0 when none is there.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  std::size_t n = c < 0x80                ? 1
                  : c >= 0xC2 && c < 0xE0 ? 2
                  : c >= 0xE0 && c < 0xF0 ? 3
                  : c >= 0xF0 && c < 0xF5 ? 4
                                          : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // Overlong and surrogate forms are not UTF-8 either.
  if (n == 3 && ((c == 0xE0 && byte(i + 1) < 0xA0) || (c == 0xED && byte(i + 1) >= 0xA0))) return 0;
  if (n == 4 && ((c == 0xF0 && byte(i + 1) < 0x90) || (c == 0xF4 && byte(i + 1) >= 0x90))) return 0;
  return n;
}

std::string JsonChar(char c) {
  return c == 0 ? "null" : JsonString(CharText(c));
}

// The text lines of a reading, whose characters are Latin-1 bytes, in UTF-8.
std::vector<std::string> Utf8Lines(const PictureReading& reading) {
  std::vector<std::string> lines = ReadingText(reading);
  for (std::string& line : lines) line = Latin1ToUtf8(line);
  return lines;
}

std::string JsonBool(bool b) {
  return b ? "true" : "false";
}

std::string JsonMatches(const ReadCharacter& c, const ReferenceLibrary& library) {
  std::string s = "[";
  for (const LibraryMatch& m : c.Best) {
    if (!HasMatch(m)) continue;
    if (s.size() > 1) s += ", ";
    s += "{\"char\": " + JsonChar(m.Char) + ", \"set\": " + JsonString(SetName(library, m)) +
         ", \"no\": " + std::to_string(m.No) + ", \"score\": " + Score(m.Score) + "}";
  }
  return s + "]";
}

}  // namespace

std::string TsvHeader() {
  std::string s = "picture\tline\tindex\tleft\ttop\twidth\theight";
  for (const char* k : {"1", "2", "3"})
    s += std::string("\tchar") + k + "\tset" + k + "\tno" + k + "\tscore" + k;
  return s + "\trejected";
}

std::string TsvRows(const std::string& picture, const PictureReading& reading,
                    const ReferenceLibrary& library) {
  std::string s;
  const std::string name = TsvField(picture);
  for (const ReadCharacter& c : reading.Chars) {
    s += name + "\t" + std::to_string(c.Line) + "\t" + std::to_string(c.Column) + "\t" +
         BoxFields(c.Box, "\t");
    for (const LibraryMatch& m : c.Best) {
      if (!HasMatch(m)) {
        s += "\t\t\t\t";
        continue;
      }
      s += "\t" + TsvField(CharText(m.Char)) + "\t" + TsvField(SetName(library, m)) + "\t" +
           std::to_string(m.No) + "\t" + Score(m.Score);
    }
    s += c.Rejected ? "\t1\n" : "\t0\n";
  }
  return s;
}

std::string JsonString(const std::string& text) {
  std::string s = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c == '\n') {
      s += "\\n";
    } else if (c == '\r') {
      s += "\\r";
    } else if (c == '\t') {
      s += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char u[8];
      std::snprintf(u, sizeof u, "\\u%04x", c);
      s += u;
    } else if (c >= 0x80) {
      const std::size_t n = Utf8Length(text, i);
      if (n == 0) {
        s += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
      } else {
        s.append(text, i, n);
        i += n;
        continue;
      }
    } else {
      s += static_cast<char>(c);
    }
    ++i;
  }
  return s + "\"";
}

std::string JsonPicture(const std::string& picture, const PictureReading& reading,
                        const ReferenceLibrary& library) {
  std::string s = "{\"picture\": " + JsonString(picture) + ", \"text\": [";
  const std::vector<std::string> lines = Utf8Lines(reading);
  for (std::size_t k = 0; k < lines.size(); ++k) s += (k ? ", " : "") + JsonString(lines[k]);
  s += "], \"characters\": [";
  for (std::size_t k = 0; k < reading.Chars.size(); ++k) {
    const ReadCharacter& c = reading.Chars[k];
    const CharBox& b = c.Box;
    s += k ? ",\n  " : "\n  ";
    s += "{\"line\": " + std::to_string(c.Line) + ", \"index\": " + std::to_string(c.Column) +
         ", \"left\": " + std::to_string(b.Left) + ", \"top\": " + std::to_string(b.Top) +
         ", \"width\": " + std::to_string(b.Width) + ", \"height\": " + std::to_string(b.Height) +
         ", \"space_before\": " + JsonBool(b.SpaceBefore) + ", \"blank\": " + JsonBool(c.Blank) +
         ", \"rejected\": " + JsonBool(c.Rejected) + ", \"best\": " + JsonMatches(c, library) + "}";
  }
  return s + "]}";
}

std::string TextOf(const PictureReading& reading) {
  std::string s;
  for (const std::string& line : Utf8Lines(reading)) s += line + "\n";
  return s;
}

ReadingPrinter::ReadingPrinter(std::ostream& out, ReadingFormat format, bool severalPictures)
    : out_(out), format_(format), several_(severalPictures) {}

void ReadingPrinter::Print(const std::string& picture, const PictureReading& reading,
                           const ReferenceLibrary& library) {
  switch (format_) {
    case ReadingFormat::Text:
      if (several_) out_ << (printed_ ? "\n" : "") << "==> " << picture << " <==\n";
      out_ << TextOf(reading);
      break;
    case ReadingFormat::Tsv:
      if (!printed_) out_ << TsvHeader() << "\n";
      out_ << TsvRows(picture, reading, library);
      break;
    case ReadingFormat::Json:
      out_ << (printed_ ? ",\n" : "[\n") << JsonPicture(picture, reading, library);
      break;
  }
  ++printed_;
  out_.flush();
}

void ReadingPrinter::Finish() {
  if (format_ == ReadingFormat::Tsv && !printed_) out_ << TsvHeader() << "\n";
  if (format_ == ReadingFormat::Json) out_ << (printed_ ? "\n]\n" : "[]\n");
  out_.flush();
}

}  // namespace morvik
