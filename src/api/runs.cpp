// The folder and batch runs through the public API (morvik/runs.h): a session and, with sets
// named for the run or a character filter, a set run, as the command line prepares them.
#include <memory>
#include <optional>

#include "api/library_core.h"
#include "api/session_options.h"
#include "core/char_map.h"
#include "core/file_names.h"
#include "core/number_format.h"
#include "core/regular_file.h"
#include "core/set_files.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "morvik/runs.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/recognition.h"
#include "session/set_io.h"

namespace morvik {

namespace {

// The report: the header, then one line per picture with the three best; with sets named
// for the run each of the three names its set first.
class ReportWriter : public RunObserver {
 public:
  ReportWriter(const std::string& path, const Session& session, const SetRun* sets)
      : file_(path), session_(session), sets_(sets) {
    file_.Write("file\trow\tcolumn");
    for (int r = 1; r <= 3; ++r) {
      const std::string n = std::to_string(r);
      file_.Write((sets_ ? "\tset" + n : std::string()) + "\tno" + n + "\tchar" + n + "\tscore" +
                  n);
    }
    file_.EndLine();
  }
  void Close() { file_.Close(); }

  void ImageRecognized(const RecognizedImage& image) override {
    std::string line =
        image.FileName + "\t" + std::to_string(image.Row) + "\t" + std::to_string(image.Column);
    if (sets_ && image.Matches) {
      for (const LibraryMatch& m : *image.Matches) {
        const std::string set =
            m.Set >= 0 ? sets_->Library.Sets[static_cast<std::size_t>(m.Set)].Base : "";
        line += "\t" + set + Columns(m.No, m.No != 0 ? m.Char : 0, m.Score);
      }
    } else {
      for (const TRankEntry& rank : image.TopThree)
        line += Columns(rank.No, rank.No != 0 ? CharacterOf(session_, rank.No) : 0, rank.Score);
    }
    file_.Write(line + kLineEnd);
  }

 private:
  static std::string Columns(int no, char c, double score) {
    return "\t" + std::to_string(no) + "\t" + (c ? std::string(1, c) : std::string()) + "\t" +
           FormatGeneral(score, 6);
  }

  TextFile file_;
  const Session& session_;
  const SetRun* sets_;
};

void LoadReferences(const std::string& file, Session& session) {
  if (LoadReferenceFile(file, session.Bank)) return;
  const std::string problem = RegularFileProblem(file);
  throw FileError(file, problem.empty() ? "cannot be read" : problem, ErrorKind::kCannotRead);
}

// The session of the run: image settings, the map and the folder's or the named set.
void PrepareSession(const std::string& folder, const FolderRunSettings& s, Session& session) {
  ApplyRecognizerOptions(s.Image, session);
  if (!s.CharacterMap.empty()) {
    if (!FileExists(s.CharacterMap))
      throw FileError(s.CharacterMap, "character map not found", ErrorKind::kNotFound);
    if (const std::string problem = LoadCharMap(s.CharacterMap, session.Chars); !problem.empty())
      throw FileError(s.CharacterMap, problem, ErrorKind::kBadData);
  }
  if (!s.Sets.empty()) return;
  if (!s.Set.empty()) {
    const std::string file = ReferenceFileOf(SetBaseName(s.Set));
    if (!EntryExists(file) && !FileExists(file))
      throw FileError(file, "set not found", ErrorKind::kNotFound);
    LoadReferences(ResolveFileName(file), session);
  } else if (const std::string file = JoinPath(folder, "default.pcp"); EntryExists(file)) {
    LoadReferences(ResolveFileName(file), session);
  }
}

std::optional<SetRun> PrepareSetRun(const FolderRunSettings& s, const Session& session) {
  if (s.Sets.empty() && s.Chars.empty()) return std::nullopt;
  ReferenceLibrary library;
  if (s.Sets.empty()) {
    ReferenceSet& set = library.Sets.emplace_back();
    set.Base = s.Set.empty() ? "default" : s.Set;
    set.Bank = session.Bank;
  } else {
    std::vector<std::string> names;
    for (const std::string& name : s.Sets)
      names.push_back(IsLibraryFileName(name) ? name : SetBaseName(name));
    library = OpenReferenceNames(names);
  }
  CharFilter filter;
  if (!s.Chars.empty()) filter = ParseCharFilter(s.Chars);
  SetRun run = MakeSetRun(std::move(library), session.Image, session.Tally, SetSettings{},
                          session.Chars, !s.CharacterMap.empty(), filter);
  if (filter.Active && !AnySetMapped(run))
    throw Error("the characters to answer with need a character map", ErrorKind::kUsage);
  return run;
}

// Runs `recognize` with the session, the set run and the report prepared.
template <typename Recognize>
RunSummary Run(const std::string& folder, const FolderRunSettings& s, Recognize recognize) {
  if (!DirectoryExists(folder)) throw FileError(folder, "folder not found", ErrorKind::kNotFound);
  Session session;
  PrepareSession(folder, s, session);
  std::optional<SetRun> sets = PrepareSetRun(s, session);
  SetRun* run = sets ? &*sets : nullptr;
  RunObserver quiet;
  std::unique_ptr<ReportWriter> report;
  if (!s.Report.empty())
    report = std::make_unique<ReportWriter>(s.Report, session, s.Sets.empty() ? nullptr : run);
  const RunSummary summary = recognize(session, run, report ? *report : quiet);
  if (report) report->Close();
  return summary;
}

}  // namespace

RunSummary RecognizeFolderRun(const std::string& folder, const FolderRunSettings& settings) {
  return Run(folder, settings, [&](Session& session, SetRun* run, RunObserver& observer) {
    const FolderRunResult r =
        RecognizeFolder(session, {folder, settings.DynamicNames, run}, observer);
    return RunSummary{r.Images, r.Failed};
  });
}

RunSummary RecognizeBatchRun(const std::string& root, const FolderRunSettings& settings) {
  return Run(root, settings, [&](Session& session, SetRun* run, RunObserver& observer) {
    const BatchRunResult r = RecognizeBatch(session, {root, root, run}, observer);
    return RunSummary{r.Images, r.Failed};
  });
}

}  // namespace morvik
