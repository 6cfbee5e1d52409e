// Replacing a file's contents without ever leaving it half-written: the data goes to a file
// beside it, which is then moved into its place.
#pragma once

#include <string>

namespace morvik {

// Writes data as the new contents of path. A link is written through to the file it names;
// an existing file keeps its permissions, and one the user may not write is left alone.
// Returns false (with the old file untouched) when anything fails.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace morvik
