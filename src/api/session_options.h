// The folder runs' image settings (morvik::RecognizerOptions) as a session holds them, for
// the Recognizer and the folder calls of the API alike.
#pragma once

#include "morvik/morvik.h"
#include "session/session.h"

namespace morvik {

// Throws Error kUsage for a tally outside 0..100 or a ratio outside 1..100.
void ApplyRecognizerOptions(const RecognizerOptions& options, Session& session);

}  // namespace morvik
