// The stock library found for code that is not the program: from a folder up, nearest first,
// in a build tree's stock/ or an install's share/morvik/stock, the packed library preferred.
#include "morvik/stock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  test::WriteFile(path, "x\r\n");
}

TEST(StockLibraryNear, NearestAboveTheFolderWins) {
  test::TempDir dir;
  // An installed package: <prefix>/lib/python3/dist-packages/morvik.
  const std::string package = dir.File("prefix/lib/python3/dist-packages/morvik");
  fs::create_directories(package);
  EXPECT_EQ(FindStockLibraryNear(package), "");
  Touch(dir.File("prefix/share/morvik/stock/stock.sets"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/share/morvik/stock/stock.sets"));
  Touch(dir.File("prefix/share/morvik/stock/stock.pack"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/share/morvik/stock/stock.pack"));
  // A build tree's stock/ nearer to the folder comes first.
  Touch(dir.File("prefix/lib/python3/stock/stock.sets"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/lib/python3/stock/stock.sets"));
  // A relative folder is looked for from the current one, and a missing one finds nothing.
  const fs::path before = fs::current_path();
  fs::current_path(dir.File("prefix/lib"));
  EXPECT_EQ(FindStockLibraryNear("python3/dist-packages/morvik"),
            dir.File("prefix/lib/python3/stock/stock.sets"));
  fs::current_path(before);
  EXPECT_EQ(FindStockLibraryNear(dir.File("elsewhere")), "");
}

}  // namespace
}  // namespace morvik
