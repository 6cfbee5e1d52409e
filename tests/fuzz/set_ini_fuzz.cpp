// libFuzzer entry point for a set's stored settings (<base>.set.ini): what is read lies in
// range and comes back the same when written and read again.
#include "library/set_settings.h"
#include "set_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  return morvik::fuzz::CheckSetFile([&] {
    const morvik::SetSettings s = morvik::ParseSetSettings(text, morvik::fuzz::kFile);
    if (morvik::ParseSetSettings(morvik::FormatSetSettings(s), morvik::fuzz::kFile) != s)
      std::abort();
  });
}
