#include "runs/learning.h"

#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "image/picture_loading.h"

namespace morvik {

namespace {

std::string SlotBitmapName(const std::string& folder, int n) {
  return JoinPath(folder, std::to_string(n) + ".bmp");
}

}  // namespace

void LearnPattern(Session& session, int n, const std::string& fileName) {
  const LoadedPicture picture = LoadPictureFile(fileName, session.Image);
  TPattern& test = session.Bank.TestPattern();
  test.Cells = picture.Pattern.Cells;
  test.MaxLevel = picture.Pattern.MaxLevel;
  CopyPattern(test, session.Bank.Slot(n));
}

std::vector<int> LearnReferences(Session& session, const std::string& folderName,
                                 RunObserver& observer) {
  std::vector<int> slots;
  if (folderName.empty()) return slots;
  const std::string folder = ResolveFileName(folderName);
  std::error_code ec;
  for (int n = 1; n <= kReferenceCount; ++n)
    if (std::filesystem::is_regular_file(SlotBitmapName(folder, n), ec)) slots.push_back(n);
  int learned = 0;
  for (const int n : slots) {
    LearnPattern(session, n, SlotBitmapName(folder, n));
    observer.Progress("Learning", ++learned, static_cast<int>(slots.size()));
  }
  return slots;
}

std::vector<int> LearnReferences(Session& session, const std::string& folder) {
  RunObserver quiet;
  return LearnReferences(session, folder, quiet);
}

}  // namespace morvik
