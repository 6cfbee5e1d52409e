// Finding the picture of a numbered cell of a run when it is not stored as a BMP.
#pragma once

#include <string>

namespace morvik {

// bmpName itself when it names a regular file; otherwise the first regular file among the
// same name with ".png", ".pgm", ".ppm" and ".pbm" in place of its extension (the last dot
// after the last '/'; appended when there is none); otherwise "". Folders and other
// non-regular files never count.
std::string FindNumberedPicture(const std::string& bmpName);

}  // namespace morvik
