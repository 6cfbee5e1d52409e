// The public embedding API: a recogniser over a learned set gives the numbers the command
// line gives, from a file or from memory, and every failure names its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "golden/glyphs.h"
#include "morvik/morvik.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

class Api : public testing::Test {
 protected:
  Api() {
    fs::create_directory(dir.File("learn"));
    std::string map;
    for (int k = 0; k < 10; ++k) {
      test::WriteGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"), '0' + k);
      map += std::to_string(k + 1) + "\t" + std::to_string(k) + "\r\n";
    }
    test::WriteFile(dir.File("charmap.txt"), map);
  }
  std::string ExpectThrowNaming(const std::function<void()>& f, const std::string& file) {
    try {
      f();
      ADD_FAILURE() << "no error for " << file;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(file + ": ", 0), 0u) << e.what();
      return e.what();
    }
    return {};
  }
  test::TempDir dir;
};

TEST_F(Api, LearnSaveOpenAndRecognize) {
  Recognizer learner;
  EXPECT_EQ(learner.LearnFolder(dir.File("learn")).size(), 10u);
  learner.SaveSet(dir.File("digits"));

  Recognizer r;
  r.OpenSet(dir.File("digits"));
  r.LoadCharacterMap(dir.File("charmap.txt"));
  test::WriteGlyph(dir.File("seven.bmp"), '7', 40, 60);
  const Result fromFile = r.RecognizeFile(dir.File("seven.bmp"));
  EXPECT_EQ(fromFile.Best[0].Number, 8);
  EXPECT_EQ(fromFile.Best[0].Character, '7');
  EXPECT_GT(fromFile.Best[0].Score, fromFile.Best[1].Score);
  const std::string bytes = test::ReadFile(dir.File("seven.bmp"));
  const Result fromMemory = r.RecognizeMemory(bytes.data(), bytes.size());
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(fromMemory.Best[k].Number, fromFile.Best[k].Number) << k;
    EXPECT_EQ(fromMemory.Best[k].Score, fromFile.Best[k].Score) << k;
    EXPECT_EQ(fromMemory.Best[k].Character, fromFile.Best[k].Character) << k;
  }
  EXPECT_STREQ(Version(), MORVIK_VERSION);
}

TEST_F(Api, RecognizeFolderWritesTheResultFiles) {
  Recognizer r;
  r.LearnFolder(dir.File("learn"));
  fs::create_directory(dir.File("pics"));
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '2');
  test::WriteGlyph(dir.File("pics/1_1.bmp"), '5');
  EXPECT_EQ(r.RecognizeFolder(dir.File("pics")), 2);
  // Without a map, result.out holds the last digit of each number: slots 3 and 6.
  EXPECT_EQ(test::ReadFile(dir.File("pics/result.out")), "36\r\n");
  // A picture that cannot be read is written as a blank one; the error comes at the end.
  test::WriteFile(dir.File("pics/1_1.bmp"), "BM");
  test::WriteGlyph(dir.File("pics/1_2.bmp"), '5');
  ExpectThrowNaming([&] { r.RecognizeFolder(dir.File("pics")); }, dir.File("pics/1_1.bmp"));
  EXPECT_EQ(test::ReadFile(dir.File("pics/result.out")), "306\r\n");
}

TEST_F(Api, FailuresNameTheirFiles) {
  Recognizer r;
  ExpectThrowNaming([&] { r.OpenSet(dir.File("none")); }, dir.File("none") + ".PCP");
  ExpectThrowNaming([&] { r.SaveSet(dir.File("no/set")); }, dir.File("no/set") + ".PCP");
  ExpectThrowNaming([&] { r.LearnFolder(dir.File("nolearn")); }, dir.File("nolearn"));
  ExpectThrowNaming([&] { r.LoadCharacterMap(dir.File("none.txt")); }, dir.File("none.txt"));
  // A map that cannot be what it claims: a bad number, a damaged line, no entry at all.
  for (const std::string text : {"x\t1\r\n", "1\t0\r\n5\tXYZ\r\n", ""}) {
    test::WriteFile(dir.File("bad.txt"), text);
    try {
      r.LoadCharacterMap(dir.File("bad.txt"));
      ADD_FAILURE() << "accepted \"" << text << "\"";
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kBadData) << e.what();
      EXPECT_EQ(e.File(), dir.File("bad.txt")) << e.what();
    }
  }
  ExpectThrowNaming([&] { r.RecognizeFile(dir.File("none.bmp")); }, dir.File("none.bmp"));
  ExpectThrowNaming([&] { r.RecognizeMemory("BM", 2, "two bytes"); }, "two bytes");
  ExpectThrowNaming([&] { r.RecognizeFolder(dir.File("nopics")); }, dir.File("nopics"));
  EXPECT_THROW(Recognizer(RecognizerOptions{101}), Error);
}

}  // namespace
}  // namespace morvik
