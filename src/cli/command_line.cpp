#include "cli/command_line.h"

#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/options.h"
#include "morvik/files.h"
#include "morvik/library.h"
#include "morvik/runs.h"

namespace morvik {

namespace {

namespace fs = std::filesystem;

struct Options {
  std::vector<std::string> positional;
  bool dynamic = false, batch = false;
  std::optional<std::string> learn, report;
  SharedValues shared;  // image options, tally, --set, --charmap, --chars, --save, --help
  bool version = false;
};

enum OptionId {
  kVersion = 'V',
  kDynamic = 256,
  kBatch,
  kLearn,
  kReport,
};

const std::vector<option> kLongOptions = OptionTable(
    {
        {"version", no_argument, nullptr, kVersion},
        {"dynamic", no_argument, nullptr, kDynamic},
        {"batch", no_argument, nullptr, kBatch},
        {"learn", required_argument, nullptr, kLearn},
        {"report", required_argument, nullptr, kReport},
    },
    {kOptHelp, kOptBlack, kOptCrop, kOptNoAuto, kOptCharmap, kOptSave, kOptTally, kOptThreshold,
     kOptIncrement, kOptRatio, kOptSet, kOptChars, kOptJobs});

// The option as typed ("--tally=x" as "--tally"), for messages.
std::string OptionName(const char* typed) {
  const std::string a = typed;
  return a.substr(0, a.find('='));
}

void ApplyOption(Options& o, int id, const char* value) {
  const std::string v = value ? value : "";
  if (ApplySharedOption(o.shared, id, v)) return;
  switch (id) {
    case kVersion:
      o.version = true;
      break;
    case kDynamic:
      o.dynamic = true;
      break;
    case kBatch:
      o.batch = true;
      break;
    case kLearn:
      o.learn = v;
      break;
    case kReport:
      o.report = v;
      break;
    default:
      break;
  }
}

// Sets named with --set replace the folder's set and are not learned into.
void CheckSetOptions(const Options& o) {
  if (o.shared.Sets.empty()) return;
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
    const int id = getopt_long(argc, argv.data(), ":hV", kLongOptions.data(), nullptr);
    if (id == -1) break;
    const std::string typed = OptionName(argv[static_cast<std::size_t>(optind) - 1]);
    if (id == '?') {
      throw UsageError{"unknown option " +
                       (optopt != 0 ? std::string("-") + static_cast<char>(optopt) : typed)};
    }
    if (id == ':') throw UsageError{typed + " needs a value"};
    ApplyOption(o, id, optarg);
  }
  for (int k = optind; k < argc; ++k) o.positional.push_back(argv[static_cast<std::size_t>(k)]);
  CheckCharsOption(o.shared.Chars, CharsUse::kAnswer);
  if (o.shared.Save && !o.learn) throw UsageError{"--save goes with --learn"};
  if (o.shared.Save) CheckSetName("--save", *o.shared.Save);
  CheckSetOptions(o);
  return o;
}

// Shows the notices and, on a terminal, the progress of a run; the command line shows
// nothing else.
class CommandLineListener : public RunListener {
 public:
  explicit CommandLineListener(std::ostream& err) : err_(err) {}

