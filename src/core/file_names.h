// File-name helpers: case-insensitive lookup (names built as ".PCP" must reach "x.pcp"),
// paths relative to the program's home folder, and base names of chosen set files.
#pragma once

#include <string>

#include "morvik/files.h"  // the helpers the public API shares

namespace morvik {

// ResolveFileName and the rest of morvik/files.h, then:
bool FileExists(const std::string& path);       // a regular file, matched as ResolveFileName
bool DirectoryExists(const std::string& path);  // a folder, matched as above
// An entry of any kind (a file, a folder, a FIFO ...), matched as above; a link counts even
// when it names nothing.
bool EntryExists(const std::string& path);

// path relative to folder `home`: shared leading folders (compared without regard to case)
// are dropped, every remaining level of home becomes "..". A relative path is returned
// unchanged. "/app" and "/app/sets/a" give "sets/a"; "/app" and "/data/a" give "../data/a".
std::string MakeRelativeTo(const std::string& path, const std::string& home);

// The chosen file's name without its extension (the text from the last "." of the name
// part); a name without extension stays whole.
std::string StripExtension(const std::string& fileName);

}  // namespace morvik
