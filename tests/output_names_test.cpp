// The names of a reading's outputs derived from the pictures' names: never the folder itself,
// its parent, a hidden nothing or a path of several levels, and unique within a run.
#include "output/output_names.h"

#include <gtest/gtest.h>

#include <string>

namespace morvik {
namespace {

TEST(OutputNames, StemIsOneHarmlessLevel) {
  const struct {
    const char* Picture;
    const char* Stem;
  } cases[] = {
      {"page.png", "page"},
      {"scans/page.png", "page"},
      {"/abs/dir/page", "page"},
      {"-", "stdin"},
      {"...png", "picture"},
      {"..png", "picture"},
      {".png", "picture"},
      {"dir/..", "picture"},
      {"dir/.", "picture"},
      {"dir/", "picture"},
      {"", "picture"},
      {"a.b.png", "a.b"},
      {".hidden.png", ".hidden"},
      {"x/...", "picture"},
      {"..../..png", "picture"},
  };
  for (const auto& c : cases) EXPECT_EQ(OutputStem(c.Picture), c.Stem) << c.Picture;
}

TEST(OutputNames, SeveralPicturesGetUniqueFoldersAndFiles) {
  OutputNames names(true);
  const std::string first = names.Next("a/page.png"), second = names.Next("b/page.png");
  const std::string dots = names.Next("...png"), dot = names.Next("..png");
  EXPECT_EQ(first, "page");
  EXPECT_EQ(second, "page-2");
  EXPECT_EQ(dots, "picture");
  EXPECT_EQ(dot, "picture-2");
  EXPECT_EQ(names.Folder("out", dots), "out/picture");
  EXPECT_EQ(names.File("boxes/b.png", second), "boxes/b-page-2.png");
  EXPECT_EQ(names.File("v1.d/boxes", first), "v1.d/boxes-page");

  OutputNames one(false);
  EXPECT_EQ(one.Folder("out", one.Next("...png")), "out");
  EXPECT_EQ(one.File("b.png", "x"), "b.png");
}

}  // namespace
}  // namespace morvik
