// The folder and batch runs through the public API (morvik/runs.h): a FolderSession holds the
// engine's session as the command line builds it; the plain run calls build one the same way.
#include <memory>
#include <optional>

#include "api/library_core.h"
#include "api/read_adapter.h"
#include "api/session_options.h"
#include "core/char_map.h"
#include "core/file_names.h"
#include "core/number_format.h"
#include "core/ordered_jobs.h"
#include "core/regular_file.h"
#include "core/set_files.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_settings.h"
#include "morvik/runs.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/recognition.h"
#include "session/set_io.h"
#include "session/settings_file.h"

namespace morvik {

struct FolderSession::State {
  Session Work;
  SetSettings Overrides;         // the image options and tally given for the run
  bool MapGiven = false;         // a strict map answers for every set named in a run
  std::string Name = "default";  // the session's references in the answers of a set run
};

namespace {

// The report: the header, then one line per picture with the three best; with sets named
// for the run each of the three names its set first. Notices and progress go on to the
// caller's listener.
class RunReporter : public RunObserver {
 public:
  RunReporter(RunListener& listener, const Session& session)
      : listener_(listener), session_(session) {}

  void OpenReport(const std::string& path, const SetRun* sets) {
    sets_ = sets;
    file_ = std::make_unique<TextFile>(path);
    file_->Write("file\trow\tcolumn");
    for (int r = 1; r <= 3; ++r) {
      const std::string n = std::to_string(r);
      file_->Write((sets_ ? "\tset" + n : std::string()) + "\tno" + n + "\tchar" + n + "\tscore" +
                   n);
    }
    file_->EndLine();
  }
  void CloseReport() {
    if (file_) file_->Close();
  }

  void Notice(const std::string& text) override { listener_.Notice(text); }
  void Progress(const std::string& what, int done, int total) override {
    listener_.Progress(what, done, total);
  }

  void ImageRecognized(const RecognizedImage& image) override {
    if (!file_) return;
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
    file_->Write(line + kLineEnd);
  }

 private:
  static std::string Columns(int no, char c, double score) {
    return "\t" + std::to_string(no) + "\t" + (c ? std::string(1, c) : std::string()) + "\t" +
           FormatGeneral(score, 6);
  }

