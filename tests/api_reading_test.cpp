// The public reading API against the program: the same answers as `morvik --read` for
// pictures given by path, in memory and as pixel buffers of every layout; errors with their
// kind and file; one Library shared by threads.
#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "error_of.h"
#include "morvik/output.h"
#include "morvik/reading.h"
#include "png_util.h"
#include "program_run.h"
#include "reading/stock_library.h"
#include "test_util.h"

namespace morvik::test {
namespace {

const std::string kPictures = std::string(MORVIK_SOURCE_DIR) + "/examples/pictures";
const char* const kNames[] = {"display.png", "invoice.png", "note.png"};

std::string ProgramFolder() {
  const std::string binary = MORVIK_BINARY;
  return binary.substr(0, binary.rfind('/'));
}

const Library& Stock() {
  static const Library library = Library::Open(FindStockLibrary(ProgramFolder()));
  return library;
}

// What `morvik --read --format F NAME` prints, run in folder.
std::string ProgramOutput(const std::string& folder, const std::string& name, const char* format) {
  const RunResult run =
      RunMorvik({"--read", "--format", format, name}, {folder, folder, "", false, "", ""});
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ApiReading, PathGivesTheProgramsOutputInEveryFormat) {
  const std::pair<OutputFormat, const char*> formats[] = {
      {OutputFormat::kText, "text"}, {OutputFormat::kTsv, "tsv"}, {OutputFormat::kJson, "json"}};
  for (const char* name : kNames) {
    const Reading r = morvik::ReadFile(kPictures + "/" + name, Stock());
    EXPECT_FALSE(r.Text.empty()) << name;
    for (const auto& [format, word] : formats)
      EXPECT_EQ(Render(r, format, name), ProgramOutput(kPictures, name, word))
          << name << " " << word;
  }
}

// The values of a reading agree with what the renderers print of it.
TEST(ApiReading, ValuesMatchTheText) {
  const Reading r = morvik::ReadFile(kPictures + "/invoice.png", Stock());
  std::string text;
  for (const ReadLine& line : r.Lines) {
    std::string joined;
    for (const ReadChar& c : line.Chars) {
      joined += (c.SpaceBefore ? " " : "") + c.Text;
      ASSERT_LE(c.Candidates.size(), 3u);
      if (!c.Rejected && !c.Blank) {
        EXPECT_EQ(c.Text, c.Candidates.at(0).Text);
      }
      for (const CharCandidate& k : c.Candidates)
        EXPECT_EQ(Stock().SetNames().at(static_cast<std::size_t>(k.SetIndex)), k.Set);
    }
    EXPECT_EQ(joined, line.Text);
    text += line.Text + "\n";
  }
  EXPECT_EQ(text, r.Text);
  EXPECT_EQ(Render(r, OutputFormat::kText, "invoice.png"), r.Text);
}

TEST(ApiReading, MemoryGivesWhatThePathGives) {
  for (const char* name : kNames) {
    const std::string bytes = Bytes(kPictures + "/" + name);
    const Reading r = ReadMemory(bytes.data(), bytes.size(), Stock());
    EXPECT_EQ(Render(r, OutputFormat::kTsv, name), ProgramOutput(kPictures, name, "tsv")) << name;
  }
}

// Pixels with `pad` unused bytes after every row.
struct Buffer {
  std::vector<std::uint8_t> bytes;
  PixelBuffer pixels;
};

Buffer MakeBuffer(const RgbaImage& image, PixelFormat format, std::size_t pad) {
  const std::size_t channels = format == PixelFormat::kGrey  ? 1
                               : format == PixelFormat::kRgb ? 3
                                                             : 4;
  const std::size_t stride = channels * static_cast<std::size_t>(image.width) + pad;
  Buffer b;
  b.bytes.assign(stride * static_cast<std::size_t>(image.height), 0xA5);
  for (std::size_t i = 0; i < static_cast<std::size_t>(image.width) * image.height; ++i) {
    const std::size_t x = i % static_cast<std::size_t>(image.width), y = i / image.width;
    for (std::size_t c = 0; c < channels; ++c)
      b.bytes[y * stride + x * channels + c] = image.rgba[4 * i + (channels == 1 ? 1 : c)];
  }
  b.pixels = {b.bytes.data(), image.width, image.height, stride, format};
  return b;
}

// A PNG of the buffer's pixels as they are stored (grey, RGB or RGBA), for the program to read.
std::string PngOf(const RgbaImage& image, PixelFormat format) {
  PngLayout layout;
  layout.width = image.width;
  layout.height = image.height;
  layout.colour_type = format == PixelFormat::kGrey  ? PNG_COLOR_TYPE_GRAY
                       : format == PixelFormat::kRgb ? PNG_COLOR_TYPE_RGB
                                                     : PNG_COLOR_TYPE_RGB_ALPHA;
  const Buffer b = MakeBuffer(image, format, 0);
  layout.samples.assign(b.bytes.begin(), b.bytes.end());
  return EncodeTestPng(layout);
}

// Every layout, with rows packed and with a stride wider than the row, reads as the program
// reads a PNG of the same pixels; the alpha of RGBA varies, so composing over white counts.
TEST(ApiReading, PixelBuffersOfEveryLayoutGiveTheProgramsAnswers) {
  TempDir dir;
  for (const char* name : {"display.png", "note.png"}) {
    RgbaImage image;
    ASSERT_TRUE(ReadPng(kPictures + "/" + name, image));
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
      image.rgba[i + 3] = static_cast<std::uint8_t>(255 - (i / 4) % 97);
    for (const PixelFormat format : {PixelFormat::kGrey, PixelFormat::kRgb, PixelFormat::kRgba}) {
      const std::string file = "layout" + std::to_string(static_cast<int>(format)) + ".png";
      WriteFile(dir.File(file), PngOf(image, format));
      const std::string expected = ProgramOutput(dir.Path(), file, "tsv");
      for (const std::size_t pad : {0, 13}) {
        const Buffer b = MakeBuffer(image, format, pad);
        const Reading r = ReadPixels(b.pixels, Stock());
        EXPECT_EQ(Render(r, OutputFormat::kTsv, file), expected)
            << name << " " << file << " " << pad;
      }
    }
  }
}

TEST(ApiReading, ErrorsComeWithTheirKindAndFile) {
  TempDir dir;
  WriteFile(dir.File("junk.png"), "not a picture at all");
  const std::uint8_t pixel[4] = {};
  ReadSettings rejectTooHigh;
  rejectTooHigh.Reject = 1.5;
  ReadSettings gridAndTable;
  gridAndTable.Cut.Grid = CellGrid{};
  gridAndTable.Cut.Table = true;
  ReadSettings badChars;
  badChars.Chars = "9-0";
  const std::string missing = dir.File("missing.png"), junk = dir.File("junk.png");
  ExpectErrors({
      {"missing picture", [&] { morvik::ReadFile(missing, Stock()); }, ErrorKind::kNotFound,
       missing},
      {"not a picture", [&] { morvik::ReadFile(junk, Stock()); }, ErrorKind::kBadData, junk},
      {"bad bytes", [&] { ReadMemory("BMxx", 4, Stock(), {}, "mem"); }, ErrorKind::kBadData, "mem"},
      {"no data",
       [&] {
         ReadPixels({nullptr, 1, 1, 1}, Stock(), {}, "buf");
       },
       ErrorKind::kUsage, "buf"},
      {"short stride",
       [&] {
         ReadPixels({pixel, 2, 1, 5, PixelFormat::kRgb}, Stock(), {}, "buf");
       },
       ErrorKind::kUsage, "buf"},
      {"too large",
       [&] {
         ReadPixels({pixel, 40000, 1, 40000}, Stock(), {}, "buf");
       },
       ErrorKind::kTooLarge, "buf"},
      {"reject", [&] { morvik::ReadFile(missing, Stock(), rejectTooHigh); }, ErrorKind::kUsage, ""},
      {"grid and table", [&] { morvik::ReadFile(missing, Stock(), gridAndTable); },
       ErrorKind::kUsage, ""},
      {"chars", [&] { morvik::ReadFile(missing, Stock(), badChars); }, ErrorKind::kUsage, ""},
      {"missing set", [&] { Library::Open(dir.File("none")); }, ErrorKind::kNotFound,
       dir.File("none.PCP")},
      {"no sets", [&] { Library::Open(std::vector<std::string>{}); }, ErrorKind::kUsage, ""},
  });
}

// Two threads reading with one Library at once answer as one thread does.
TEST(ApiReading, ThreadsShareOneLibrary) {
  const Library library = Library::Open(FindStockLibrary(ProgramFolder()));
  std::vector<std::string> alone;
  for (const char* name : kNames)
    alone.push_back(
        Render(morvik::ReadFile(kPictures + "/" + name, library), OutputFormat::kTsv, name));
  std::vector<std::string> seen[2];
  auto reader = [&](std::vector<std::string>& out) {
    for (int round = 0; round < 3; ++round)
      for (const char* name : kNames)
        out.push_back(
            Render(morvik::ReadFile(kPictures + "/" + name, library), OutputFormat::kTsv, name));
  };
  std::thread a(reader, std::ref(seen[0])), b(reader, std::ref(seen[1]));
  a.join();
  b.join();
  for (const auto& out : seen)
    for (std::size_t k = 0; k < out.size(); ++k) EXPECT_EQ(out[k], alone[k % 3]) << k;
}

}  // namespace
}  // namespace morvik::test
