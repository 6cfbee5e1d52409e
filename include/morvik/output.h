// The output formats of `morvik --read --format` as renderers over readings: text, TSV and
// JSON, byte for byte as the command line prints them (see `morvik --read --help`).
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "morvik/reading.h"

namespace morvik {

enum class OutputFormat { kText, kTsv, kJson };

// Prints readings one after another: text with "==> NAME <==" before each when there are
// several (a blank line between), TSV under one header, JSON as one array. Finish ends the
// output (the JSON array's bracket; the header or "[]" when nothing was printed). A printer
// writes to one stream and is used by one thread.
class OutputPrinter {
 public:
  OutputPrinter(std::ostream& out, OutputFormat format, bool severalPictures);
  ~OutputPrinter();
  void Print(const std::string& name, const Reading& reading);
  void Finish();

 private:
  struct Engine;
  std::unique_ptr<Engine> engine_;
};

// One picture as `morvik --read --format F NAME` prints it alone.
std::string Render(const Reading& reading, OutputFormat format, const std::string& name);

}  // namespace morvik
