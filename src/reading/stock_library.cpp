#include "reading/stock_library.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

std::string FindStockLibrary(const std::string& exeFolder) {
  const fs::path folder = exeFolder.empty() ? fs::path(".") : fs::path(exeFolder);
  for (const fs::path& candidate : {folder / "stock" / "stock.sets",
                                    folder / ".." / "share" / "morvik" / "stock" / "stock.sets"}) {
    std::error_code ec;
    if (!fs::is_regular_file(candidate, ec)) continue;
    // The same sets packed into one file open several times faster.
    const fs::path pack = fs::path(candidate).replace_extension(".pack");
    if (fs::is_regular_file(pack, ec)) return pack.lexically_normal().string();
    return candidate.lexically_normal().string();
  }
  return "";
}

}  // namespace morvik
