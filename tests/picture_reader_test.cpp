// Tests of loading pictures of any format: the format told by the first bytes, the same
// picture from every format, files that are not regular files, and the numbered-cell lookup.
#include "image/picture_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "core/error.h"
#include "form/image_state.h"
#include "image/numbered_picture.h"
#include "image/png_writer.h"
#include "test_util.h"

namespace morvik {
namespace {

// A grey character-like picture: a bright ring on a dark ground, with a few odd greys.
Bitmap GreyPicture() {
  Bitmap b(23, 31);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const int dx = 2 * x - 23, dy = 2 * y - 31, r = dx * dx + dy * dy;
      const int g = r > 200 && r < 500 ? 230 + (x + y) % 20 : (x * 7 + y * 3) % 40;
      b.SetPixel(x, y, MakeColour(g, g, g));
    }
  return b;
}

std::string Pgm(const Bitmap& b) {
  std::string s =
      "P5\n# grey\n" + std::to_string(b.Width()) + " " + std::to_string(b.Height()) + "\n255\n";
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) s += static_cast<char>(RedOf(b.Pixel(x, y)));
  return s;
}

std::string Ppm(const Bitmap& b) {
  std::string s = "P3 " + std::to_string(b.Width()) + " " + std::to_string(b.Height()) + " 255\n";
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const Colour c = b.Pixel(x, y);
      s += std::to_string(RedOf(c)) + " " + std::to_string(GreenOf(c)) + " " +
           std::to_string(BlueOf(c)) + "\n";
    }
  return s;
}

struct FormatCase {
  const char* name;  // deliberately not matching the contents for some
  std::string bytes;
};

TEST(PictureReader, TheSamePictureInEveryFormatGivesTheSameBitmap) {
  const Bitmap picture = GreyPicture();
  test::TempDir dir;
  const std::vector<FormatCase> cases = {
      {"a.bmp", test::EncodeBmp24(picture)},
      {"b.bmp", test::EncodeBmp8Grey(picture)},
      {"c.png", EncodePng(picture)},
      {"d.pgm", Pgm(picture)},
      {"e.ppm", Ppm(picture)},
      {"png-named.bmp", EncodePng(picture)},
      {"pgm-named.png", Pgm(picture)},
      {"no-extension", test::EncodeBmp24(picture)},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteFile(dir.File(c.name), c.bytes);
    try {
      EXPECT_TRUE(ReadPictureFile(dir.File(c.name)) == picture);
      const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
      EXPECT_TRUE(DecodePicture(data, c.bytes.size(), "stdin") == picture);
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

bool SameCells(const TPattern& a, const TPattern& b) {
  for (int k = 0; k < kGridSize * kGridSize; ++k)
    if (a.Cells[k].Mark != b.Cells[k].Mark || a.Cells[k].Level != b.Cells[k].Level) return false;
  return true;
}

TEST(PictureReader, APngAndABmpOfTheSamePictureGiveTheSamePattern) {
  test::TempDir dir;
  test::WriteBmp24(dir.File("1_0.bmp"), GreyPicture());
  WritePngFile(dir.File("1_0.png"), GreyPicture());
  ImageState state;
  TPattern from_bmp, from_png;
  LoadTestPicFile(dir.File("1_0.bmp"), state, from_bmp);
  LoadTestPicFile(dir.File("1_0.png"), state, from_png);
  EXPECT_TRUE(SameCells(from_bmp, from_png));
  EXPECT_GT(from_png.MaxLevel, 0);
}

std::string Refusal(const std::string& path) {
  try {
    ReadPictureFile(path);
    return "decoded";
  } catch (const Error& e) {
    return e.what();
  }
}

TEST(PictureReader, RefusesWhatIsNotAPictureFile) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.gif"), "GIF89a\x01\x00\x01\x00");
  test::WriteFile(dir.File("empty.bmp"), "");
  test::WriteFile(dir.File("ba.bmp"), "BA" + std::string(30, 'x'));
  std::filesystem::create_directory(dir.File("folder.png"));
  // A sparse file one byte over the file size cap: refused from its size, before reading.
  test::WriteFile(dir.File("huge.pgm"), "P5 1 1 255\n");
  std::filesystem::resize_file(dir.File("huge.pgm"), (std::uintmax_t{1} << 30) + 1);
  const std::string long_name(300, 'x');
  const std::string long_path = dir.Path() + "/" + std::string(5000, 'y');
  struct Case {
    std::string path;
    std::string message;
  };
  const std::vector<Case> cases = {
      {dir.File("a.gif"), dir.File("a.gif") + ": not a BMP, PNG or PNM picture"},
      {dir.File("empty.bmp"), dir.File("empty.bmp") + ": not a BMP, PNG or PNM picture"},
      {dir.File("ba.bmp"), dir.File("ba.bmp") + ": not a BMP, PNG or PNM picture"},
      {dir.File("missing.png"),
       dir.File("missing.png") + ": cannot open file (No such file or directory)"},
      {dir.File("folder.png"), dir.File("folder.png") + ": is a folder, not a file"},
      {"/dev/null", "/dev/null: not a regular file"},
      {dir.File("huge.pgm"),
       dir.File("huge.pgm") +
           ": file too large for a picture (1073741825 bytes; at most 1024 MiB)"},
      {dir.File(long_name), dir.File(long_name) + ": path too long"},
      {long_path, long_path + ": path too long"},
  };
  for (const Case& c : cases) EXPECT_EQ(Refusal(c.path), c.message);
}

// Opening a FIFO for reading waits for a writer unless it is opened non-blocking; the reader
// must refuse it at once. Should it block, a writer is opened so the test can end.
TEST(PictureReader, RefusesAFifoWithoutWaiting) {
  test::TempDir dir;
  const std::string fifo = dir.File("1_0.bmp");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto result = std::async(std::launch::async, [&] { return Refusal(fifo); });
  if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "reading a FIFO blocked";
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) close(writer);
  }
  EXPECT_EQ(result.get(), fifo + ": not a regular file");
}

