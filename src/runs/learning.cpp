#include "runs/learning.h"

#include "core/file_names.h"
#include "image/numbered_picture.h"
#include "image/picture_loading.h"

namespace morvik {

namespace {

// The picture of slot n: "<n>.bmp", else the same name as PNG, PGM, PPM or PBM; "" for none.
std::string SlotPicture(const std::string& folder, int n) {
  return FindNumberedPicture(JoinPath(folder, std::to_string(n) + ".bmp"));
}

}  // namespace

bool LearnPattern(Session& session, int n, const std::string& fileName) {
  const LoadedPicture picture = LoadPictureFile(fileName, session.Image);
  TPattern& test = session.Bank.TestPattern();
  test.Cells = picture.Pattern.Cells;
  test.MaxLevel = picture.Pattern.MaxLevel;
  CopyPattern(test, session.Bank.Slot(n));
  return !picture.Raster.Empty();
}

std::vector<int> LearnReferences(Session& session, const std::string& folderName,
                                 RunObserver& observer) {
  std::vector<int> slots;
  if (folderName.empty()) return slots;
  const std::string folder = ResolveFileName(folderName);
  std::vector<std::string> pictures;
  for (int n = 1; n <= kReferenceCount; ++n) {
    if (std::string picture = SlotPicture(folder, n); !picture.empty()) {
      slots.push_back(n);
      pictures.push_back(std::move(picture));
    }
  }
  for (std::size_t k = 0; k < slots.size(); ++k) {
    if (!LearnPattern(session, slots[k], pictures[k]))
      observer.Notice(pictures[k] +
                      ": nothing left to sample (the scaled picture has no pixels); learned as "
                      "an empty reference");
    observer.Progress("Learning", static_cast<int>(k + 1), static_cast<int>(slots.size()));
  }
  return slots;
}

std::vector<int> LearnReferences(Session& session, const std::string& folder) {
  RunObserver quiet;
  return LearnReferences(session, folder, quiet);
}

}  // namespace morvik