  RunListener& listener_;
  const Session& session_;
  const SetRun* sets_ = nullptr;
  std::unique_ptr<TextFile> file_;
};

// The session's references as the one set of a run (Chars without Sets).
ReferenceLibrary SessionLibrary(const Session& session, const std::string& name) {
  ReferenceLibrary library;
  ReferenceSet& set = library.Sets.emplace_back();
  set.Base = name;
  set.Bank = session.Bank;
  return library;
}

// overrides: the image options given for the run; mapGiven: the run's map answers for every
// named set; name: the session's references' in the answers.
std::optional<SetRun> PrepareSetRun(const Session& session, const SetSettings& overrides,
                                    bool mapGiven, const std::string& name,
                                    const SessionRunSettings& s) {
  if (s.Sets.empty() && s.Chars.empty()) return std::nullopt;
  CharFilter filter;
  if (!s.Chars.empty()) filter = ParseCharFilter(s.Chars);
  const std::string shown = session.Chars.CharCompareMode ? "default" : name;
  SetRun run = MakeSetRun(
      s.Sets.empty() ? SessionLibrary(session, shown) : OpenNamedReferences(s.Sets, s.SetsFolder),
      session.Image, session.Tally, overrides, session.Chars, mapGiven, filter);
  if (filter.Active && !AnySetMapped(run))
    throw Error(
        "--chars needs a character map: charmap.txt in the start folder, --charmap FILE, or a "
        "set's BASE.charmap.txt",
        ErrorKind::kUsage);
  return run;
}

}  // namespace

FolderSession::FolderSession(const RecognizerOptions& image) : state_(std::make_unique<State>()) {
  ApplyRecognizerOptions(image, state_->Work);
}

FolderSession::~FolderSession() = default;
FolderSession::FolderSession(FolderSession&&) noexcept = default;
FolderSession& FolderSession::operator=(FolderSession&&) noexcept = default;

bool FolderSession::ApplyHomeSettings(const std::string& home) {
  Session& session = state_->Work;
  const StoredSettings stored = ReadSettingsFile(SettingsPath(home));
  session.Tally = TallyOf(stored.Tally);
  session.Image.FixedRatio = stored.AspectRatioEnable;
  session.Image.Ratio = stored.AspectRatio;
  const std::string lastSet = JoinPath(home, stored.LastFileName);
  if (!stored.LastFileName.empty() && FileExists(ReferenceFileOf(lastSet)))
    OpenSet(session, lastSet);  // a set that cannot be read stays as far as it was read
  return stored.DynamicFileNameSearch;
}

void FolderSession::Override(const SamplingOverrides& given, bool black) {
  SetSettings s = EngineOverrides(given);
  if (black) s.Black = true;
  ApplySetSettings(s, state_->Work.Image, state_->Work.Tally);
  state_->Overrides = s;
}

std::string FolderSession::LoadWindowCharacterMap(const std::string& path) {
  return LoadCharMap(path, state_->Work.Chars);
}

void FolderSession::LoadCharacterMap(const std::string& path) {
  CharMapState& chars = state_->Work.Chars;
  chars.CharMap = LoadStrictCharMap(path).CharMap;
  chars.CharMapLoaded = true;
  state_->MapGiven = true;
}

void FolderSession::CompareWith(char c) {
  state_->Work.Chars.CharCompareMode = true;
  state_->Work.Chars.ExpectedChar = c;
}

void FolderSession::AddReferences(const std::string& setFile, const std::string& name) {
  state_->Name = name;
  if (LoadReferenceFile(setFile, state_->Work.Bank)) return;
  const std::string problem = RegularFileProblem(setFile);
  throw FileError(setFile, problem.empty() ? "cannot be read" : problem, ErrorKind::kCannotRead);
}

std::vector<int> FolderSession::Learn(const std::string& folder, RunListener& listener) {
  if (!DirectoryExists(folder)) throw FileError(folder, "folder not found", ErrorKind::kNotFound);
  RunReporter reporter(listener, state_->Work);
  return LearnReferences(state_->Work, folder, reporter);
}

std::vector<std::string> FolderSession::SaveSet(const std::string& base) {
  Session& session = state_->Work;
  std::vector<std::string> failed = morvik::SaveSet(session, base);
  if (!failed.empty()) return failed;
  // What the set needs to be read right later: its settings, and the map of this run.
  SaveSetSettings(base, CaptureSetSettings(session.Image, session.Tally));
  if (session.Chars.CharMapLoaded) SaveSetCharMap(base, session.Chars);
  return failed;
}

RunSummary FolderSession::Recognize(const std::string& folder, const SessionRunSettings& s,
                                    RunListener& listener) {
  Session& session = state_->Work;
  std::optional<SetRun> sets =
      PrepareSetRun(session, state_->Overrides, state_->MapGiven, state_->Name, s);
  SetRun* run = sets ? &*sets : nullptr;
  RunReporter reporter(listener, session);
  if (!s.Report.empty()) reporter.OpenReport(s.Report, s.Sets.empty() ? nullptr : run);
  const unsigned jobs = s.Jobs != 0 ? s.Jobs : DefaultJobs();
  RunSummary summary;
  if (s.Batch) {
    const BatchRunResult r = RecognizeBatch(
        session, {folder, s.ShownRoot.empty() ? folder : s.ShownRoot, run, jobs}, reporter);
    summary = RunSummary{r.Images, r.Failed};
  } else {
    const FolderRunResult r =
        RecognizeFolder(session, {folder, s.DynamicNames, run, jobs}, reporter);
    summary = RunSummary{r.Images, r.Failed};
  }
  reporter.CloseReport();
  return summary;
}

std::vector<std::string> RunResultFiles(const std::string& folder, bool batch) {
  std::vector<std::string> files;
  const std::string root = ResolveFileName(folder);  // as the run finds it, in any case
  if (batch) {
    files.push_back(JoinPath(root, "batchresult.txt"));
    files.push_back(JoinPath(root, "batchresult.out"));
    for (const std::string& name : ListSubfolders(root)) {
      files.push_back(JoinPath(JoinPath(root, name), "result.txt"));
      files.push_back(JoinPath(JoinPath(root, name), "result.out"));
    }
  } else {
    files.push_back(JoinPath(root, "result.txt"));
    files.push_back(JoinPath(root, "result.out"));
  }
  return files;
}

namespace {

// The session of a plain run: image settings, the map and the folder's or the named set.
FolderSession PrepareSession(const std::string& folder, const FolderRunSettings& s) {
  if (!DirectoryExists(folder)) throw FileError(folder, "folder not found", ErrorKind::kNotFound);
  FolderSession session(s.Image);
  if (!s.CharacterMap.empty()) session.LoadCharacterMap(s.CharacterMap);
  if (!s.Sets.empty()) return session;
  if (!s.Set.empty()) {
    const std::string file = ReferenceFileOf(SetBaseName(s.Set));
    if (!EntryExists(file) && !FileExists(file))
      throw FileError(file, "set not found", ErrorKind::kNotFound);
    session.AddReferences(ResolveFileName(file), s.Set);
  } else if (const std::string file = JoinPath(folder, "default.pcp"); EntryExists(file)) {
    session.AddReferences(ResolveFileName(file), "default");
  }
  return session;
}

RunSummary PlainRun(const std::string& folder, const FolderRunSettings& s, bool batch) {
  FolderSession session = PrepareSession(folder, s);
  RunListener quiet;
  return session.Recognize(folder, {s.Sets, "", s.Chars, s.DynamicNames, batch, "", s.Report},
                           quiet);
}

}  // namespace

RunSummary RecognizeFolderRun(const std::string& folder, const FolderRunSettings& settings) {
  return PlainRun(folder, settings, false);
}

RunSummary RecognizeBatchRun(const std::string& root, const FolderRunSettings& settings) {
  return PlainRun(root, settings, true);
}

}  // namespace morvik
