// libFuzzer entry point for library files (NAME.sets): every name listed is a usable set
// name within the limit, or the file is refused.
#include <algorithm>

#include "library/reference_library.h"
#include "set_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  return morvik::fuzz::CheckSetFile([&] {
    const std::vector<std::string> names = morvik::ParseLibraryFile(text, "fuzz/lib.sets");
    if (names.empty() || names.size() > static_cast<std::size_t>(morvik::kMaxLibrarySets))
      std::abort();
    for (const std::string& base : names) {
      // The name as listed: relative ones come back taken against the library's folder.
      const std::string name = base.rfind("fuzz/", 0) == 0 ? base.substr(5) : base;
      if (name.empty() || morvik::IsLibraryFileName(name) ||
          std::any_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 32; }))
        std::abort();
    }
  });
}
