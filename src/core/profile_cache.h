// Keeping a reference's line profiles while its cells and counts stay as they were: the one
// rule for every cache of profiles (a run's references, a reader's candidates).
#pragma once

#include "core/pattern.h"
#include "core/scoring.h"

namespace morvik {

// Makes the entry hold the profiles of `ref`, profiling it again only when the entry was made
// from other cells or counts (or from none).
void RefreshProfiles(TProfileCacheEntry& entry, const TPattern& ref);

}  // namespace morvik