// A pipe whose writer thread sends `bytes` (repeated up to `total` bytes) until the reader
// closes its end; Written() is what went in by then.
class FeedingPipe {
 public:
  FeedingPipe(std::string bytes, std::size_t total) {
    signal(SIGPIPE, SIG_IGN);  // a closed reader ends the writer with EPIPE, not a signal
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    read_ = fds[0];
    writer_ = std::thread([this, bytes = std::move(bytes), total, fd = fds[1]] {
      while (written_ < total) {
        const std::size_t at = written_ % bytes.size();
        const ssize_t n =
            write(fd, bytes.data() + at, std::min(bytes.size() - at, total - written_));
        if (n <= 0) break;
        written_ += static_cast<std::size_t>(n);
      }
      close(fd);
    });
  }
  ~FeedingPipe() { Close(); }
  int Fd() const { return read_; }
  std::size_t Written() {
    Close();
    return written_;
  }

 private:
  void Close() {
    if (read_ >= 0) close(read_), read_ = -1;
    if (writer_.joinable()) writer_.join();
  }
  int read_ = -1;
  std::atomic<std::size_t> written_{0};
  std::thread writer_;
};

// Streams are checked on their first bytes and cut off past the cap: an endless stream of
// zeros is refused after a pipe's worth at most, a long one with a picture's signature as
// soon as it passes the cap.
TEST(PictureReader, StreamsRefusedEarlyAndCapped) {
  const std::string pgm = Pgm(GreyPicture());
  const std::int64_t cap = 4096;
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t total;
    bool decodes;
    ErrorKind kind;
  };
  const Case cases[] = {
      {"zeros", std::string(4096, '\0'), std::size_t{1} << 30, false, ErrorKind::kBadData},
      {"empty", "", 0, false, ErrorKind::kBadData},
      {"a few bytes", "P", 1, false, ErrorKind::kBadData},
      {"a picture", pgm, pgm.size(), true, ErrorKind::kFailed},
      {"a signature, then on and on", "P5 ", std::size_t{1} << 30, false, ErrorKind::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FeedingPipe feed(c.bytes.empty() ? std::string(1, 'x') : c.bytes, c.total);
    const std::int64_t limit = c.decodes ? static_cast<std::int64_t>(pgm.size()) : cap;
    try {
      const Bitmap b = ReadPictureFromStream(feed.Fd(), "standard input", limit);
      EXPECT_TRUE(c.decodes);
      EXPECT_TRUE(b == GreyPicture());
    } catch (const Error& e) {
      EXPECT_FALSE(c.decodes) << e.what();
      EXPECT_EQ(e.Kind(), c.kind) << e.what();
      EXPECT_EQ(e.File(), "standard input");
    }
    EXPECT_LT(feed.Written(), std::size_t{1} << 22);
  }
}

// A huge file of zeros is refused on its first bytes: its size is not even allocated.
TEST(PictureReader, HugeFileWithoutASignatureIsNotRead) {
  test::TempDir dir;
  test::WriteFile(dir.File("zeros.png"), std::string(64, '\0'));
  std::filesystem::resize_file(dir.File("zeros.png"), std::uintmax_t{1} << 29);  // sparse
  const long before = test::PeakKilobytes();
  try {
    ReadPictureFile(dir.File("zeros.png"));
    ADD_FAILURE() << "decoded";
  } catch (const Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::kBadData);
    EXPECT_EQ(e.File(), dir.File("zeros.png"));
  }
  EXPECT_LT(test::PeakKilobytes() - before, 64 * 1024);
}

TEST(NumberedPicture, TriesBmpThenPngPgmPpmPbm) {
  test::TempDir dir;
  for (const char* name : {"1_0.bmp", "1_0.png", "1_1.png", "1_2.pgm", "1_2.ppm", "1_3.pbm",
                           "1_4.ppm", "1_5.png", "2_0.pgm", "2_0.png", "3_0.PNG"})
    test::WriteFile(dir.File(name), "x");
  std::filesystem::create_directory(dir.File("1_4.png"));
  std::filesystem::create_directory(dir.File("1_5.bmp"));
  std::filesystem::create_symlink(dir.File("1_0.bmp"), dir.File("4_0.bmp"));
  ASSERT_EQ(mkfifo(dir.File("5_0.png").c_str(), 0600), 0);
  struct Case {
    const char* asked;
    const char* found;  // "" for none
  };
  const std::vector<Case> cases = {
      {"1_0.bmp", "1_0.bmp"}, {"1_1.bmp", "1_1.png"}, {"1_2.bmp", "1_2.pgm"},
      {"1_3.bmp", "1_3.pbm"}, {"1_4.bmp", "1_4.ppm"}, {"1_5.bmp", "1_5.png"},
      {"2_0.bmp", "2_0.png"}, {"3_0.bmp", ""},        {"4_0.bmp", "4_0.bmp"},
      {"5_0.bmp", ""},        {"6_0.bmp", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    const std::string found = FindNumberedPicture(dir.File(c.asked));
    EXPECT_EQ(found, *c.found ? dir.File(c.found) : "");
  }
  // The extension is replaced only in the last part of the path.
  std::filesystem::create_directory(dir.File("v.1"));
  test::WriteFile(dir.File("v.1/7_0.png"), "x");
  EXPECT_EQ(FindNumberedPicture(dir.File("v.1/7_0")), dir.File("v.1/7_0.png"));
}

}  // namespace
}  // namespace morvik
