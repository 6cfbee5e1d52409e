// Learning a reference set: the bitmap "<folder>/<n>.bmp" (or the same name as PNG, PGM, PPM
// or PBM) becomes reference pattern n.
#pragma once

#include <string>
#include <vector>

#include "runs/run_observer.h"
#include "session/session.h"

namespace morvik {

// Loads the file under the session's image settings into the TestPattern and copies it into
// slot n (1..40). A picture that leaves no pixels to sample (a thin rule cropped, or scaled to
// a ratio that rounds its raster to nothing) becomes an empty reference; returns false then.
// Throws Error when the bitmap cannot be loaded.
bool LearnPattern(Session& session, int n, const std::string& fileName);

// Slots 1..40 from the bitmaps "<folder>/<n>.bmp" (the folder found in any case, the names
// in it taken exactly; where "<n>.bmp" does not exist, "<n>.png", ".pgm", ".ppm", ".pbm"); slots
// without a bitmap keep their pattern, and the TestPattern ends as the last one learned. Returns
// the slots learned, ascending; none for an empty folder name. Throws Error at the first bitmap
// that cannot be loaded, leaving the slots learned before it. The observer hears the progress
// ("Learning") and a notice for each picture learned as an empty reference.
std::vector<int> LearnReferences(Session& session, const std::string& folder,
                                 RunObserver& observer);
std::vector<int> LearnReferences(Session& session, const std::string& folder);

}  // namespace morvik
