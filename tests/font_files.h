// Font files of the Debian font packages the rendering and segmentation tests draw with.
#pragma once

#include <unistd.h>
#include <string>

namespace morvik::test {

inline const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const std::string kDejaVuSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
inline const std::string kDejaVuSansMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
inline const std::string kNimbusSansType1 =
    "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1";
inline const std::string kNimbusRomanOtf =
    "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf";
inline const std::string kFreeMono = "/usr/share/fonts/truetype/freefont/FreeMono.ttf";
inline const std::string kLiberationSans =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

inline bool FontInstalled(const std::string& path) {
  return access(path.c_str(), R_OK) == 0;
}

}  // namespace morvik::test
