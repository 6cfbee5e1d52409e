// What every route of the command line shares: the exit statuses that --help lists, the
// error a bad option or value raises, the one place a failure is reported, and reading a
// whole-number option value.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "morvik/error.h"

namespace morvik {

enum ExitStatus {
  kExitOk = 0,             // the run did its work
  kExitFailed = 1,         // a picture or file could not be read or written, and the like
  kExitFolderMissing = 2,  // the folder to recognise (or learn from) does not exist
  kExitUsage = 3,          // unknown option or bad value
};

// A command line that cannot run as typed: the message says what to type instead.
struct UsageError : Error {
  explicit UsageError(const std::string& message) : Error(message, ErrorKind::kUsage) {}
  // "<file>: <problem>", with File() the file.
  UsageError(const std::string& file, const std::string& problem)
      : Error(ErrorKind::kUsage, file, problem) {}
};

// The exit status --help lists for an error of this kind: the one place kinds meet statuses.
ExitStatus ExitStatusFor(ErrorKind kind);

// Refuses (UsageError) the value of --save as a set's name: "" (the start folder itself,
// whose set files would be hidden ".PCP" ...), a name ending in "/" (a folder, the same
// there), or one holding a line end, which a library file could not list.
void CheckSetName(const std::string& option, const std::string& name);

// Refuses (UsageError naming the input) a save that would write over one of its inputs: an
// output that is an input however spelled or linked (the same device and inode, links
// followed; outputs found in any case as the save finds them). The set written there would
// be all that is left of the input. `what` says what the inputs are ("the font").
void CheckSaveSparesInputs(const std::vector<std::string>& outputs,
                           const std::vector<std::string>& inputs, const std::string& what);

// Runs a route's work and returns its status. An Error it throws is printed as
// "morvik: <message>", followed by the route's hint for a usage fault, and answered with
// ExitStatusFor its kind; running out of memory or any other exception fails the run.
int ReportFailures(std::ostream& err, const std::string& usageHint,
                   const std::function<int()>& work);

// The value of option (named as typed, "--threshold") as a whole number from low to high;
// decimal, or hexadecimal after "0x". Throws UsageError otherwise.
int ParseWholeOption(const std::string& option, const std::string& text, long low, long high);

}  // namespace morvik
