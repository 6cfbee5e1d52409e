#include "cli/read_command.h"

#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <locale>
#include <map>
#include <optional>
#include <sstream>

#include "cli/options.h"
#include "cli/usage.h"
#include "morvik/files.h"
#include "morvik/jobs.h"
#include "morvik/learning.h"
#include "morvik/library.h"
#include "morvik/output.h"
#include "morvik/output_names.h"
#include "morvik/picture.h"
#include "morvik/reading.h"

namespace morvik {

namespace {

struct PictureOptions {
  bool read = false;
  std::optional<std::string> learn, cutFolder, boxes;
  std::vector<std::string> pictures;
  OutputFormat format = OutputFormat::kText;
  double reject = 0;
  std::size_t cutLimit = kDefaultCutLimit;
  CutSettings cut;
  SharedValues shared;  // image options, tally, --set, --charmap, --chars, --save, --help
};

enum OptionId {
  kRead = 256,
  kLearnPicture,
  kFormat,
  kReject,
  kCut,
  kCutLimit,
  kBoxes,
  kGrid,
  kTable,
  kPolarity,
};

const std::vector<option> kLongOptions = OptionTable(
    {
        {"read", no_argument, nullptr, kRead},
        {"learn-picture", required_argument, nullptr, kLearnPicture},
        {"format", required_argument, nullptr, kFormat},
        {"reject", required_argument, nullptr, kReject},
        {"cut", required_argument, nullptr, kCut},
        {"cut-limit", required_argument, nullptr, kCutLimit},
        {"boxes", required_argument, nullptr, kBoxes},
        {"grid", required_argument, nullptr, kGrid},
        {"table", no_argument, nullptr, kTable},
        {"polarity", required_argument, nullptr, kPolarity},
    },
    {kOptSet, kOptCharmap, kOptChars, kOptCrop, kOptNoCrop, kOptNoAuto, kOptThreshold,
     kOptIncrement, kOptRatio, kOptTally, kOptSave, kOptJobs, kOptHelp});

bool ParseLong(const std::string& text, long& value) {
  if (text.empty() || text.size() > 12) return false;
  std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
  value = std::stol(text);
  return true;
}

double ParseScore(const std::string& text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double v = 0;
  const bool plain = !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
  if (!plain || !(in >> v) || in.peek() != EOF || v > 1)
    throw UsageError{"--reject needs a score from 0 to 1, such as 0.8, not \"" + text + "\""};
  return v;
}

CellGrid ParseGrid(const std::string& text) {
  std::vector<int> v;
  std::string field;
  std::istringstream in(text);
  const std::string problem = "--grid needs X,Y,WIDTH,HEIGHT,COLUMNS,ROWS";
  while (std::getline(in, field, ',')) {
    long n = 0;
    if (!ParseLong(field, n) || n < 0 || n > 1000000)
      throw UsageError{problem + " as whole numbers, not \"" + text + "\""};
    v.push_back(static_cast<int>(n));
  }
  if (v.size() != 6 || text.back() == ',')
    throw UsageError{problem + ", six numbers, not \"" + text + "\""};
  if (std::min({v[2], v[3], v[4], v[5]}) < 1)
    throw UsageError{"--grid: cell size and counts must be at least 1 in \"" + text + "\""};
  return CellGrid{v[0], v[1], v[2], v[3], v[4], v[5]};
}

// One of a few named values: "--format is text, tsv or json, not \"xml\"" otherwise.
template <typename T>
T Choose(const std::string& option, const std::string& value,
         std::initializer_list<std::pair<const char*, T>> choices) {
  std::string names;
  std::size_t k = 0;
  for (const auto& [name, choice] : choices) {
    if (value == name) return choice;
    if (k > 0) names += k + 1 == choices.size() ? " or " : ", ";
    names += name;
    ++k;
  }
  throw UsageError{"--" + option + " is " + names + ", not \"" + value + "\""};
}

// Options of the routes and their outputs; false for any other.
bool ApplyRouteOption(PictureOptions& o, int id, const std::string& value) {
  switch (id) {
    case kRead:
      o.read = true;
      return true;
    case kLearnPicture:
      o.learn = value;
      return true;
    case kCut:
      o.cutFolder = value;
      return true;
    case kCutLimit:
      o.cutLimit = static_cast<std::size_t>(ParseWholeOption("--cut-limit", value, 1, 1000000000));
      return true;
    case kBoxes:
      o.boxes = value;
      return true;
    case kReject:
      o.reject = ParseScore(value);
      return true;
    case kFormat:
      o.format = Choose<OutputFormat>("format", value,
                                      {{"text", OutputFormat::kText},
                                       {"tsv", OutputFormat::kTsv},
                                       {"json", OutputFormat::kJson}});
      return true;
  }
  return false;
}

// How the picture is cut.
bool ApplyCutOption(PictureOptions& o, int id, const std::string& value) {
  switch (id) {
    case kGrid:  // the last of --grid and --table counts
      o.cut.Grid = ParseGrid(value);
      o.cut.Table = false;
      return true;
    case kTable:
      o.cut.Grid.reset();
      o.cut.Table = true;
      return true;
    case kPolarity:
      o.cut.Polarity = Choose<InkPolarity>("polarity", value,
                                           {{"auto", InkPolarity::kAuto},
                                            {"dark", InkPolarity::kDark},
                                            {"light", InkPolarity::kLight}});
      return true;
  }
  return false;
}

void ApplyOption(PictureOptions& o, int id, const std::string& value) {
  if (!ApplySharedOption(o.shared, id, value) && !ApplyRouteOption(o, id, value))
    ApplyCutOption(o, id, value);
}

// getopt_long over a copy of the arguments (it reorders them); pictures may stand anywhere.
PictureOptions ParseArguments(const std::vector<std::string>& args) {
  std::vector<std::string> words{"morvik"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  PictureOptions o;
  optind = 0;  // start afresh: the parser may run more than once in a process
  opterr = 0;
  for (;;) {
    const int id = getopt_long(argc, argv.data(), ":", kLongOptions.data(), nullptr);
    if (id == -1) break;
    const std::string seen = argv[static_cast<std::size_t>(optind - 1)];
    if (id == '?') throw UsageError{"unknown option " + seen};
    if (id == ':') throw UsageError{seen + " needs a value"};
    ApplyOption(o, id, optarg ? optarg : "");
  }
  for (int k = optind; k < argc; ++k) o.pictures.push_back(argv[static_cast<std::size_t>(k)]);
  return o;
}

// An output named "" would be the start folder itself.
void CheckOutputNames(const PictureOptions& o) {
  if (o.cutFolder && o.cutFolder->empty()) throw UsageError{"--cut needs a folder, not \"\""};
  if (o.boxes && o.boxes->empty()) throw UsageError{"--boxes needs a file, not \"\""};
  if (o.shared.Save) CheckSetName("--save", *o.shared.Save);
}

void CheckCombination(const PictureOptions& o) {
  CheckOutputNames(o);
  if (o.read && o.learn) throw UsageError{"--read and --learn-picture go separately"};
  if (o.learn) {
    if (!o.shared.Chars)
      throw UsageError{"--learn-picture needs --chars CHARS naming its characters"};
    if (!o.shared.Save) throw UsageError{"--learn-picture needs --save BASE"};
    if (!o.pictures.empty()) throw UsageError{"--learn-picture takes one picture"};
    if (!o.shared.Sets.empty() || o.shared.Charmap || o.cutFolder || o.reject != 0 ||
        o.format != OutputFormat::kText)
      throw UsageError{"--set, --charmap, --cut, --reject and --format go with --read"};
    return;
  }
  if (o.shared.Save) throw UsageError{"--save goes with --learn-picture"};
  if (o.pictures.empty()) throw UsageError{"--read needs a picture (\"-\" reads standard input)"};
}

Picture LoadNamedPicture(const std::string& name, const std::string& start) {
  return name == "-" ? Picture::FromDescriptor(STDIN_FILENO, "standard input")
                     : Picture::FromFile(JoinPath(start, name));
}

// No set named and none to read with by default: where the stock library was looked for.
Error NoDefaultSets(const DefaultSets& defaults) {
  if (defaults.Tried.empty())
    return UsageError{"no reference set to read with: name one with --set BASE"};
  std::string places;
  for (const std::string& place : defaults.Tried) places += (places.empty() ? "" : ", ") + place;
  return Error("the stock library was not found (looked for " + places +
                   "); name a set to read with: --set BASE",
               ErrorKind::kNotFound);
}

// The sets of --set, taken against the start folder, else those read with by default.
Library OpenSets(const PictureOptions& o, const std::function<DefaultSets()>& defaultSets,
                 const std::string& start) {
  if (!o.shared.Sets.empty())
    return Library::Open(o.shared.Sets, o.shared.Charmap.value_or(""), start);
  const DefaultSets defaults = defaultSets();
  if (defaults.Names.empty()) throw NoDefaultSets(defaults);
  return Library::Open(defaults.Names, o.shared.Charmap.value_or(""), start);
}

// A picture as a file on disk: none for standard input.
std::optional<std::string> PicturePath(const std::string& picture, const std::string& start) {
  if (picture == "-") return std::nullopt;
  return JoinPath(start, picture);
}

// Refuses an output that is one of the pictures being read: a --boxes picture that would
// replace one, or a --cut folder that holds one (a cut removes what an earlier cut wrote).
// Each name is looked up once, however many pictures there are.
void CheckOutputsAreNotInputs(const PictureOptions& o, const std::vector<std::string>& uniques,
                              const std::string& start, const OutputNames& names) {
  std::map<FileIdentity, std::string> files, folders;
  for (const std::string& picture : o.pictures) {
    const std::optional<std::string> input = PicturePath(picture, start);
    if (!input) continue;
    if (const auto id = IdentityOf(*input)) files.emplace(*id, picture);
    if (const auto id = IdentityOf(FolderOfFile(*input))) folders.emplace(*id, picture);
  }
  for (const std::string& unique : uniques) {
    const auto box =
        o.boxes ? IdentityOf(names.File(JoinPath(start, *o.boxes), unique)) : std::nullopt;
    if (box && files.count(*box))
      throw UsageError{"--boxes would replace the picture " + files[*box] + " being read"};
    const auto cut = o.cutFolder ? IdentityOf(names.Folder(JoinPath(start, *o.cutFolder), unique))
                                 : std::nullopt;
    if (cut && folders.count(*cut))
      throw UsageError{"--cut names the folder of the picture " + folders[*cut] + " being read"};
  }
}

// What reading one picture gives: its reading, and the failure that ended it, if any (after
// the reading where writing its cut or boxes failed).
struct PictureOutcome {
  std::optional<Reading> Read;
  std::exception_ptr Failure;
};

int Read(const PictureOptions& o, const Library& library, const std::string& start,
         std::ostream& out, std::ostream& err) {
  ReadSettings settings;
  settings.Cut = o.cut;
  settings.Sampling = o.shared.Sampling;
  settings.Reject = o.reject;
  settings.Chars = o.shared.Chars.value_or("");
  const bool several = o.pictures.size() > 1;
  // One picture: its lines use the threads the pictures would have.
  if (!several) settings.Threads = o.shared.Jobs;
  OutputPrinter printer(out, o.format, several);
  OutputNames names(several);
  std::vector<std::string> uniques;
  for (const std::string& picture : o.pictures) uniques.push_back(names.Next(picture));
  CheckOutputsAreNotInputs(o, uniques, start, names);
  // Pictures are read on several threads, sharing the library; what they give is printed in
  // their order, as one thread would. Standard input is read by one thread only.
  const bool stdinNamed = std::find(o.pictures.begin(), o.pictures.end(), "-") != o.pictures.end();
  std::vector<PictureOutcome> outcomes(o.pictures.size());
  auto readOne = [&](std::size_t i) {
    PictureOutcome& outcome = outcomes[i];
    try {
      const std::string& unique = uniques[i];
      const std::string& name = o.pictures[i];
      const std::string shown = name == "-" ? "standard input" : JoinPath(start, name);
      // A file read for its text alone is read without keeping the picture as it was.
      if (name != "-" && !o.cutFolder && !o.boxes) {
        outcome.Read.emplace(ReadFile(shown, library, settings));
        return;
      }
      const Picture picture = LoadNamedPicture(name, start);
      const Reading& reading = outcome.Read.emplace(ReadPicture(picture, library, settings, shown));
      if (o.cutFolder && CutFileCount(reading) > o.cutLimit)
        throw FileError(shown,
                        "the cut would write " + std::to_string(CutFileCount(reading)) +
                            " files, more than " + std::to_string(o.cutLimit) +
                            " (--cut-limit N allows more)",
                        ErrorKind::kTooLarge);
      if (o.cutFolder)
        WriteCut(picture, reading, names.Folder(JoinPath(start, *o.cutFolder), unique));
      if (o.boxes) WriteBoxes(picture, reading, names.File(JoinPath(start, *o.boxes), unique));
    } catch (const Error&) {
      outcome.Failure = std::current_exception();
    }
  };
  int status = 0;
  RunInOrder(o.pictures.size(), stdinNamed ? 1 : o.shared.Jobs, readOne, [&](std::size_t i) {
    PictureOutcome r = std::move(outcomes[i]);
    if (r.Read) printer.Print(o.pictures[i], *r.Read);
    if (!r.Failure) return;
    try {
      std::rethrow_exception(r.Failure);
    } catch (const Error& e) {
      err << "morvik: " << e.what() << "\n";
      status = kExitFailed;
    }
  });
  printer.Finish();
  return status;
}

// Refuses a --boxes picture or a file of the set to save that is the picture to learn.
void CheckLearnOutputs(const PictureOptions& o, const std::string& start) {
  const std::optional<std::string> input = PicturePath(*o.learn, start);
  if (!input) return;
  if (o.boxes && SameFileOnDisk(JoinPath(start, *o.boxes), *input))
    throw UsageError{"--boxes would replace the picture " + *o.learn + " being learned"};
  CheckSaveSparesInputs(SetFileNames(JoinPath(start, SetBaseName(*o.shared.Save)), true), {*input},
                        "the picture");
}

void Learn(const PictureOptions& o, const std::string& start) {
  CheckLearnOutputs(o, start);
  const std::string name = *o.learn == "-" ? "standard input" : JoinPath(start, *o.learn);
  const Picture picture = LoadNamedPicture(*o.learn, start);
  LearnSettings settings;
  settings.Cut = o.cut;
  settings.Sampling = o.shared.Sampling;
  if (o.boxes) WriteBoxes(picture, o.cut, JoinPath(start, *o.boxes));
  LearnPicture(picture, *o.shared.Chars, settings, name)
      .Save(JoinPath(start, SetBaseName(*o.shared.Save)));
}

}  // namespace

bool IsPictureCommand(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--read" || a == "--learn-picture"; });
}

int RunPictureCommand(const std::vector<std::string>& args,
                      const std::function<DefaultSets()>& defaultSets,
                      const std::string& startFolder, std::ostream& out, std::ostream& err) {
  return ReportFailures(err, "Try 'morvik --read --help'.", [&]() -> int {
    const PictureOptions o = ParseArguments(args);
    if (o.shared.Help) {
      out << PictureUsageText();
      return kExitOk;
    }
    CheckCombination(o);
    // --chars as the route takes it, checked before any work.
    CheckCharsOption(o.shared.Chars, o.learn ? CharsUse::kLearnPicture : CharsUse::kAnswer);
    if (o.learn) {
      Learn(o, startFolder);
      return kExitOk;
    }
    const Library library = OpenSets(o, defaultSets, startFolder);
    return Read(o, library, startFolder, out, err);
  });
}

std::string PictureUsageText() {
  return R"(Usage: morvik --read [options] PICTURE...
       morvik --learn-picture PICTURE --chars CHARS --save BASE [options]

--read cuts each picture (BMP, PNG, PBM/PGM/PPM; "-" reads standard input, up to
1 GiB) into lines and characters, recognises every character against the
reference sets and prints the text: one line per text line, one blank between
words, "?" for a character that is rejected or whose reference names no
character. Noise (textures, lines of dots under 5 pixels) is left out. A picture
of more than 100000 characters is refused. With several pictures, a line
"==> PICTURE <==" precedes each.

--learn-picture cuts the picture the same way and learns its characters, in
reading order, as references 1..n of a new set (n at most 40). CHARS names them
in that order (ranges such as 0-9A-Z allowed; blanks ignored); their count
must equal the cut's.
The set is saved as BASE.PCP and BASE.PCT with its character map
(BASE.charmap.txt) and the image settings it was learned with (BASE.set.ini),
so that --read --set BASE needs nothing else.

Reading:
  --set BASE         a reference set BASE.PCP (".PCP" may be typed or not), or a
                     library file NAME.sets; repeat for several sets, whose three
                     best references are ranked together
  --charmap FILE     character map for every set instead of the sets' own maps
  --format F         text (default), tsv or json
                     tsv: a header line, then one row per character: picture,
                     line (from 1), index (from 0; a word space takes one, so
                     the cut file is <line>_<index>.bmp), left, top, width,
                     height, then char, set, no, score for the three best
                     references, then rejected (1 or 0)
                     json: an array with one object per picture: its name, its
                     text lines and its characters with box and best references
  --reject SCORE     a best score below SCORE (0 to 1) rejects the character
  --chars CHARS      answer only with these characters, e.g. 0-9 or A-Z0-9
  --cut DIR          also write each character as DIR/<line>_<index>.bmp (bright
                     on black; word spaces and empty cells as black pictures) for
                     the folder runs; with several pictures DIR/<picture>/...
                     DIR must be new, empty or made by an earlier cut: that cut's
                     list DIR/.morvik-cut names the files the new cut removes;
                     any other folder is refused untouched
  --cut-limit N      let one cut write up to N files (default 10000; a larger
                     cut is refused)
  --boxes FILE.png   also write the picture with the character boxes drawn; with
                     several pictures FILE-<picture>.png
  --jobs N           read up to N pictures at once, or one picture's lines on N
                     threads (default: one per core); the output is the same as
                     with --jobs 1, in the same order

Cutting (both routes):
  --grid X,Y,W,H,COLUMNS,ROWS   a fixed grid of cells W x H from (X, Y)
  --table            a table with ruling lines: each cell is cut on its own
  --polarity P       auto (default), dark (dark characters on a light ground)
                     or light (light characters on a dark ground)

Image settings (a set's stored settings are used unless these override them):
  --crop, --no-crop  crop each character to its strokes (default) or not
)" + SharedHelp({kOptNoAuto, kOptThreshold, kOptIncrement, kOptRatio, kOptTally}) +
         R"(
Output is UTF-8; --chars is read as UTF-8 (characters up to U+00FF).

Exit status:
  0  every picture was read (or the set learned and saved)
  1  a picture, set or file could not be read or written, or is not what it
     claims, the stock library was not found, the picture's characters do not
     match CHARS, or a picture or cut is beyond a limit (the message names the
     file, the line where one is at fault and the system's reason); the other
     pictures are still read
  3  unknown option or bad value (an empty --set, a --chars list that cannot
     be used), or an output that is one of the pictures
)";
}

}  // namespace morvik
