// Builds the lexicon's prepared word table (reading/word_table.h) from the system's word
// list, so that a process reading a picture maps it instead of hashing the list.
//
//   make_word_table TABLE [LIST]
//
// LIST defaults to the list the lexicon reads; a missing list gives a table of no words,
// which the program passes over for the list once one is installed.
#include <iostream>

#include "core/error.h"
#include "reading/word_table.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: make_word_table TABLE [LIST]\n";
    return 2;
  }
  try {
    morvik::WriteWordTable(argc == 3 ? argv[2] : morvik::kWordList, argv[1]);
  } catch (const morvik::Error& e) {
    std::cerr << "make_word_table: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
