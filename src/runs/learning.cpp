#include "runs/learning.h"

#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "image/bitmap_to_pattern.h"

namespace morvik {

void LearnPattern(Workspace& ws, int n, const std::string& fileName) {
  LoadingGuardScope guard(ws.Image);
  LoadBitmapFile(fileName, ws.Image);
  FillPatternFromBitmap(ws.Image, ws.Bank.TestPattern());
  CopyPattern(ws.Bank.TestPattern(), ws.Bank.Slot(n));
}

int ButtonAutoPatClick(Workspace& ws) {
  ws.SetCurrentFolder(ws.RunFolder);
  const std::string folder = ws.Resolve(ws.EditAutoPat);
  int learned = 0;
  std::error_code ec;
  // An empty name names no folder: nothing is learned.
  for (int n = 1; n <= kReferenceCount && !ws.EditAutoPat.empty(); ++n) {
    const std::string name = JoinPath(folder, std::to_string(n) + ".bmp");
    if (std::filesystem::is_regular_file(name, ec)) {
      LearnPattern(ws, n, name);
      ++learned;
    }
    ws.View().Progress("Learning", n, kReferenceCount);
  }
  ws.View().GridChanged();
  return learned;
}

}  // namespace morvik
