// The stock library that comes with the program: reference sets learned from common
// typefaces, found beside the executable in the build tree or under the installed data.
#pragma once

#include <string>
#include <vector>

namespace morvik {

// Where the stock library is looked for, in order: "<exeFolder>/stock/stock.sets" (the build
// tree), then "<exeFolder>/../share/morvik/stock/stock.sets" (an installed program).
std::vector<std::string> StockLibraryPlaces(const std::string& exeFolder);

// The first of StockLibraryPlaces that is a regular file; "" when none is. Where the packed
// library "stock.pack" lies beside the one found, that instead: it holds the same sets.
std::string FindStockLibrary(const std::string& exeFolder);

}  // namespace morvik
