// Reading whole pictures from a program: the stock library, a picture file, its text.
//
//   morvik_read <picture>...
#include <morvik/reading.h>

#include <iostream>

int main(int argc, char** argv) {
  try {
    const morvik::Library stock = morvik::Library::Stock();  // open once, share freely
    for (int k = 1; k < argc; ++k) std::cout << morvik::ReadFile(argv[k], stock).Text;
  } catch (const morvik::Error& e) {
    std::cerr << "morvik_read: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
