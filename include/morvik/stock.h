// Where the stock library lies for code that is not the morvik program itself: a language
// binding or a plug-in whose own file, not the running executable, lies in the build tree or
// under the install prefix beside the stock library.
//
//   const std::string found = morvik::FindStockLibraryNear("/usr/lib/python3/dist-packages/m");
//   const morvik::Library stock = found.empty() ? morvik::Library::Stock()
//                                               : morvik::Library::Open(found);
#pragma once

#include <string>

namespace morvik {

// The library file of the first stock library found as the program would find it beside
// itself (its stock/ folder, or ../share/morvik/stock; the packed library where there is
// one) from folder or any folder above it, nearest first; "" when there is none.
std::string FindStockLibraryNear(const std::string& folder);

}  // namespace morvik
