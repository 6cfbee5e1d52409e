#include "cli/command_line.h"

#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>

#include "core/error.h"
#include "core/file_names.h"
#include "core/number_format.h"
#include "core/ordered_jobs.h"
#include "core/regular_file.h"
#include "core/set_files.h"
#include "core/whole_number.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_settings.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/named_set.h"
#include "session/recognition.h"
#include "session/set_io.h"
#include "session/settings_file.h"

namespace morvik {

namespace {

namespace fs = std::filesystem;

struct Options {
  std::vector<std::string> positional;
  bool dynamic = false, black = false, crop = false, noAuto = false, batch = false;
  std::optional<int> tally, threshold, increment, ratio;
  bool ratioOff = false;
  std::optional<std::string> charmap, learn, save, report, chars;
  std::vector<std::string> sets;
  unsigned jobs = 0;  // 0: DefaultJobs()
  bool help = false, version = false;
};

// The option table: flags, names of files or folders, and numbers.
enum OptionId {
  kHelp = 'h',
  kVersion = 'V',
  kDynamic = 256,
  kBlack,
  kCrop,
  kNoAuto,
  kBatch,
  kCharmap,
  kLearn,
  kSave,
  kReport,
  kTally,
  kThreshold,
  kIncrement,
  kRatio,
  kSet,
  kChars,
  kJobs,
};

const option kLongOptions[] = {
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {"dynamic", no_argument, nullptr, kDynamic},
    {"black", no_argument, nullptr, kBlack},
    {"crop", no_argument, nullptr, kCrop},
    {"no-auto", no_argument, nullptr, kNoAuto},
    {"batch", no_argument, nullptr, kBatch},
    {"charmap", required_argument, nullptr, kCharmap},
    {"learn", required_argument, nullptr, kLearn},
    {"save", required_argument, nullptr, kSave},
    {"report", required_argument, nullptr, kReport},
    {"tally", required_argument, nullptr, kTally},
    {"threshold", required_argument, nullptr, kThreshold},
    {"increment", required_argument, nullptr, kIncrement},
    {"ratio", required_argument, nullptr, kRatio},
    {"set", required_argument, nullptr, kSet},
    {"chars", required_argument, nullptr, kChars},
    {"jobs", required_argument, nullptr, kJobs},
    {nullptr, 0, nullptr, 0},
};

// The option as typed ("--tally=x" as "--tally"), for messages.
std::string OptionName(const char* typed) {
  const std::string a = typed;
  return a.substr(0, a.find('='));
}

void ApplyOption(Options& o, int id, const std::string& name, const char* value) {
  const std::string v = value ? value : "";
  switch (id) {
    case kHelp:
      o.help = true;
      break;
    case kVersion:
      o.version = true;
      break;
    case kDynamic:
      o.dynamic = true;
      break;
    case kBlack:
      o.black = true;
      break;
    case kCrop:
      o.crop = true;
      break;
    case kNoAuto:
      o.noAuto = true;
      break;
    case kBatch:
      o.batch = true;
      break;
    case kCharmap:
      o.charmap = v;
      break;
    case kLearn:
      o.learn = v;
      break;
    case kSave:
      o.save = v;
      break;
    case kReport:
      o.report = v;
      break;
    case kSet:
      if (v.empty()) throw UsageError{name + " needs the name of a set, not \"\""};
      o.sets.push_back(v);
      break;
    case kChars:
      try {
        ParseCharFilter(v);
      } catch (const Error& e) {
        throw UsageError{name + ": " + e.what()};
      }
      o.chars = v;
      break;
    case kTally:
      o.tally = ParseWholeOption(name, v, 0, 100);
      break;
    case kThreshold:
      o.threshold = ParseWholeOption(name, v, 0, 100);
      break;
    case kIncrement:
      o.increment = ParseWholeOption(name, v, 0, 100);
      break;
    case kJobs:
      o.jobs = static_cast<unsigned>(ParseWholeOption(name, v, 1, 1024));
      break;
    case kRatio:
      if (v == "off") {
        o.ratioOff = true;
      } else {
        o.ratio = ParseWholeOption(name, v, 1, 100);
      }
      break;
    default:
      break;
  }
}

// Sets named with --set replace the folder's set and are not learned into.
void CheckSetOptions(const Options& o) {
  if (o.sets.empty()) return;
  if (o.learn) throw UsageError{"--set goes with a folder run, not with --learn"};
  if (o.positional.size() > 1 && o.positional[1].size() != 1)
    throw UsageError{
        "with --set, no <set name> after the folder (a single <character> may "
        "stand there)"};
}

Options ParseOptions(const std::vector<std::string>& args) {
  std::vector<std::string> words{"morvik"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  Options o;
  optind = 0;  // a fresh scan
  opterr = 0;  // messages of our own
  for (;;) {
    const int id = getopt_long(argc, argv.data(), ":hV", kLongOptions, nullptr);
    if (id == -1) break;
    const std::string typed = OptionName(argv[static_cast<std::size_t>(optind) - 1]);
    if (id == '?') {
      throw UsageError{"unknown option " +
                       (optopt != 0 ? std::string("-") + static_cast<char>(optopt) : typed)};
    }
    if (id == ':') throw UsageError{typed + " needs a value"};
    ApplyOption(o, id, typed, optarg);
  }
  for (int k = optind; k < argc; ++k) o.positional.push_back(argv[static_cast<std::size_t>(k)]);
  if (o.save && !o.learn) throw UsageError{"--save goes with --learn"};
  if (o.save) CheckSetName("--save", *o.save);
  CheckSetOptions(o);
  return o;
}

// Writes the report lines and the progress of a run; the command line shows nothing else.
class CommandLineObserver : public RunObserver {
 public:
  CommandLineObserver(std::ostream& err, const Session& session) : err_(err), session_(session) {}

  // With sets named for the run, each of the three names its set before its number.
  void OpenReport(const std::string& path, const SetRun* sets) {
    sets_ = sets;
    report_ = std::make_unique<TextFile>(path);
    report_->Write("file\trow\tcolumn");
    for (int r = 1; r <= 3; ++r) {
      const std::string n = std::to_string(r);
      report_->Write((sets_ ? "\tset" + n : std::string()) + "\tno" + n + "\tchar" + n + "\tscore" +
                     n);
    }
    report_->EndLine();
  }
  void CloseReport() {
    if (report_) report_->Close();
  }
  void Notice(const std::string& text) override { err_ << "morvik: " << text << "\n"; }

  void ImageRecognized(const RecognizedImage& image) override {
    if (!report_) return;
    std::string line =
        image.FileName + "\t" + std::to_string(image.Row) + "\t" + std::to_string(image.Column);
    if (sets_ && image.Matches) {
      for (const LibraryMatch& m : *image.Matches) line += SetColumns(m);
    } else {
      for (const TRankEntry& rank : image.TopThree) {
        const char c = rank.No != 0 ? CharacterOf(session_, rank.No) : 0;
        line += "\t" + std::to_string(rank.No) + "\t" + (c ? std::string(1, c) : std::string()) +
                "\t" + FormatGeneral(rank.Score, 6);
      }
    }
    report_->Write(line + kLineEnd);
  }

  void Progress(const std::string& what, int done, int total) override {
    if (!isatty(STDERR_FILENO)) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    char line[128];
    std::snprintf(line, sizeof line, "\r%s: %d/%d images, %.1f s", what.c_str(), done, total,
                  seconds);
    err_ << line << (done >= total ? "\n" : "") << std::flush;
  }

 private:
  // Set, its own number, the character (none where the set's map names none) and the score.
  std::string SetColumns(const LibraryMatch& m) const {
    const std::string set =
        m.Set >= 0 ? sets_->Library.Sets[static_cast<std::size_t>(m.Set)].Base : "";
    const char c = m.No != 0 ? m.Char : 0;
    return "\t" + set + "\t" + std::to_string(m.No) + "\t" +
           (c ? std::string(1, c) : std::string()) + "\t" + FormatGeneral(m.Score, 6);
  }

  std::ostream& err_;
  const Session& session_;
  const SetRun* sets_ = nullptr;
  std::unique_ptr<TextFile> report_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void Diagnose(std::ostream& err, const std::string& text) {
  err << "morvik: " << text << "\n";
}

// What the window left in the settings file: tally, aspect ratio, naming and the last set.
// Returns whether dynamic naming is on.
bool ApplyStoredSettings(const std::string& home, Session& session) {
  const StoredSettings stored = ReadSettingsFile(SettingsPath(home));
  session.Tally = TallyOf(stored.Tally);
  session.Image.FixedRatio = stored.AspectRatioEnable;
  session.Image.Ratio = stored.AspectRatio;
  const std::string lastSet = JoinPath(home, stored.LastFileName);
  if (!stored.LastFileName.empty() && FileExists(ReferenceFileOf(lastSet)))
    OpenSet(session, lastSet);  // a set that cannot be read stays as far as it was read
  return stored.DynamicFileNameSearch;
}

void ApplyOptions(const Options& o, Session& session) {
  if (o.tally) session.Tally = TallyOf(std::to_string(*o.tally));
  ImageOptions& image = session.Image;
  if (o.black) image.BlackCharacters = true;
  if (o.crop) image.Crop = true;
  if (o.noAuto) image.AutoThreshold = false;
  if (o.threshold) image.Threshold = *o.threshold;
  if (o.increment) image.Increment = *o.increment;
  if (o.ratioOff) image.FixedRatio = false;
  if (o.ratio) {
    image.FixedRatio = true;
    image.Ratio = *o.ratio;
  }
}

// ./charmap.txt as the window reads it (a bad line is reported, the entries before it stay);
// then the map of --charmap, which must hold what it claims or the run does not start.
void LoadCharacterMaps(const Options& o, const std::string& start, Session& session,
                       std::ostream& err) {
  if (const std::string problem = LoadCharMap(JoinPath(start, "charmap.txt"), session.Chars);
      !problem.empty())
    Diagnose(err, problem);
  if (!o.charmap) return;
  session.Chars.CharMap = LoadStrictCharMap(JoinPath(start, *o.charmap)).CharMap;
  session.Chars.CharMapLoaded = true;
}

// Reads the references of a set file over those already in the session.
void LoadReferences(const std::string& file, Session& session) {
  if (LoadReferenceFile(file, session.Bank)) return;
  const std::string problem = RegularFileProblem(file);
  throw FileError(file, problem.empty() ? "cannot be read" : problem, ErrorKind::kCannotRead);
}

std::string JoinedList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

// The references of the run, over the set last used: "<folder>/default.pcp" with the folder
// alone, else the set the second argument names, looked for beside the pictures, then in the
// start folder, then in the home folder (where the window keeps its sets). A single character
// naming no set switches on compare mode; any other name that finds no set, or a set file
// that cannot be read, stops the run.
void ChooseSet(const Options& o, const std::string& folder, const std::string& start,
               const std::string& home, Session& session) {
  if (!o.sets.empty()) {  // the sets are named; a character after the folder is compared
    if (o.positional.size() > 1) {
      session.Chars.CharCompareMode = true;
      session.Chars.ExpectedChar = o.positional[1][0];
    }
    return;
  }
  if (o.positional.size() == 1) {
    const std::string file = JoinPath(folder, "default.pcp");
    if (EntryExists(file)) LoadReferences(ResolveFileName(file), session);
    return;
  }
  const std::string& name = o.positional[1];
  const NamedSet set = FindNamedSet(name, {folder, start, home});
  if (!set.File.empty()) {
    LoadReferences(set.File, session);
  } else if (name.size() == 1) {
    session.Chars.CharCompareMode = true;
    session.Chars.ExpectedChar = name[0];
  } else {
    throw Error("set \"" + name + "\" not found (tried " + JoinedList(set.Tried) + ")",
                ErrorKind::kNotFound);
  }
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The image options and tally given for the run, which win over a set's stored settings.
SetSettings OverridesOf(const Options& o) {
  SetSettings s;
  if (o.black) s.Black = true;
  if (o.crop) s.AutoCrop = true;
  if (o.noAuto) s.Autodetect = false;
  if (o.threshold) s.Threshold = *o.threshold;
  if (o.increment) s.Increment = *o.increment;
  if (o.ratioOff) s.AspectRatioEnable = false;
  if (o.ratio) {
    s.AspectRatioEnable = true;
    s.AspectRatio = *o.ratio;
  }
  if (o.tally) s.Tally = *o.tally;
  return s;
}

// A set named with or without its ".pcp" extension, in any case.
std::string SetBaseOf(const std::string& name) {
  const std::size_t n = name.size();
  if (n > 4 && SameNameIgnoringCase(name.substr(n - 4), ".pcp")) return name.substr(0, n - 4);
  return name;
}

// The sets of --set, in their order, taken against the start folder; library files add the
// sets they list. Sets are named as typed: relative to the start folder where they lie in it.
ReferenceLibrary OpenNamedSets(const Options& o, const std::string& start) {
  std::vector<std::string> names;
  for (const std::string& s : o.sets)
    names.push_back(JoinPath(start, IsLibraryFileName(s) ? s : SetBaseOf(s)));
  ReferenceLibrary library = OpenReferenceNames(names);
  const std::string prefix = start.empty() || start.back() == '/' ? start : start + "/";
  for (ReferenceSet& set : library.Sets)
    if (!prefix.empty() && set.Base.compare(0, prefix.size(), prefix) == 0)
      set.Base.erase(0, prefix.size());
  return library;
}

// The session's references as the one set of a run (--chars without --set).
ReferenceLibrary SessionLibrary(const Options& o, const Session& session) {
  ReferenceLibrary library;
  ReferenceSet& set = library.Sets.emplace_back();
  set.Base =
      o.positional.size() > 1 && !session.Chars.CharCompareMode ? o.positional[1] : "default";
  set.Bank = session.Bank;
  return library;
}

SetRun PrepareSetRun(const Options& o, const std::string& start, const Session& session) {
  CharFilter filter;
  if (o.chars) filter = ParseCharFilter(*o.chars);
  SetRun run = MakeSetRun(o.sets.empty() ? SessionLibrary(o, session) : OpenNamedSets(o, start),
                          session.Image, session.Tally, OverridesOf(o), session.Chars,
                          o.charmap.has_value(), filter);
  if (filter.Active && !AnySetMapped(run))
    throw UsageError{
        "--chars needs a character map: charmap.txt in the start folder, "
        "--charmap FILE, or a set's BASE.charmap.txt"};
  return run;
}

// --learn and --save. Returns the exit status, kExitOk to go on.
int Learn(const Options& o, const std::string& start, Session& session, RunObserver& observer,
          std::ostream& err) {
  const std::string folder = o.learn->empty() ? "" : JoinPath(start, *o.learn);
  if (!DirectoryExists(folder)) {
    Diagnose(err, FolderProblem(folder) + ": " + folder);
    return kExitFolderMissing;
  }
  // Nothing learned is nothing to save: a set saved now would be a copy of the old one, or
  // empty, under the name of a set that was meant to be new.
  if (LearnReferences(session, folder, observer).empty()) {
    Diagnose(err,
             folder + ": no pictures 1.bmp to 40.bmp (or .png, .pgm, .ppm, .pbm) to learn from");
    return kExitFailed;
  }
  if (!o.save) return kExitOk;
  const std::string base = JoinPath(start, *o.save);
  const std::vector<std::string> failed = SaveSet(session, base);
  for (const std::string& file : failed)
    Diagnose(err, file + (file == ReferenceFileOf(base) ? ": Error writing patterns"
                                                        : ": Error writing test pic"));
  if (!failed.empty()) return kExitFailed;
  // What the set needs to be read right later: its settings, and the map of this run.
  SaveSetSettings(base, CaptureSetSettings(session.Image, session.Tally));
  if (session.Chars.CharMapLoaded) SaveSetCharMap(base, session.Chars);
  return kExitOk;
}

// Whether two paths name the same file: the same folder (links and ".." resolved) and the
// same name in any case, as the run finds its files.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const fs::path pa = fs::absolute(a, ec), pb = fs::absolute(b, ec);
  return SameNameIgnoringCase(pa.filename().string(), pb.filename().string()) &&
         fs::weakly_canonical(pa.parent_path(), ec) == fs::weakly_canonical(pb.parent_path(), ec);
}

// The files the run rewrites, which the report must not replace.
std::vector<std::string> RewrittenFiles(const Options& o, const std::string& start,
                                        const std::string& folder) {
  std::vector<std::string> files;
  if (o.save) {
    const std::string base = JoinPath(start, *o.save);
    files.push_back(ReferenceFileOf(base));
    files.push_back(TestFileOf(base));
    files.push_back(SetSettingsPath(base));
    files.push_back(SetCharMapPath(base));
  }
  if (folder.empty()) return files;
  const std::string root = ResolveFileName(folder);  // as the run finds it, in any case
  if (o.batch) {
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

// The report's file, when it is one the run writes anyway; empty when it is not.
std::string ReportClash(const Options& o, const std::string& start, const std::string& folder) {
  if (!o.report) return "";
  const std::string report = JoinPath(start, *o.report);
  for (const std::string& file : RewrittenFiles(o, start, folder))
    if (SameFile(report, file)) return file;
  return "";
}

// The end of a run: every picture that could not be read, or none found at all, fails it.
int RunStatus(const std::vector<std::string>& failed, int images, const std::string& folder,
              bool batch, std::ostream& err) {
  for (const std::string& problem : failed) Diagnose(err, problem);
  if (images == 0) {
    Diagnose(err, folder + (batch ? ": no pictures <row>_<column>.bmp (or .png, .pgm, .ppm, "
                                    ".pbm) in its sub-folders"
                                  : ": no pictures <row>_<column>.bmp (or .png, .pgm, .ppm, "
                                    ".pbm)"));
    return kExitFailed;
  }
  return failed.empty() ? kExitOk : kExitFailed;
}

int Run(const Options& o, const std::string& home, const std::string& start, std::ostream& err) {
  // Relative folders are taken against the folder the program was started in.
  std::string folder;
  if (!o.positional.empty()) {
    if (!o.positional[0].empty()) folder = JoinPath(start, o.positional[0]);
    if (!DirectoryExists(folder)) {
      Diagnose(err, FolderProblem(folder) + ": " + folder);
      return kExitFolderMissing;
    }
  }
  if (const std::string clash = ReportClash(o, start, folder); !clash.empty())
    throw UsageError{"--report " + *o.report + ": the run itself writes " + clash};

  Session session;
  const bool dynamic = ApplyStoredSettings(home, session) || o.dynamic;
  LoadCharacterMaps(o, start, session, err);
  ApplyOptions(o, session);
  CommandLineObserver observer(err, session);

  // The folder's own set comes first, so that learning (which never clears a slot) has the
  // last word over the slots it learns.
  if (!o.positional.empty()) ChooseSet(o, folder, start, home, session);
  if (o.learn) {
    if (const int status = Learn(o, start, session, observer, err); status != kExitOk)
      return status;
  }
  if (o.positional.empty()) return kExitOk;

  std::optional<SetRun> sets;
  if (!o.sets.empty() || o.chars) sets = PrepareSetRun(o, start, session);
  SetRun* run = sets ? &*sets : nullptr;
  if (o.report) observer.OpenReport(JoinPath(start, *o.report), o.sets.empty() ? nullptr : run);
  const unsigned jobs = o.jobs != 0 ? o.jobs : DefaultJobs();
  if (o.batch) {
    // The batch report names the root as typed.
    const BatchRunResult result =
        RecognizeBatch(session, {folder, o.positional[0], run, jobs}, observer);
    observer.CloseReport();
    return RunStatus(result.Failed, result.Images, folder, true, err);
  }
  const FolderRunResult result = RecognizeFolder(session, {folder, dynamic, run, jobs}, observer);
  observer.CloseReport();
  return RunStatus(result.Failed, result.Images, folder, false, err);
}

}  // namespace

std::string HelpText() {
  return R"(Usage: morvik <folder> [<set name> | <character>] [options]
       morvik <folder> [<character>] --set BASE... [--chars CHARS] [options]
       morvik --learn DIR [--save BASE] [<folder> ...] [options]
       morvik --read [--set BASE]... [options] PICTURE...
       morvik --learn-picture PICTURE --chars CHARS --save BASE [options]
       morvik --learn-font FILE --chars CHARS [--size PX]... --save BASE
       morvik                      (no arguments: opens the window)

--read prints the text of whole pictures (BMP, PNG, PBM/PGM/PPM) of lines, blocks
or grids of characters; with no --set it reads with the stock library of common
printed typefaces that comes with the program. --learn-picture learns a set from
a picture of its characters, --learn-font from a font file (--size: cap heights
in pixels, default 40; more than 40 characters give several sets and a library
file BASE.sets). The options of --read and --learn-picture: 'morvik --read --help'.

Recognises the numbered bitmaps <row>_<column>.bmp of <folder> and writes
result.txt and result.out into it. Where <row>_<column>.bmp does not exist, the
same name with .png, .pgm, .ppm or .pbm (in this order) is read instead; --learn
reads DIR/<n>.bmp the same way. A picture that cannot be read is reported and
written as a blank one (pattern 0, score 0): the run goes on, then exits with 1.
A picture whose scaled raster has no pixels (a thin rule cropped, or a ratio that
rounds it to nothing) is an empty pattern: recognised as pattern 0, score 0, and
learned as an empty reference (--learn says so on standard error).
The reference set is <folder>/default.pcp
(with the folder alone) or the set <set name>: <folder>/<set name>.pcp, else
<set name> taken from the start folder, else from the home folder (".pcp" may
be typed or left out); over the set last used in the window. A set named that
is not found, or that cannot be read, stops the run.
A single <character> that names no set switches on compare mode: with a character
map, result.out then holds the score where the character was recognised, and N
elsewhere (without a map it holds the digits as usual).

Options (they change the settings for this run only; morvik.ini is never written):
  --dynamic          try every name of rows and columns 0..10 (dynamic file names)
  --batch            recognise every sub-folder of <folder>, compare with compare.txt
  --tally N          matching threshold in percent, 0..100
  --black            the characters are black (the picture is inverted)
  --crop             crop every picture to its content
  --no-auto          keep threshold and increment instead of detecting them
  --threshold N      threshold in percent, 0..100
  --increment N      increment in percent, 0..100
  --ratio N|off      aspect ratio in percent, 1..100, or keep the picture's proportions
  --charmap FILE     character map to use instead of ./charmap.txt (with --set:
                     for every set instead of its own map)
  --learn DIR        learn the reference set from DIR/1.bmp .. DIR/40.bmp (or .png,
                     .pgm, .ppm, .pbm) before the run; learned slots replace those
                     of the folder's set
  --save BASE        with --learn: save the learned set as BASE.PCP and BASE.PCT,
                     its settings as BASE.set.ini and the run's character map (if
                     one was loaded) as BASE.charmap.txt
  --set BASE         recognise with the set BASE.PCP (".pcp" may be left out;
                     taken against the start folder) or the sets of a library
                     file NAME.sets instead of the folder's set; repeat for
                     several sets. Each is scored as alone, the three best
                     taken over all (ties: the earlier set, then the lower
                     number). A set applies its stored settings (BASE.set.ini)
                     unless an image option or --tally overrides them, and
                     answers with its own map (BASE.charmap.txt), else the run's.
                     One set writes result.txt as the folder's set would; with
                     several, its number is 40 x (set position - 1) + pattern
                     number, and result.out without a map holds the last digit
                     of the pattern's number within its set
  --chars CHARS      only references whose character (the set's map, else the
                     run's) is among CHARS are candidates, e.g. 0-9 or A-Z0-9
  --jobs N           recognise up to N pictures at once (default: one per core);
                     every file and line written is the same as with --jobs 1
  --report FILE      also write a tab-separated file with the three best results
                     and their scores for every recognised image (with --batch the
                     row is the thumbnail row, counted on across sub-folders);
                     with --set, each of the three as set, no, char and score
  -h, --help         show this text
  -V, --version      show the version

Exit status:
  0  the run did its work
  1  a picture or a file could not be read or written (the message names it
     and the system's reason), a named set was not found, the run found no
     picture, --learn found nothing to learn, or the window could not start
     (no display, or one that does not answer)
  2  the folder to recognise or learn from does not exist (or is no folder)
  3  unknown option or bad value, a --report that names a file the run writes,
     --set with --learn or with a <set name>, --chars without any character
     map, or no window built in
)";
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& home,
                   const std::string& startFolder, std::ostream& out, std::ostream& err) {
  return ReportFailures(err, "Try 'morvik --help'.", [&]() -> int {
    const Options o = ParseOptions(args);
    if (o.help) {
      out << HelpText();
      return kExitOk;
    }
    if (o.version) {
      out << "morvik " << MORVIK_VERSION << "\n";
      return kExitOk;
    }
    if (o.positional.empty() && !o.learn) throw UsageError{"no folder given"};
    return Run(o, home, startFolder, err);
  });
}

}  // namespace morvik
