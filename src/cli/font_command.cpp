#include "cli/font_command.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "cli/usage.h"
#include "core/error.h"
#include "core/file_names.h"
#include "fonts/char_list.h"
#include "fonts/render.h"
#include "learning/font_learning.h"

namespace morvik {

namespace {

struct FontCommand {
  std::string Font, Chars, Save;
  std::vector<int> Sizes;
  bool Help = false;
};

const char kUsage[] = "usage: morvik --learn-font FILE --chars CHARS [--size PX]... --save BASE";

// A whole number 1..kMaxRenderSize, or a list of them separated by commas.
void ParseSizes(const std::string& text, std::vector<int>& sizes) {
  std::size_t pos = 0;
  do {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const std::string item = text.substr(pos, end - pos);
    char* stop = nullptr;
    errno = 0;
    const long v = std::strtol(item.c_str(), &stop, 10);
    if (item.empty() || *stop != '\0' || errno != 0 || v < 1 || v > kMaxRenderSize ||
        !std::isdigit(static_cast<unsigned char>(item[0])))
      throw UsageError{"--size takes pixel sizes 1 to " + std::to_string(kMaxRenderSize) +
                       ", not \"" + text + "\""};
    sizes.push_back(static_cast<int>(v));
    pos = end + 1;
  } while (pos <= text.size());
}

FontCommand Parse(const std::vector<std::string>& args) {
  static const option kOptions[] = {{"learn-font", required_argument, nullptr, 'f'},
                                    {"chars", required_argument, nullptr, 'c'},
                                    {"size", required_argument, nullptr, 's'},
                                    {"save", required_argument, nullptr, 'o'},
                                    {"help", no_argument, nullptr, 'h'},
                                    {nullptr, 0, nullptr, 0}};
  std::vector<std::string> copies(args);
  std::vector<char*> argv{const_cast<char*>("morvik")};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  FontCommand c;
  optind = 0;  // getopt keeps its place between calls; 0 starts it afresh
  opterr = 0;
  int opt;
  while ((opt = getopt_long(static_cast<int>(argv.size() - 1), argv.data(), "+:", kOptions,
                            nullptr)) != -1) {
    switch (opt) {
      case 'f':
        c.Font = optarg;
        break;
      case 'c':
        c.Chars = optarg;
        break;
      case 's':
        ParseSizes(optarg, c.Sizes);
        break;
      case 'o':
        c.Save = optarg;
        break;
      case 'h':
        c.Help = true;
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
          << "height in pixels, default " << kDefaultLearnCapHeight
          << "; repeat --size or give a list 24,48).\n"
          << "Up to 40 references are saved as BASE.PCP with its map, settings and detail; more\n"
          << "as BASE-1, BASE-2, ... listed in the library file BASE.sets.\n";
      return kExitOk;
    }
    ParseCharList(c.Chars);  // a bad list is a usage fault, found before the font is read
    FontLearnOptions options;
    if (!c.Sizes.empty()) options.CapHeights = c.Sizes;
    std::vector<LearnedSet> sets = LearnFromFont(JoinPath(startFolder, c.Font), c.Chars, options);
    int references = 0;
    for (const LearnedSet& s : sets) references += s.Count;
    const std::string saved = SaveLearnedSets(JoinPath(startFolder, c.Save), sets);
    out << "learned " << references << (references == 1 ? " reference in " : " references in ")
        << sets.size() << (sets.size() == 1 ? " set: " : " sets: ") << saved << "\n";
    return kExitOk;
  });
}

}  // namespace morvik
