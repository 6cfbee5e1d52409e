// The public calls the command line reads pictures, writes cuts and boxes, opens sets and
// runs its jobs with: the program's files byte for byte, errors with their kind and the
// picture they concern, results taken in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "error_of.h"
#include "morvik/files.h"
#include "morvik/jobs.h"
#include "morvik/learning.h"
#include "morvik/library.h"
#include "morvik/output.h"
#include "morvik/picture.h"
#include "morvik/runs.h"
#include "png_util.h"
#include "program_run.h"
#include "test_util.h"

namespace morvik::test {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(MORVIK_SOURCE_DIR) + "/examples";

const Library& Stock() {
  const std::string binary = MORVIK_BINARY;
  static const Library library = Library::Open(Library::FindStock(FolderOfFile(binary)));
  return library;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(ApiPicture, CutAndBoxesAreThoseOfTheProgram) {
  TempDir dir;
  const std::string picture = kExamples + "/pictures/note.png";
  const RunResult run = RunMorvik({"--read", picture, "--cut", "cli/cut", "--boxes", "cli/b.png"},
                                  {dir.Path(), dir.Path(), "", false, "", ""});
  ASSERT_EQ(run.status, 0) << run.err;
  const morvik::Picture p = morvik::Picture::FromFile(picture);
  const Reading r = ReadPicture(p, Stock(), {}, picture);
  fs::create_directory(dir.File("api"));
  WriteCut(p, r, dir.File("api/cut"));
  WriteBoxes(p, r, dir.File("api/b.png"));
  const std::vector<std::string> files = FilesBelow(dir.File("cli"));
  ASSERT_EQ(files, FilesBelow(dir.File("api")));
  for (const std::string& name : files)
    EXPECT_EQ(ReadFile(dir.File("cli/" + name)), ReadFile(dir.File("api/" + name))) << name;
  // The cut's files and its list.
  EXPECT_EQ(CutFileCount(r) + 2, files.size());
}

// A grey PGM, which a Picture keeps grey, reads, cuts and draws as its PPM of equal channels
// (decoded in colour) does; read by path, where the reading cleans the picture's own memory,
// it reads the same. Salt on the ground gives the cleaning work.
TEST(ApiPicture, GreyFilesKeptGreyGiveWhatTheirColourFormGives) {
  TempDir dir;
  RgbaImage image;
  ASSERT_TRUE(ReadPng(kExamples + "/pictures/note.png", image));
  const std::string size = std::to_string(image.width) + " " + std::to_string(image.height);
  std::string pgm = "P5 " + size + " 255\n", ppm = "P6 " + size + " 255\n";
  for (std::size_t i = 1; i < image.rgba.size(); i += 4) {
    const auto grey = static_cast<char>(i % 4003 == 1 ? 255 - image.rgba[i] : image.rgba[i]);
    pgm += grey;
    ppm.append(3, grey);
  }
  std::vector<std::string> renders;
  for (const auto& [name, bytes] : {std::pair{"grey", pgm}, std::pair{"colour", ppm}}) {
    WriteFile(dir.File(std::string(name) + ".pnm"), bytes);
    const morvik::Picture p = morvik::Picture::FromFile(dir.File(std::string(name) + ".pnm"));
    EXPECT_EQ(p.Width(), image.width);
    EXPECT_EQ(p.Height(), image.height);
    const Reading r = ReadPicture(p, Stock(), {}, "note");
    renders.push_back(Render(r, OutputFormat::kTsv, "note"));
    renders.push_back(Render(morvik::ReadFile(dir.File(std::string(name) + ".pnm"), Stock()),
                             OutputFormat::kTsv, "note"));
    fs::create_directory(dir.File(name));
    WriteCut(p, r, dir.File(std::string(name) + "/cut"));
    WriteBoxes(p, r, dir.File(std::string(name) + "/b.png"));
  }
  for (const std::string& r : renders) EXPECT_EQ(r, renders[0]);
  EXPECT_NE(renders[0].find('\t'), std::string::npos) << "the note reads as characters";
  const std::vector<std::string> files = FilesBelow(dir.File("colour"));
  ASSERT_EQ(files, FilesBelow(dir.File("grey")));
  for (const std::string& name : files)
    EXPECT_EQ(ReadFile(dir.File("grey/" + name)), ReadFile(dir.File("colour/" + name))) << name;
}

// A failure of the reading itself (after the picture was decoded) names the picture too.
TEST(ApiPicture, ErrorsNameThePicture) {
  TempDir dir;
  const std::string picture = kExamples + "/pictures/note.png";
  ReadSettings huge;
  huge.Cut.Grid = CellGrid{0, 0, 1, 1, 2000, 1000};
  fs::create_directory(dir.File("other"));
  test::WriteFile(dir.File("other/keep.txt"), "not a cut");
  const morvik::Picture p = morvik::Picture::FromFile(picture);
  ExpectErrors({
      {"missing", [&] { morvik::Picture::FromFile(dir.File("none.png")); }, ErrorKind::kNotFound,
       dir.File("none.png")},
      {"not a picture", [&] { morvik::Picture::FromFile(dir.File("other/keep.txt")); },
       ErrorKind::kBadData, dir.File("other/keep.txt")},
      {"grid by path", [&] { morvik::ReadFile(picture, Stock(), huge); }, ErrorKind::kFailed,
       picture},
      {"grid by picture", [&] { ReadPicture(p, Stock(), huge, "shown"); }, ErrorKind::kFailed,
       "shown"},
      {"folder of other files", [&] { WriteCut(p, ReadPicture(p, Stock()), dir.File("other")); },
       ErrorKind::kCannotWrite, dir.File("other")},
  });
}

TEST(ApiJobs, ResultsAreTakenInOrderAndAFailureStopsTheRun) {
  for (const unsigned jobs : {0u, 1u, 3u}) {
    std::vector<std::size_t> taken;
    RunInOrder(
        40, jobs,
        [](std::size_t i) { std::this_thread::sleep_for(std::chrono::microseconds(i % 7 * 100)); },
        [&](std::size_t i) { taken.push_back(i); });
    ASSERT_EQ(taken.size(), 40u) << jobs;
    for (std::size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i], i) << jobs;
    std::size_t last = 0;
    EXPECT_THROW(RunInOrder(
                     40, jobs,
                     [](std::size_t i) {
                       if (i == 9) throw Error("nine");
                     },
                     [&](std::size_t i) { last = i; }),
                 Error);
    EXPECT_EQ(last, 8u) << jobs;
  }
}

// Sets named in a folder as a user types them there, found in any case.
TEST(ApiLibrary, SetsAreNamedAsTypedInTheirFolder) {
  TempDir dir;
  fs::create_directory(dir.File("sub"));
  LearnFolder(kExamples + "/learn", {}, kExamples + "/charmap.txt").Save(dir.File("sub/digits"));
  EXPECT_EQ(Library::Open({"sub/digits.pcp"}, "", dir.Path()).SetNames(),
            std::vector<std::string>{"sub/digits"});
  EXPECT_EQ(Library::Open({dir.File("sub/digits")}).SetNames(),
            std::vector<std::string>{dir.File("sub/digits")});
  const SetSearch found = FindSet("DIGITS", {dir.Path(), dir.File("sub")});
  EXPECT_EQ(found.File, dir.File("sub/digits.PCP"));
  EXPECT_EQ(found.Tried.size(), 2u);
  EXPECT_EQ(FindSet("none", {dir.Path()}).File, "");
}

// $MORVIK_STOCK, when set and not empty, is the only place tried, even when nothing is
// there; otherwise the places beside the program are.
TEST(ApiLibrary, StockIsLocatedFromTheEnvironmentFirst) {
  TempDir dir;
  const std::string bin = dir.File("bin");
  fs::create_directories(bin + "/stock");
  WriteFile(bin + "/stock/stock.sets", "stock-1\r\n");
  const struct {
    const char* env;
    std::string path;
    std::vector<std::string> tried;
  } cases[] = {
      {nullptr, bin + "/stock/stock.sets", Library::StockPlaces(bin)},
      {"", bin + "/stock/stock.sets", Library::StockPlaces(bin)},
      {"gone.sets", "gone.sets", {"gone.sets"}},
  };
  for (const auto& c : cases) {
    if (c.env) setenv("MORVIK_STOCK", c.env, 1);
    const Library::StockLocation at = Library::LocateStock(bin);
    unsetenv("MORVIK_STOCK");
    EXPECT_EQ(at.Path, c.path) << (c.env ? c.env : "unset");
    EXPECT_EQ(at.Tried, c.tried) << (c.env ? c.env : "unset");
  }
  EXPECT_EQ(Library::LocateStock(dir.File("none")).Path, "");
}

// A session's set that cannot be saved names each file left unwritten, and writes no
// settings or map beside them.
TEST(ApiFolderSession, SavingNamesTheFilesNotWritten) {
  TempDir dir;
  FolderSession session;
  session.LoadCharacterMap(kExamples + "/charmap.txt");
  RunListener quiet;
  EXPECT_EQ(session.Learn(kExamples + "/learn", quiet).size(), 10u);
  const std::string base = dir.File("none/mine");
  const std::vector<std::string> files = SetFileNames(base, false);
  EXPECT_EQ(session.SaveSet(base), std::vector<std::string>(files.begin(), files.begin() + 2));
  EXPECT_TRUE(session.SaveSet(dir.File("mine")).empty());
  for (const std::string& file : SetFileNames(dir.File("mine"), false))
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
}

}  // namespace
}  // namespace morvik::test
