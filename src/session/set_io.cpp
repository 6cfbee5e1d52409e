#include "session/set_io.h"

#include "core/normalize.h"
#include "core/set_files.h"

namespace morvik {

std::string ReferenceFileOf(const std::string& base) {
  return base + ".PCP";
}

std::string TestFileOf(const std::string& base) {
  return base + ".PCT";
}

std::vector<std::string> OpenSet(Session& session, const std::string& base) {
  if (!LoadReferenceFile(ReferenceFileOf(base), session.Bank)) return {ReferenceFileOf(base)};
  if (!LoadTestFile(TestFileOf(base), session.Bank)) return {TestFileOf(base)};
  return {};
}

std::vector<std::string> SaveSet(Session& session, const std::string& base) {
  ComputeBankSpans(session.Bank);
  std::vector<std::string> failed;
  if (!SaveReferenceFile(ReferenceFileOf(base), session.Bank))
    failed.push_back(ReferenceFileOf(base));
  if (!SaveTestFile(TestFileOf(base), session.Bank)) failed.push_back(TestFileOf(base));
  return failed;
}

}  // namespace morvik
