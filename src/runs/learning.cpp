#include "runs/learning.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/file_names.h"
#include "image/bitmap_to_pattern.h"

namespace morvik {

namespace {

std::string SlotBitmapName(const std::string& folder, int n) {
  return JoinPath(folder, std::to_string(n) + ".bmp");
}

}  // namespace

void LearnPattern(Workspace& ws, int n, const std::string& fileName) {
  LoadingGuardScope guard(ws.Image);
  LoadBitmapFile(fileName, ws.Image);
  FillPatternFromBitmap(ws.Image, ws.Bank.TestPattern());
  CopyPattern(ws.Bank.TestPattern(), ws.Bank.Slot(n));
}

int ButtonAutoPatClick(Workspace& ws) {
  ws.SetCurrentFolder(ws.RunFolder);
  // An empty name names no folder: nothing is learned. The folder is found in any case, as
  // the runs find theirs; the bitmap names in it are taken exactly.
  const std::string folder =
      ws.EditAutoPat.empty() ? std::string() : ResolveFileName(ws.Resolve(ws.EditAutoPat));
  std::vector<int> slots;
  std::error_code ec;
  for (int n = 1; n <= kReferenceCount && !folder.empty(); ++n)
    if (std::filesystem::is_regular_file(SlotBitmapName(folder, n), ec)) slots.push_back(n);
  int learned = 0;
  for (const int n : slots) {
    LearnPattern(ws, n, SlotBitmapName(folder, n));
    ws.View().Progress("Learning", ++learned, static_cast<int>(slots.size()));
  }
  ws.View().GridChanged();
  return learned;
}

}  // namespace morvik
