// Finding the reference set a user names by typing it: its ".PCP" file looked for in a list
// of folders, with or without the extension.
#pragma once

#include <string>
#include <vector>

namespace morvik {

struct NamedSet {
  std::string File;                // the ".PCP" entry found, as on disk; empty when none
  std::vector<std::string> Tried;  // every file looked for, in order
};

// Looks for the set `name` in each folder in turn: "<folder>/<name>" when the name ends in
// ".pcp" (in any case), else "<folder>/<name>.pcp"; each matched without regard to case (see
// ResolveFileName). The first entry found is taken even when it is no regular file (a folder,
// a FIFO), so that the caller reports it rather than quietly passing over it. Folders named
// twice are looked in once; an empty name finds nothing.
NamedSet FindNamedSet(const std::string& name, const std::vector<std::string>& folders);

}  // namespace morvik