  void Notice(const std::string& text) override { err_ << "morvik: " << text << "\n"; }

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
  std::ostream& err_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void Diagnose(std::ostream& err, const std::string& text) {
  err << "morvik: " << text << "\n";
}

// ./charmap.txt as the window reads it (a bad line is reported, the entries before it stay);
// then the map of --charmap, which must hold what it claims or the run does not start.
void LoadCharacterMaps(const Options& o, const std::string& start, FolderSession& session,
                       std::ostream& err) {
  if (const std::string problem = session.LoadWindowCharacterMap(JoinPath(start, "charmap.txt"));
      !problem.empty())
    Diagnose(err, problem);
  if (o.shared.Charmap) session.LoadCharacterMap(JoinPath(start, *o.shared.Charmap));
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
               const std::string& home, FolderSession& session) {
  if (!o.shared.Sets.empty()) {  // the sets are named; a character after the folder is compared
    if (o.positional.size() > 1) session.CompareWith(o.positional[1][0]);
    return;
  }
  if (o.positional.size() == 1) {
    const SetSearch set = FindSet("default.pcp", {folder});
    if (!set.File.empty()) session.AddReferences(set.File, "default");
    return;
  }
  const std::string& name = o.positional[1];
  const SetSearch set = FindSet(name, {folder, start, home});
  if (!set.File.empty()) {
    session.AddReferences(set.File, name);
  } else if (name.size() == 1) {
    session.CompareWith(name[0]);
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

// Every file --learn may take a reference from: "<n>.bmp" and its stand-ins, n 1..40, in the
// folder found in any case.
std::vector<std::string> LearnablePictures(const std::string& folder) {
  std::vector<std::string> files;
  const std::string found = ResolveFileName(folder);
  for (int n = 1; n <= 40; ++n)
    for (const char* ext : {".bmp", ".png", ".pgm", ".ppm", ".pbm"})
      files.push_back(JoinPath(found, std::to_string(n) + ext));
  return files;
}

// --learn and --save. Returns the exit status, kExitOk to go on.
int Learn(const Options& o, const std::string& start, FolderSession& session, RunListener& listener,
          std::ostream& err) {
  const std::string folder = o.learn->empty() ? "" : JoinPath(start, *o.learn);
  if (const std::string problem = FolderProblem(folder); !problem.empty()) {
    Diagnose(err, problem + ": " + folder);
    return kExitFolderMissing;
  }
  // Nothing learned is nothing to save: a set saved now would be a copy of the old one, or
  // empty, under the name of a set that was meant to be new.
  if (session.Learn(folder, listener).empty()) {
    Diagnose(err,
             folder + ": no pictures 1.bmp to 40.bmp (or .png, .pgm, .ppm, .pbm) to learn from");
    return kExitFailed;
  }
  if (!o.shared.Save) return kExitOk;
  const std::string base = JoinPath(start, *o.shared.Save);
  const std::vector<std::string> failed = session.SaveSet(base);
  const std::string references = SetFileNames(base, false).front();
  for (const std::string& file : failed)
    Diagnose(err,
             file + (file == references ? ": Error writing patterns" : ": Error writing test pic"));
  return failed.empty() ? kExitOk : kExitFailed;
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
  if (o.shared.Save) files = SetFileNames(JoinPath(start, *o.shared.Save), false);
  if (folder.empty()) return files;
  for (std::string& file : RunResultFiles(folder, o.batch)) files.push_back(std::move(file));
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
    if (const std::string problem = FolderProblem(folder); !problem.empty()) {
      Diagnose(err, problem + ": " + folder);
      return kExitFolderMissing;
    }
  }
  if (const std::string clash = ReportClash(o, start, folder); !clash.empty())
    throw UsageError{"--report " + *o.report + ": the run itself writes " + clash};
  if (o.learn && !o.learn->empty() && o.shared.Save)
    CheckSaveSparesInputs(SetFileNames(JoinPath(start, *o.shared.Save), false),
                          LearnablePictures(JoinPath(start, *o.learn)), "a picture");

  FolderSession session;
  const bool dynamic = session.ApplyHomeSettings(home) || o.dynamic;
  LoadCharacterMaps(o, start, session, err);
  session.Override(o.shared.Sampling, o.shared.Black);
  CommandLineListener listener(err);

  // The folder's own set comes first, so that learning (which never clears a slot) has the
  // last word over the slots it learns.
  if (!o.positional.empty()) ChooseSet(o, folder, start, home, session);
  if (o.learn) {
    if (const int status = Learn(o, start, session, listener, err); status != kExitOk)
      return status;
  }
  if (o.positional.empty()) return kExitOk;

  SessionRunSettings run;
  run.Sets = o.shared.Sets;
  run.SetsFolder = start;
  if (o.shared.Chars) run.Chars = *o.shared.Chars;
  run.DynamicNames = dynamic;
  run.Batch = o.batch;
  run.Jobs = o.shared.Jobs;
  run.ShownRoot = o.positional[0];  // the batch report names the root as typed
  if (o.report) run.Report = JoinPath(start, *o.report);
  const RunSummary result = session.Recognize(folder, run, listener);
  return RunStatus(result.Failed, result.Pictures, folder, o.batch, err);
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
)" +
         SharedHelp({kOptTally, kOptBlack, kOptCrop, kOptNoAuto, kOptThreshold, kOptIncrement,
                     kOptRatio}) +
         R"(  --charmap FILE     character map to use instead of ./charmap.txt (with --set:
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
    if (o.shared.Help) {
      out << HelpText();
      return kExitOk;
    }
    if (o.version) {
      out << "morvik " << Version() << "\n";
      return kExitOk;
    }
    if (o.positional.empty() && !o.learn) throw UsageError{"no folder given"};
    return Run(o, home, startFolder, err);
  });
}

}  // namespace morvik
