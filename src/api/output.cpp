// The public renderers over the engine's printer (morvik/output.h).
#include <sstream>

#include "api/reading_source.h"
#include "morvik/output.h"
#include "output/reading_format.h"

namespace morvik {

struct OutputPrinter::Engine {
  ReadingPrinter Printer;
};

namespace {

ReadingFormat EngineFormat(OutputFormat format) {
  switch (format) {
    case OutputFormat::kTsv:
      return ReadingFormat::Tsv;
    case OutputFormat::kJson:
      return ReadingFormat::Json;
    default:
      return ReadingFormat::Text;
  }
}

}  // namespace

OutputPrinter::OutputPrinter(std::ostream& out, OutputFormat format, bool severalPictures)
    : engine_(new Engine{ReadingPrinter(out, EngineFormat(format), severalPictures)}) {}

OutputPrinter::~OutputPrinter() = default;

void OutputPrinter::Print(const std::string& name, const Reading& reading) {
  if (!reading.Source)
    throw Error("a reading made by the reading calls is needed", ErrorKind::kUsage);
  engine_->Printer.Print(name, reading.Source->Engine, reading.Source->Library->Sets);
}

void OutputPrinter::Finish() {
  engine_->Printer.Finish();
}

std::string Render(const Reading& reading, OutputFormat format, const std::string& name) {
  std::ostringstream out;
  OutputPrinter printer(out, format, false);
  printer.Print(name, reading);
  printer.Finish();
  return out.str();
}

}  // namespace morvik
