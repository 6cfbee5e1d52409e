// The stock library that comes with the program: reference sets learned from common
// typefaces, found beside the executable in the build tree or under the installed data.
#pragma once

#include <string>

namespace morvik {

// "<exeFolder>/stock/stock.sets" (the build tree), else
// "<exeFolder>/../share/morvik/stock/stock.sets" (an installed program); "" when neither is a
// regular file. Where the packed library "stock.pack" lies beside the one found, that instead:
// it holds the same sets.
std::string FindStockLibrary(const std::string& exeFolder);

}  // namespace morvik
