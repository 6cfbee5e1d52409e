#include "reading/stock_library.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

std::vector<std::string> StockLibraryPlaces(const std::string& exeFolder) {
  const fs::path folder = exeFolder.empty() ? fs::path(".") : fs::path(exeFolder);
  return {
      (folder / "stock" / "stock.sets").lexically_normal().string(),
      (folder / ".." / "share" / "morvik" / "stock" / "stock.sets").lexically_normal().string()};
}

std::string FindStockLibrary(const std::string& exeFolder) {
  for (const fs::path candidate : StockLibraryPlaces(exeFolder)) {
    std::error_code ec;
    if (!fs::is_regular_file(candidate, ec)) continue;
    // The same sets packed into one file open several times faster.
    const fs::path pack = fs::path(candidate).replace_extension(".pack");
    if (fs::is_regular_file(pack, ec)) return pack.string();
    return candidate.string();
  }
  return "";
}

}  // namespace morvik
