// The folder and batch runs of numbered pictures: "<row>_<column>.bmp" (or the same name as
// PNG, PGM, PPM or PBM) recognised into "result.txt" and "result.out" beside them, byte for
// byte as `morvik FOLDER` writes them; a batch run does so for every sub-folder of a root and
// writes "batchresult.out" (and, against "compare.txt", "batchresult.txt").
//
//   morvik::FolderRunSettings s;
//   s.Sets = {"digits"};
//   const morvik::RunSummary done = morvik::RecognizeFolderRun("patterns", s);
//
// The runs read no settings file and no charmap.txt: what the command line takes from
// morvik.ini and the start folder is given here. Thread-safety: the calls keep no state;
// runs of one folder at once take turns putting their result files in place.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"
#include "morvik/morvik.h"
#include "morvik/settings.h"

namespace morvik {

struct FolderRunSettings {
  RecognizerOptions Image;  // the run's image settings and tally (those of a fresh install)
  // The references: the set BASE (BASE.PCP, ".PCP" typed or not); "" for the folder's own
  // "default.pcp" where it has one.
  std::string Set;
  // Sets named for the run instead (--set; library files NAME.sets too), ranked together,
  // each sampled with its stored settings over Image and answering with its own map.
  std::vector<std::string> Sets;
  std::string CharacterMap;   // a map file for every answer (--charmap); "" for none
  std::string Chars;          // answer only with these (--chars); needs a map
  bool DynamicNames = false;  // rows and columns 0..10 (--dynamic)
  std::string Report;         // also a tab-separated line per picture into this file (--report)
};

struct RunSummary {
  int Pictures = 0;  // found, read or not; 0 when the folder held none
  // A message naming each picture that could not be read: it is written as a blank one
  // (pattern 0, score 0) and the run goes on, as the command line's does before exiting 1.
  std::vector<std::string> Failed;
};

// Recognises the folder's pictures. Throws Error: kNotFound naming a missing folder, set or
// map; kBadData or kCannotRead for a set or map that cannot be used; kUsage for Chars
// without any map, or bad Image values; kCannotWrite naming a result file or the report
// that could not be written.
RunSummary RecognizeFolderRun(const std::string& folder, const FolderRunSettings& settings = {});

// The batch run over the sub-folders of root (DynamicNames does not apply: a batch reads
// rows and columns 0..10). Throws as RecognizeFolderRun.
RunSummary RecognizeBatchRun(const std::string& root, const FolderRunSettings& settings = {});

// The files a run of folder writes besides a report: its result files, and with batch those
// of the batch and of every sub-folder a batch run would recognise.
std::vector<std::string> RunResultFiles(const std::string& folder, bool batch);

// What a run tells as it goes; the calls come on the thread that started the run.
class RunListener {
 public:
  virtual ~RunListener() = default;
  // Something the user should know that does not stop the run ("<file>: <what happened>").
  virtual void Notice(const std::string& /*text*/) {}
  virtual void Progress(const std::string& /*what*/, int /*done*/, int /*total*/) {}
};

// How a FolderSession runs a folder or a batch.
struct SessionRunSettings {
  // Sets named for the run instead of the session's references (library files NAME.sets
  // too), taken against SetsFolder and named relative to it where they lie in it.
  std::vector<std::string> Sets;
  std::string SetsFolder;
  std::string Chars;          // answer only with these; needs a map
  bool DynamicNames = false;  // rows and columns 0..10 (a folder run)
  bool Batch = false;         // the sub-folders of the folder, as RecognizeBatchRun
  std::string ShownRoot;      // the root as the batch's files name it; "" for the folder
  std::string Report;         // also a tab-separated line per picture into this file
  unsigned Jobs = 1;          // threads recognising pictures (0: one a core); files as with 1
};

// The session of the folder runs built step by step, as `morvik FOLDER [SET]` builds it: the
// window's stored settings, then the run's maps, image settings and references, learning
// over them, saving them, and runs of folders. Used by one thread at a time.
class FolderSession {
 public:
  explicit FolderSession(const RecognizerOptions& image = {});
  ~FolderSession();
  FolderSession(FolderSession&&) noexcept;
  FolderSession& operator=(FolderSession&&) noexcept;

  // What the window left in "<home>/morvik.ini": tally, aspect ratio, and the references of
  // the set last used, read as far as they can be. Returns whether dynamic naming is on.
  bool ApplyHomeSettings(const std::string& home);

  // Image settings and tally given for this run over the session's; for sets named in a run
  // they also win over the sets' stored settings. black: dark characters (only ever on).
  void Override(const SamplingOverrides& given, bool black);

  // A map as the window reads "charmap.txt": a bad line ends it, the entries before it stay.
  // A missing file is no map. Returns the problem ("" when none) for the caller to report.
  std::string LoadWindowCharacterMap(const std::string& path);

  // A map that must hold what it claims, over the window's; it also answers for every set
  // named in a run instead of their own. Throws Error naming the file (kNotFound, kBadData).
  void LoadCharacterMap(const std::string& path);

  // Compare mode: with a map, result.out holds the score where c was recognised, N elsewhere.
  void CompareWith(char c);

  // The references of a set file read over the session's: 40 slots, each replaced. Throws
  // Error kCannotRead naming a file that cannot be read. name names the references in the
  // answers of a run with Chars and no Sets ("default" when it is never given).
  void AddReferences(const std::string& setFile, const std::string& name);

  // Learns references n from "<folder>/<n>.bmp" (or PNG, PGM, PPM, PBM), n 1..40, over the
  // session's: returns the numbers learned. Throws Error kNotFound for a missing folder.
  std::vector<int> Learn(const std::string& folder, RunListener& listener);

  // Saves the references as BASE.PCP and BASE.PCT, then the image settings and tally as
  // BASE.set.ini and a map loaded for the session as BASE.charmap.txt. Returns the set files
  // that could not be written (the others are); throws Error for the settings and map.
  std::vector<std::string> SaveSet(const std::string& base);

  // Recognises the folder's pictures (or with settings.Batch the root's sub-folders) into
  // their result files. Throws Error: kNotFound naming a missing set or map, kBadData or
  // kCannotRead for one that cannot be used, kUsage for Chars without any map,
  // kCannotWrite naming a file that cannot be written. A missing folder or root: nothing
  // written, none recognised.
  RunSummary Recognize(const std::string& folder, const SessionRunSettings& settings,
                       RunListener& listener);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace morvik
