// The command line of the picture routes: `morvik --read [options] PICTURE...` prints the text
// of whole pictures, `morvik --learn-picture PICTURE --chars CHARS --save BASE` learns a set.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace morvik {

// Whether the arguments ask for a picture route (any of them is "--read" or
// "--learn-picture"); then RunPictureCommand handles all of them.
bool IsPictureCommand(const std::vector<std::string>& args);

// The sets read with when no --set is given (base names or library files); where there are
// none, the places they were looked for, which the refusal names.
struct DefaultSets {
  DefaultSets(std::vector<std::string> names = {}, std::vector<std::string> tried = {})
      : Names(std::move(names)), Tried(std::move(tried)) {}
  std::vector<std::string> Names;
  std::vector<std::string> Tried;
};

// Runs a picture route; startFolder is where relative names are taken from. defaultSets is
// asked only by a reading that names no set (looking for the stock library costs a run that
// names its sets some files' status and a tenth of a millisecond). Diagnostics go to err, each
// starting with "morvik: " and naming the file. Returns the exit status: 0 all done, 1 a file
// could not be read or written (the other pictures are still read), 3 a bad option or value.
int RunPictureCommand(const std::vector<std::string>& args,
                      const std::function<DefaultSets()>& defaultSets,
                      const std::string& startFolder, std::ostream& out, std::ostream& err);

// The usage text of the picture routes, with the exit statuses.
std::string PictureUsageText();

}  // namespace morvik
