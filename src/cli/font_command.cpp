#include "cli/font_command.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "cli/options.h"
#include "cli/usage.h"
#include "morvik/files.h"
#include "morvik/learning.h"

namespace morvik {

namespace {

struct FontCommand {
  std::string Font, Chars, Save;
  std::vector<int> Sizes;
  bool Help = false;
};

const char kUsage[] = "usage: morvik --learn-font FILE --chars CHARS [--size PX]... --save BASE";

// A whole number 1..kMaxCapHeight, or a list of them separated by commas.
void ParseSizes(const std::string& text, std::vector<int>& sizes) {
  std::size_t pos = 0;
  do {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const std::string item = text.substr(pos, end - pos);
    char* stop = nullptr;
    errno = 0;
    const long v = std::strtol(item.c_str(), &stop, 10);
    if (item.empty() || *stop != '\0' || errno != 0 || v < 1 || v > kMaxCapHeight ||
        !std::isdigit(static_cast<unsigned char>(item[0])))
      throw UsageError{"--size takes pixel sizes 1 to " + std::to_string(kMaxCapHeight) +
                       ", not \"" + text + "\""};
    sizes.push_back(static_cast<int>(v));
    pos = end + 1;
  } while (pos <= text.size());
}

FontCommand Parse(const std::vector<std::string>& args) {
  static const std::vector<option> kOptions = OptionTable(
      {{"learn-font", required_argument, nullptr, 'f'}, {"size", required_argument, nullptr, 's'}},
      {kOptChars, kOptSave, kOptHelp});
  std::vector<std::string> copies(args);
  std::vector<char*> argv{const_cast<char*>("morvik")};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  FontCommand c;
  SharedValues shared;
  optind = 0;  // getopt keeps its place between calls; 0 starts it afresh
  opterr = 0;
  int opt;
  while ((opt = getopt_long(static_cast<int>(argv.size() - 1), argv.data(), "+:", kOptions.data(),
                            nullptr)) != -1) {
    if (opt != ':' && opt != '?' && ApplySharedOption(shared, opt, optarg ? optarg : "")) continue;
    switch (opt) {
      case 'f':
        c.Font = optarg;
        break;
      case 's':
        ParseSizes(optarg, c.Sizes);
        break;
      default: {  // ':' a value missing, '?' an option unknown; argv[optind - 1] is it
        const std::string arg = argv[static_cast<std::size_t>(std::max(optind - 1, 1))];
        throw UsageError{opt == ':' ? "option " + arg + " needs a value" : "unknown option " + arg};
      }
    }
  }
  if (optind < static_cast<int>(argv.size()) - 1)
    throw UsageError{"unexpected argument \"" +
                     std::string(argv[static_cast<std::size_t>(optind)]) + "\""};
  c.Chars = shared.Chars.value_or("");
  c.Save = shared.Save.value_or("");
  c.Help = shared.Help;
  if (c.Help) return c;
  if (c.Font.empty()) throw UsageError{"--learn-font needs a font file"};
  if (c.Chars.empty()) throw UsageError{"--learn-font needs --chars"};
  if (c.Save.empty()) throw UsageError{"--learn-font needs --save BASE"};
  CheckSetName("--save", c.Save);
  return c;
}

}  // namespace

bool IsFontCommand(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) {
    return a == "--learn-font" || a.rfind("--learn-font=", 0) == 0;
  });
}

int RunFontCommand(const std::vector<std::string>& args, const std::string& startFolder,
                   std::ostream& out, std::ostream& err) {
  return ReportFailures(err, kUsage, [&]() -> int {
    const FontCommand c = Parse(args);
    if (c.Help) {
      out << kUsage << "\n"
          << "Learns the characters (ranges such as 0-9A-Z) from the font file at each size (cap\n"
          << "height in pixels, default " << kDefaultCapHeight
          << "; repeat --size or give a list 24,48).\n"
          << "Up to 40 references are saved as BASE.PCP with its map, settings and detail; more\n"
          << "as BASE-1, BASE-2, ... listed in the library file BASE.sets.\n";
      return kExitOk;
    }
    CheckCharsOption(c.Chars, CharsUse::kFont);  // a usage fault, found before the font is read
    const std::vector<int> sizes = c.Sizes.empty() ? std::vector<int>{kDefaultCapHeight} : c.Sizes;
    const std::string font = JoinPath(startFolder, c.Font);
    const LearnedSets sets = LearnFont(font, c.Chars, sizes);
    const int references = sets.References();
    const std::string base = JoinPath(startFolder, c.Save);
    CheckSaveSparesInputs(sets.Files(base), {font}, "the font");
    const std::string saved = sets.Save(base);
    out << "learned " << references << (references == 1 ? " reference in " : " references in ")
        << sets.SetCount() << (sets.SetCount() == 1 ? " set: " : " sets: ") << saved << "\n";
    return kExitOk;
  });
}

}  // namespace morvik
