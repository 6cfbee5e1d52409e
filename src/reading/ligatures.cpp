#include "reading/ligatures.h"

namespace morvik {

const Ligature kLigatures[5] = {{0xFB01, '\x81', "fi"},
                                {0xFB02, '\x82', "fl"},
                                {0xFB00, '\x83', "ff"},
                                {0xFB03, '\x84', "ffi"},
                                {0xFB04, '\x85', "ffl"}};

std::string LettersOf(char c) {
  for (const Ligature& l : kLigatures)
    if (l.Code == c) return l.Letters;
  return std::string(1, c);
}

char LookAlikeLigature(char c) {
  return c == kLigatures[1].Code ? kLigatures[2].Code : '\0';
}

char ShorterLigature(char c) {
  if (c == kLigatures[0].Code || c == kLigatures[1].Code) return 'f';
  return c == kLigatures[3].Code || c == kLigatures[4].Code ? kLigatures[2].Code : '\0';
}

}  // namespace morvik
