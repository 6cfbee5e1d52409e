// libFuzzer entry point for a set's finer detail (<base>.detail): what is read comes back the
// same when written and read again.
#include "library/set_detail.h"
#include "set_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  return morvik::fuzz::CheckSetFile([&] {
    const morvik::SetDetail d = morvik::ParseSetDetail(bytes, morvik::fuzz::kFile);
    const morvik::SetDetail again =
        morvik::ParseSetDetail(morvik::FormatSetDetail(d), morvik::fuzz::kFile);
    for (std::size_t k = 1; k <= morvik::kReferenceCount; ++k) {
      const morvik::CharacterDetail &a = d.Ref(k), &b = again.Ref(k);
      if (a.Valid != b.Valid || (a.Valid && (a.Grid != b.Grid || a.InkWidth != b.InkWidth ||
                                             a.InkHeight != b.InkHeight || a.Height != b.Height)))
        std::abort();
    }
  });
}
