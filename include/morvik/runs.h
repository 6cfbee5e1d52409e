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

#include <string>
#include <vector>

#include "morvik/error.h"
#include "morvik/morvik.h"

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

}  // namespace morvik
