// The stock library looked for from a folder up (morvik/stock.h).
#include <filesystem>

#include "morvik/stock.h"
#include "reading/stock_library.h"

namespace morvik {

std::string FindStockLibraryNear(const std::string& folder) {
  std::error_code ec;
  std::filesystem::path at = std::filesystem::absolute(folder, ec).lexically_normal();
  for (; !ec && !at.empty(); at = at.parent_path()) {
    if (std::string found = FindStockLibrary(at.string()); !found.empty()) return found;
    if (at == at.root_path()) break;
  }
  return "";
}

}  // namespace morvik
