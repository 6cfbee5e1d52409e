// Folder and batch runs on several threads write what one thread writes: every result file
// byte for byte, the same images reported in the same order with the same answers, the same
// pictures listed as unreadable; against the session's references (also ones that take
// several passes to settle, which every picture must see as the one-thread run leaves them)
// and against sets named for the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "golden/glyphs.h"
#include "library/library_scoring.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// Every image as reported, with its answers at full precision.
struct Recorder : RunObserver {
  std::vector<std::string> images;
  void ImageRecognized(const RecognizedImage& r) override {
    std::ostringstream s;
    s.precision(17);
    s << r.FileName.substr(r.FileName.rfind("/r/")) << "@" << r.Row << "," << r.Column << " t"
      << r.Threshold << " i" << r.Increment << " " << r.Scaled->Width() << "x"
      << r.Scaled->Height();
    for (const TRankEntry& e : r.TopThree) s << " " << e.No << ":" << e.Score;
    if (r.Matches)
      for (const LibraryMatch& m : *r.Matches) s << " " << m.Set << "/" << m.No << ":" << m.Score;
    images.push_back(s.str());
  }
};

// Pictures of digits in rows of varied sizes, and one that cannot be read.
void WritePictures(const std::string& folder, int rows) {
  fs::create_directories(folder);
  for (int r = 1; r <= rows; ++r)
    for (int c = 0; c < 10; ++c)
      test::WriteGlyph(folder + "/" + std::to_string(r) + "_" + std::to_string(c) + ".bmp",
                       static_cast<char>('0' + (r * 3 + c) % 10), 40 + (r * 7 + c * 5) % 33,
                       48 + (c * 11) % 29);
  test::WriteFile(folder + "/2_4.bmp", "broken");
}

// Every file under folder, by its path below it, with its bytes.
std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      files.push_back(fs::relative(e.path(), folder).string() + "\n" +
                      test::ReadFile(e.path().string()));
  std::sort(files.begin(), files.end());
  return files;
}

enum class References { kSession, kStale, kOneSet, kTwoSets };

struct Case {
  References refs;
  bool batch;
};

class ParallelRun : public testing::TestWithParam<Case> {
 protected:
  // The run with `jobs` threads on its own copy of the pictures, at dir/<jobs>/r.
  struct Outcome {
    std::vector<std::string> files, images, failed;
  };
  Outcome Run(unsigned jobs) {
    const std::string root = dir.File(std::to_string(jobs) + "/r");
    if (GetParam().batch) {
      WritePictures(root + "/a", 2);
      WritePictures(root + "/b", 3);
      test::WriteFile(root + "/compare.txt", "3456789012\r\n");
    } else {
      WritePictures(root, 4);
    }
    Session session;
    Learn(session);
    session.Chars.CharMapLoaded = true;
    for (int k = 0; k < 10; ++k) session.Chars.CharMap[static_cast<std::size_t>(k + 1)] = '0' + k;
    std::optional<SetRun> sets = MakeSets(session);
    SetRun* run = sets ? &*sets : nullptr;
    Recorder recorder;
    Outcome o;
    if (GetParam().batch) {
      o.failed = RecognizeBatch(session, {root, "r", run, jobs}, recorder).Failed;
    } else {
      o.failed = RecognizeFolder(session, {root, false, run, jobs}, recorder).Failed;
    }
    for (std::string& f : o.failed) f = f.substr(f.rfind("/r/"));
    o.files = FilesUnder(root);
    o.images = recorder.images;
    return o;
  }

  void Learn(Session& session) {
    const std::string learn = dir.File("learn");
    fs::create_directories(learn);
    for (int k = 0; k < 10; ++k)
      test::WriteGlyph(learn + "/" + std::to_string(k + 1) + ".bmp", static_cast<char>('0' + k));
    ASSERT_EQ(LearnReferences(session, learn).size(), 10u);
    if (GetParam().refs != References::kStale) return;
    // As a foreign file may hold them: a stale MaxLevel of 0 over marked cells (settled only
    // by the second pass), and a reference away from the corner at half strength.
    session.Bank.Slot(4).MaxLevel = 0;
    TPattern& moved = session.Bank.Slot(7);
    for (int i = kGridSize * kGridSize - 1; i >= 2 * kGridSize + 1; --i) {
      moved.Cells[static_cast<std::size_t>(i)] =
          moved.Cells[static_cast<std::size_t>(i - 2 * kGridSize - 1)];
      moved.Cells[static_cast<std::size_t>(i)].Level /= 2;
    }
  }

  std::optional<SetRun> MakeSets(const Session& session) {
    if (GetParam().refs != References::kOneSet && GetParam().refs != References::kTwoSets)
      return std::nullopt;
    ReferenceLibrary library;
    library.Sets.emplace_back().Bank = session.Bank;
    if (GetParam().refs == References::kTwoSets) {
      ReferenceSet& cropped = library.Sets.emplace_back();
      cropped.Bank = session.Bank;
      cropped.Settings.AutoCrop = true;
    }
    return MakeSetRun(library, session.Image, 0.6, {}, session.Chars, false, {});
  }

  test::TempDir dir;
};

TEST_P(ParallelRun, SameFilesAnswersAndFailuresAsOneThread) {
  const Outcome one = Run(1);
  ASSERT_EQ(one.failed.size(), GetParam().batch ? 2u : 1u);
  ASSERT_FALSE(one.images.empty());
  for (const unsigned jobs : {2u, 3u}) {
    const Outcome many = Run(jobs);
    EXPECT_EQ(many.files, one.files) << jobs;
    EXPECT_EQ(many.images, one.images) << jobs;
    EXPECT_EQ(many.failed, one.failed) << jobs;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ParallelRun,
    testing::Values(Case{References::kSession, false}, Case{References::kStale, false},
                    Case{References::kOneSet, false}, Case{References::kTwoSets, false},
                    Case{References::kSession, true}, Case{References::kStale, true},
                    Case{References::kTwoSets, true}));

}  // namespace
}  // namespace morvik
