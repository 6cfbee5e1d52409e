// A reference library for reading whole pictures: the stock library of common typefaces, a
// set (BASE.PCP with its sidecars), a library file NAME.sets, a packed library, or several of
// them ranked together.
//
// Thread-safety: a Library is immutable once opened. Copies share the same sets, and any
// number of threads may read with one Library (or its copies) at once; each reading gets the
// same answers as it would alone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"

namespace morvik {

struct LibraryCore;  // the opened sets; internal

class Library {
 public:
  // The stock library that comes with the program: the library file $MORVIK_STOCK when that
  // is set, else the one beside the running program (its build tree's stock/ or the installed
  // share/morvik/stock), else the one installed under this library's install prefix.
  // Throws Error kNotFound when there is none, and as Open when it cannot be opened.
  static Library Stock();

  // Opens sets by name, in their order (earlier sets win ranking ties): a base name BASE
  // (BASE.PCP, ".PCP" typed or not, found in any case, with BASE.charmap.txt, BASE.set.ini
  // and BASE.detail where present), a library file NAME.sets listing base names, or a packed
  // library. characterMap, when not empty, is a map file ("<number><TAB><character>" lines)
  // that replaces every set's own. Throws Error naming the file: kNotFound for a missing
  // one, kCannotRead or kBadData for one that cannot be used, kUsage for no names, kTooLarge
  // beyond 256 sets.
  static Library Open(const std::vector<std::string>& names, const std::string& characterMap = "");
  static Library Open(const std::string& name) { return Open(std::vector<std::string>{name}); }
  // The same with names (and characterMap) taken against folder, as a user types them in
  // it: sets lying in folder are named relative to it (SetNames, the output formats).
  static Library Open(const std::vector<std::string>& names, const std::string& characterMap,
                      const std::string& folder);

  // Where the stock library of a program in programFolder is looked for, in order: its
  // build tree's "stock/stock.sets", then the installed "../share/morvik/stock/stock.sets".
  static std::vector<std::string> StockPlaces(const std::string& programFolder);
  // The first of StockPlaces that is there (its packed "stock.pack" where that lies beside
  // it); "" when none is.
  static std::string FindStock(const std::string& programFolder);
  // Where the stock library of a program in programFolder is: the name $MORVIK_STOCK holds
  // when that is set (the only place tried, whether it is there or not), else FindStock.
  // Path is "" when there is none; Tried lists the places looked at, for saying so. The one
  // reader of $MORVIK_STOCK: Stock() and the command line both ask here.
  struct StockLocation {
    std::string Path;
    std::vector<std::string> Tried;
  };
  static StockLocation LocateStock(const std::string& programFolder);

  // The sets' base names as opened, in ranking order; a candidate's SetIndex indexes these.
  std::vector<std::string> SetNames() const;

  // Internal: the opened sets, for the calls that read with them.
  const std::shared_ptr<const LibraryCore>& Core() const { return core_; }

 private:
  friend Library JoinLibraries(const std::vector<Library>& libraries);  // morvik/teaching.h
  explicit Library(std::shared_ptr<const LibraryCore> core) : core_(std::move(core)) {}
  std::shared_ptr<const LibraryCore> core_;
};

// A set named with its ".PCP" extension, in any case, as its base name; any other name as
// it is.
std::string SetBaseName(const std::string& name);

// The files of the set saved as base: BASE.PCP, BASE.PCT, BASE.set.ini, BASE.charmap.txt
// and, withDetail, BASE.detail (which the folder runs' --learn --save never write).
std::vector<std::string> SetFileNames(const std::string& base, bool withDetail);

// Where a set a user names is found: "<folder>/<name>.pcp" ("<folder>/<name>" when the name
// ends in ".pcp"), in any case, in each folder in turn. The first entry found is taken even
// when it is no regular file, so that opening it reports it.
struct SetSearch {
  std::string File;                // the ".PCP" entry found, as on disk; "" when none
  std::vector<std::string> Tried;  // every file looked for, in order
};
SetSearch FindSet(const std::string& name, const std::vector<std::string>& folders);

}  // namespace morvik
