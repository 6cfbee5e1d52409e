// Learning a reference set: the bitmap "<folder>/<n>.bmp" becomes reference pattern n.
#pragma once

#include <string>

#include "runs/workspace.h"

namespace morvik {

// Loads the file into the TestPattern under the loading guard and copies it into slot n
// (1..40). Throws Error when the bitmap cannot be loaded; the guard is cleared regardless.
void LearnPattern(Workspace& ws, int n, const std::string& fileName);

// "Learn Patterns": slots 1..40 from the folder EditAutoPat (relative to the run folder,
// which becomes current). Slots without a bitmap keep their pattern. Returns how many slots
// were learned; throws Error at the first bitmap that cannot be loaded, leaving the slots
// learned before it.
int ButtonAutoPatClick(Workspace& ws);

}  // namespace morvik
