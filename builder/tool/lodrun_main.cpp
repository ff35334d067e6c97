// lodrun: makes setup programs from a manifest, and lists, extracts and verifies them.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "builder/tool/commands.h"

namespace {

constexpr char USAGE[] =
    "Usage: lodrun COMMAND [ARGUMENTS]\n"
    "Makes Windows setup programs from a TOML manifest, and reads them back.\n"
    "\n"
    "Commands:\n"
    "  build MANIFEST.toml   make the setup file (and its volumes) that the manifest describes\n"
    "  list SETUP.exe        show a setup's settings and files\n"
    "  extract SETUP.exe     decode every file of a setup into a folder, checking each\n"
    "  verify SETUP.exe      check that every block loads and every file decodes intact\n"
    "\n"
    "Options:\n"
    "  -h, --help            show this help (\"lodrun COMMAND --help\" for a command's)\n"
    "  -V, --version         show the version\n"
    "\n"
    "Options and arguments come in any order; an option's value follows it (-o FILE, -oFILE,\n"
    "--output FILE or --output=FILE).\n"
    "\n"
    "Exit codes: 0 success, 1 a fault in a setup or a failed write, 2 wrong usage or a\n"
    "manifest with problems. The manifest's format: docs/manifest.md.\n";

// The parser's message on one line and in lower case, as every other complaint.
std::string OneLine(std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  while (!message.empty() && message.back() == ' ') message.pop_back();
  if (message.size() > 1 && std::isupper(static_cast<unsigned char>(message[0])) &&
      std::islower(static_cast<unsigned char>(message[1]))) {
    message[0] = char(std::tolower(static_cast<unsigned char>(message[0])));
  }
  return message;
}

// "build, list, extract or verify": the commands' names for a message.
std::string CommandNames(const std::vector<Command>& commands) {
  std::string names;
  for (size_t i = 0; i < commands.size(); ++i) {
    if (i > 0) names += i + 1 < commands.size() ? ", " : " or ";
    names += commands[i].parser->get_name();
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
  }
  const std::string first = argv[1];
  if (first == "help") {
    std::fputs(USAGE, stdout);
    return EXIT_OK;
  }
  CLI::App lodrun("Makes Windows setup programs from a TOML manifest, and reads them back.", "lodrun");
  lodrun.set_help_flag();
  const CLI::Option* help = lodrun.add_flag("-h,--help", "show this help");
  const CLI::Option* version = lodrun.add_flag("-V,--version", "show the version");
  lodrun.require_subcommand(0, 1);
  // Every command the tool has, in the order its usage lists them.
  const std::vector<Command> commands = {AddBuildCommand(lodrun, argv[0]), AddListCommand(lodrun),
                                         AddExtractCommand(lodrun), AddVerifyCommand(lodrun)};
  const bool known = std::any_of(commands.begin(), commands.end(),
                                 [&](const Command& command) { return command.parser->get_name() == first; });
  if (first[0] != '-' && !known) {
    Complain("unknown command \"" + first + "\"; expected " + CommandNames(commands) + " (see lodrun --help)");
    return EXIT_USAGE;
  }
  try {
    lodrun.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // The help to see is the command's, when the error came in a command's arguments.
    std::string help = "lodrun";
    for (const Command& command : commands) {
      if (command.parser->parsed()) help += " " + command.parser->get_name();
    }
    Complain(OneLine(error.what()) + " (see " + help + " --help)");
    return EXIT_USAGE;
  }
  for (const Command& command : commands) {
    if (!command.parser->parsed()) continue;
    if (command.parser->get_option("--help")->count() > 0) {
      std::fputs(command.help, stdout);
      return EXIT_OK;
    }
    return command.run();
  }
  if (version->count() > 0) {
    std::printf("lodrun %s\n", LODRUN_VERSION);
    return EXIT_OK;
  }
  std::fputs(USAGE, help->count() > 0 ? stdout : stderr);
  return help->count() > 0 ? EXIT_OK : EXIT_USAGE;
}
