// Opening and saving a session's pattern set: "<base>.PCP" (the 40 references) and
// "<base>.PCT" (the TestPattern).
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

namespace morvik {

// The two files of the set with this base path.
std::string ReferenceFileOf(const std::string& base);  // base + ".PCP"
std::string TestFileOf(const std::string& base);       // base + ".PCT"

// Reads the references, then (when they could be read) the TestPattern. Returns the files
// that could not be read: none when the set was opened.
std::vector<std::string> OpenSet(Session& session, const std::string& base);

// Counts every pattern, then writes both files, each replacing its old version only when it
// was written whole. Returns the files that could not be written.
std::vector<std::string> SaveSet(Session& session, const std::string& base);

}  // namespace morvik
