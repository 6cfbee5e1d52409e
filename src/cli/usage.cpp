#include "cli/usage.h"

#include <new>
#include <set>

#include "morvik/files.h"
#include "morvik/whole_number.h"

namespace morvik {

ExitStatus ExitStatusFor(ErrorKind kind) {
  return kind == ErrorKind::kUsage ? kExitUsage : kExitFailed;
}

void CheckSetName(const std::string& option, const std::string& name) {
  if (name.empty() || name.back() == '/')
    throw UsageError{option + " needs the name of a set, not \"" + name + "\""};
  if (name.find_first_of("\r\n") != std::string::npos)
    throw UsageError{option + ": a set's name cannot hold a line end"};
}

void CheckSaveSparesInputs(const std::vector<std::string>& outputs,
                           const std::vector<std::string>& inputs, const std::string& what) {
  std::set<FileIdentity> written;
  for (const std::string& file : outputs)
    if (const auto id = IdentityOf(ResolveFileName(file))) written.insert(*id);
  for (const std::string& input : inputs)
    if (const auto id = IdentityOf(input); id && written.count(*id))
      throw UsageError{input, "--save would replace " + what + " being learned"};
}

int ReportFailures(std::ostream& err, const std::string& usageHint,
                   const std::function<int()>& work) {
  ErrorKind kind = ErrorKind::kFailed;
  try {
    return work();
  } catch (const Error& e) {
    err << "morvik: " << e.what() << "\n";
    kind = e.Kind();
  } catch (const std::bad_alloc&) {
    err << "morvik: out of memory\n";
  } catch (const std::exception& e) {
    err << "morvik: " << e.what() << "\n";
  }
  if (kind == ErrorKind::kUsage && !usageHint.empty()) err << usageHint << "\n";
  return ExitStatusFor(kind);
}

int ParseWholeOption(const std::string& option, const std::string& text, long low, long high) {
  long v = 0;
  if (!ParseWholeNumber(text, v) || v < low || v > high)
    throw UsageError{option + " needs a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\""};
  return static_cast<int>(v);
}

}  // namespace morvik
