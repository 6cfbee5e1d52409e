#include "app/command_line.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/settings.h"
#include "core/error.h"
#include "core/file_names.h"
#include "core/number_format.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "runs/text_file.h"
#include "runs/workspace.h"

namespace morvik {

namespace {

struct Options {
  std::vector<std::string> positional;
  bool dynamic = false, black = false, crop = false, noAuto = false, batch = false;
  std::optional<std::string> tally;
  std::optional<int> threshold, increment, ratio;
  bool ratioOff = false;
  std::optional<std::string> charmap, learn, save, report;
  bool help = false, version = false;
};

struct UsageError {
  std::string message;
};

int ParseNumber(const std::string& option, const std::string& text, int low, int high) {
  long v = 0;
  if (!ParseControlInteger(text, v) || v < low || v > high)
    throw UsageError{option + " needs a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\""};
  return static_cast<int>(v);
}

// Options that take no value, and options whose value is a file or folder name.
const std::pair<const char*, bool Options::*> kFlags[] = {
    {"--help", &Options::help},       {"-h", &Options::help},
    {"--version", &Options::version}, {"--dynamic", &Options::dynamic},
    {"--black", &Options::black},     {"--crop", &Options::crop},
    {"--no-auto", &Options::noAuto},  {"--batch", &Options::batch}};
const std::pair<const char*, std::optional<std::string> Options::*> kNames[] = {
    {"--charmap", &Options::charmap},
    {"--learn", &Options::learn},
    {"--save", &Options::save},
    {"--report", &Options::report}};
const std::pair<const char*, std::optional<int> Options::*> kPercentages[] = {
    {"--threshold", &Options::threshold}, {"--increment", &Options::increment}};

// Applies option a (taking its value from args[k + 1] when it has one); false when a is no
// option of ours.
bool ParseOption(Options& o, const std::vector<std::string>& args, std::size_t& k) {
  const std::string& a = args[k];
  auto value = [&]() -> std::string {
    if (k + 1 >= args.size()) throw UsageError{a + " needs a value"};
    return args[++k];
  };
  for (const auto& [name, flag] : kFlags)
    if (a == name) return o.*flag = true;
  for (const auto& [name, field] : kNames)
    if (a == name) return (o.*field = value()), true;
  for (const auto& [name, field] : kPercentages)
    if (a == name) return (o.*field = ParseNumber(a, value(), 0, 100)), true;
  if (a == "--tally") return (o.tally = std::to_string(ParseNumber(a, value(), 0, 100))), true;
  if (a == "--ratio") {
    const std::string v = value();
    if (v == "off") return o.ratioOff = true;
    return (o.ratio = ParseNumber(a, v, 1, 100)), true;
  }
  return false;
}

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t k = 0; k < args.size(); ++k) {
    if (ParseOption(o, args, k)) continue;
    const std::string& a = args[k];
    if (a.size() > 1 && a[0] == '-') throw UsageError{"unknown option " + a};
    o.positional.push_back(a);
  }
  if (o.save && !o.learn) throw UsageError{"--save goes with --learn"};
  return o;
}

// Writes the report lines and the progress of a run; the command line shows nothing else.
class CommandLineView : public WorkspaceView {
 public:
  CommandLineView(std::ostream& err, const CharMapState& chars) : err_(err), chars_(chars) {}

  void OpenReport(const std::string& path) {
    report_ = std::make_unique<TextFile>(path);
    report_->Write("file\trow\tcolumn");
    for (int r = 1; r <= 3; ++r) {
      const std::string n = std::to_string(r);
      report_->Write("\tno" + n + "\tchar" + n + "\tscore" + n);
    }
    report_->EndLine();
  }
  void CloseReport() {
    if (report_) report_->Close();
  }

  void ImageRecognized(const RecognizedImage& image) override {
    if (!report_) return;
    std::string line =
        image.FileName + "\t" + std::to_string(image.Row) + "\t" + std::to_string(image.Column);
    for (const TRankEntry& rank : image.TopThree) {
      const bool mapped = chars_.CharMapLoaded && rank.No != 0 && chars_.CharMap[rank.No] != 0;
      line += "\t" + std::to_string(rank.No) + "\t" +
              (mapped ? std::string(1, chars_.CharMap[rank.No]) : std::string()) + "\t" +
              FormatGeneral(rank.Score, 6);
    }
    report_->Write(line + kLineEnd);
  }

