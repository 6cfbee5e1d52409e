// libFuzzer entry point for packed libraries (stock.pack): the sets are read, each with at
// least one reference, or the pack is refused.
#include "library/packed_library.h"
#include "set_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return morvik::fuzz::CheckSetFile([&] {
    const morvik::ReferenceLibrary library = morvik::ParsePackedLibrary(
        reinterpret_cast<const char*>(data), size, morvik::fuzz::kFile, "fuzz");
    if (library.Sets.empty()) std::abort();
  });
}