  void Message(const std::string& text) override {
    err_ << "morvik: " << text << "\n";
    ++messages;
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

  int messages = 0;

 private:
  std::ostream& err_;
  const CharMapState& chars_;
  std::unique_ptr<TextFile> report_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void ApplyOptions(const Options& o, Workspace& ws) {
  if (o.dynamic) ws.CheckBoxDynamic = true;
  if (o.tally) ws.SetEditTally(*o.tally);
  ImageSettings& s = ws.Image.Settings;
  if (o.black) s.RadioGroupCol = 1;
  if (o.crop) s.CheckBoxCrop = true;
  if (o.noAuto) s.CheckBoxAuto = false;
  if (o.threshold) s.SetSpinEditTresh(*o.threshold);
  if (o.increment) s.SetSpinEditInc(*o.increment);
  if (o.ratioOff) s.CheckBoxRatio = false;
  if (o.ratio) {
    s.CheckBoxRatio = true;
    s.SetSpinEditRatio(*o.ratio);
  }
}

// The positional form: the set of the folder ("default", or the second argument) is loaded,
// or a single character switches on compare mode.
void ChooseSet(const Options& o, const std::string& folder, Workspace& ws) {
  if (o.positional.size() == 1) {
    if (FileExists(JoinPath(folder, "default.pcp"))) ws.LoadPatternSet(JoinPath(folder, "default"));
    return;
  }
  const std::string& second = o.positional[1];
  if (FileExists(JoinPath(folder, second + ".pcp"))) {
    ws.LoadPatternSet(JoinPath(folder, second));
  } else if (second.size() == 1) {
    ws.Chars.CharCompareMode = true;
    ws.Chars.ExpectedChar = second[0];
  }
}

int Run(const Options& o, const std::string& home, const std::string& start, std::ostream& err) {
  Workspace ws(home, start);
  CommandLineView view(err, ws.Chars);
  ws.SetView(&view);
  if (const std::string problem = FormCreate(ws); !problem.empty()) err << problem << "\n";
  ApplyOptions(o, ws);
  if (o.charmap) {
    const std::string path = JoinPath(start, *o.charmap);
    if (!FileExists(path)) throw FileError(path, "character map not found");
    ws.Chars.CharMap.fill(0);
    if (const std::string problem = LoadCharMap(path, ws.Chars); !problem.empty())
      err << problem << "\n";
  }

  // Relative folders are taken against the folder the program was started in; the folder
  // stays as typed, since the batch report names the root that way.
  ws.RunFolder = start;

  // The folder's own set first, so that learning (which never clears a slot) has the last
  // word over the slots it learns.
  std::string folder;
  if (!o.positional.empty()) {
    if (!o.positional[0].empty()) folder = JoinPath(start, o.positional[0]);
    ws.EditPatternsBatch = o.positional[0];
    ChooseSet(o, folder, ws);
  }

  if (o.learn) {
    const std::string learnFolder = o.learn->empty() ? "" : JoinPath(start, *o.learn);
    if (!DirectoryExists(learnFolder)) {
      err << FolderProblem(learnFolder) << ": " << learnFolder << "\n";
      return kExitFolderMissing;
    }
    ws.EditAutoPat = learnFolder;
    const int learned = ButtonAutoPatClick(ws);
    if (learned == 0) err << learnFolder << ": no bitmaps 1.bmp to 40.bmp to learn from\n";
    if (o.save) {
      const int before = view.messages;
      ws.SavePatternSet(JoinPath(start, *o.save));
      if (view.messages != before) return kExitFailed;  // "Error writing ..." was printed
    }
  }
  if (o.positional.empty()) return kExitOk;

  if (o.report) view.OpenReport(JoinPath(start, *o.report));
  const bool found = o.batch ? ButtonRecBatchClick(ws) : ButtonRecognizeClick(ws);
  view.CloseReport();
  if (!found) {
    err << FolderProblem(folder) << ": " << folder << "\n";
    return kExitFolderMissing;
  }
  return kExitOk;
}

}  // namespace

std::string HelpText() {
  return R"(Usage: morvik <folder> [<set name> | <character>] [options]
       morvik --learn DIR [--save BASE] [<folder> ...] [options]
       morvik                      (no arguments: opens the window)

Recognises the numbered bitmaps <row>_<column>.bmp of <folder> and writes
result.txt and result.out into it. The reference set is <folder>/default.pcp
(with the folder alone) or <folder>/<set name>.pcp; where that file does not
exist, the set last used in the window.
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
  --charmap FILE     character map to use instead of ./charmap.txt
  --learn DIR        learn the reference set from DIR/1.bmp .. DIR/40.bmp before the
                     run; learned slots replace those of the folder's set
  --save BASE        with --learn: save the learned set as BASE.PCP and BASE.PCT
  --report FILE      also write a tab-separated file with the three best results
                     and their scores for every recognised image (with --batch the
                     row is the thumbnail row, counted on across sub-folders)
  --help             show this text
  --version          show the version

Exit status:
  0  the run did its work
  1  a bitmap or a file could not be read or written (the message names it)
  2  the folder to recognise or learn from does not exist
  3  unknown option or bad value
)";
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& home,
                   const std::string& startFolder, std::ostream& out, std::ostream& err) {
  Options o;
  try {
    o = ParseOptions(args);
  } catch (const UsageError& e) {
    err << "morvik: " << e.message << "\n"
        << "Try 'morvik --help'.\n";
    return kExitUsage;
  }
  if (o.help) {
    out << HelpText();
    return kExitOk;
  }
  if (o.version) {
    out << "morvik " << MORVIK_VERSION << "\n";
    return kExitOk;
  }
  if (o.positional.empty() && !o.learn) {
    err << "morvik: no folder given\n"
        << "Try 'morvik --help'.\n";
    return kExitUsage;
  }
  try {
    return Run(o, home, startFolder, err);
  } catch (const Error& e) {
    err << "morvik: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace morvik
