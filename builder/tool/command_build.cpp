// lodrun build: the manifest read and checked, the setup made, written under temporary
// names and renamed into place, with progress or one summary line on standard error.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "builder/io/file_bytes.h"
#include "builder/manifest/build_checks.h"
#include "builder/manifest/manifest.h"
#include "builder/manifest/manifest_defines.h"
#include "builder/manifest/setup_build.h"
#include "builder/tool/build_progress.h"
#include "builder/tool/commands.h"

namespace fs = std::filesystem;

const char BUILD_HELP[] =
    "Usage: lodrun build MANIFEST.toml [-o SETUP.exe] [-q|-v] [--volume-size SIZE] [--level 0-12]\n"
    "                    [--jobs N] [--stub PATH] [--uninstaller PATH] [-D NAME=VALUE]...\n"
    "Makes the setup file that the manifest describes.\n"
    "\n"
    "  -o, --output PATH     the setup file to write (default: setup.exe beside the manifest)\n"
    "  -D, --define NAME=VALUE\n"
    "                        ${NAME} in the manifest's strings stands for VALUE; $${ writes ${\n"
    "  --volume-size SIZE    split the data area into volumes of SIZE data bytes each, written\n"
    "                        beside the setup as .D01, .D02, ...; SIZE takes K, M or G\n"
    "                        (1024-based), e.g. 1440K\n"
    "  --level N             compression level, 0 (stored) to 12 (smallest); the default, 10,\n"
    "                        gives streams about 0.2% larger than 12 in two thirds of its time\n"
    "  -q, --quiet           tell only problems, not the result line\n"
    "  -v, --verbose         tell also each file's size and packed size as it is done\n"
    "  --jobs N              compress on N threads (default: one per core); the setup's bytes\n"
    "                        are the same for every N\n"
    "  --stub PATH           the setup program to put in front of the archive (default: the\n"
    "                        lodrun-stub.exe beside this tool, or in ../share/lodrun)\n"
    "  --uninstaller PATH    the uninstall program that [setup] uninstaller adds (default:\n"
    "                        the lodrun-uninst.exe beside this tool, or in ../share/lodrun)\n"
    "\n"
    "Problems in the manifest are reported as FILE:LINE:COLUMN: key: message, all of them,\n"
    "with exit code 2 and no file written. On a terminal one line shows the progress: the\n"
    "current file, the bytes done of all and the time left; the result line ends with the\n"
    "build's wall time.\n";

static_assert(DEFAULT_COMPRESSION_LEVEL == 10, "the help names the default level");

namespace {

constexpr char STUB_NAME[] = "lodrun-stub.exe";
constexpr char UNINSTALLER_NAME[] = "lodrun-uninst.exe";
constexpr uint64_t MAX_VOLUME_SIZE = 0xFFFFFFFFu;  // a volume's size field is a u32
// More threads than this only wait for each other.
constexpr long MAX_JOBS = 1024;

struct BuildArguments {
  Arguments positionals;
  std::string manifest, output, stub, uninstaller;
  std::string volumeSizeText, levelText, jobsText;  // as given, checked by CheckArguments
  Arguments defineTexts;
  Defines defines;
  uint32_t volumeSize = 0;
  int level = DEFAULT_COMPRESSION_LEVEL;
  unsigned jobs = ALL_CORES;
  bool quiet = false, verbose = false;
};

// "1440K", "2M", "1000000": bytes, or 0 when the text is no size of a volume.
uint64_t ParseSize(const std::string& text) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return 0;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (errno == ERANGE) return 0;
  const std::string unit = end;
  const uint64_t scale = unit.empty() ? 1 : unit == "K" || unit == "k" ? 1024ull
                         : unit == "M" || unit == "m" ? 1024ull * 1024 : unit == "G" || unit == "g" ? 1024ull * 1024 * 1024 : 0;
  if (scale == 0 || value > MAX_VOLUME_SIZE / scale) return 0;
  return value * scale;
}

// The option's value as a whole number from least to most; false, having said so, for another.
bool ParseWholeNumber(const std::string& option, const std::string& value, long least, long most, long* number) {
  char* end = nullptr;
  errno = 0;
  *number = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno == ERANGE || *number < least || *number > most) {
    Complain(option + " " + value + ": expected a whole number from " + std::to_string(least) + " to " +
             std::to_string(most));
    return false;
  }
  return true;
}

// Checks and converts what the parser took as text; false after complaining.
bool CheckArguments(BuildArguments* parsed) {
  if (!OnePositional(parsed->positionals, "manifest", &parsed->manifest)) return false;
  if (parsed->manifest.empty()) {
    Complain("build needs a manifest (see lodrun build --help)");
    return false;
  }
  if (!parsed->volumeSizeText.empty()) {
    const uint64_t size = ParseSize(parsed->volumeSizeText);
    if (size == 0) {
      Complain("--volume-size " + parsed->volumeSizeText + ": expected a size from 1 byte to 4G-1, such as 1440K");
      return false;
    }
    parsed->volumeSize = uint32_t(size);
  }
  long number = 0;
  if (!parsed->levelText.empty()) {
    if (!ParseWholeNumber("--level", parsed->levelText, MIN_COMPRESSION_LEVEL, MAX_COMPRESSION_LEVEL, &number)) return false;
    parsed->level = int(number);
  }
  if (!parsed->jobsText.empty()) {
    if (!ParseWholeNumber("--jobs", parsed->jobsText, 1, MAX_JOBS, &number)) return false;
    parsed->jobs = unsigned(number);
  }
  for (const std::string& text : parsed->defineTexts) {
    std::string error;
    if (!ParseDefine(text, &parsed->defines, &error)) {
      Complain(error);
      return false;
    }
  }
  if (parsed->output.empty()) parsed->output = (fs::path(parsed->manifest).parent_path() / "setup.exe").string();
  return true;
}

// The program given; else the one of that name beside this tool (where the build puts it),
// else the one in the share folder of an installed tool (LODRUN_PROGRAMS_BELOW).
std::string ProgramBesideTool(const std::string& given, const char* name, const std::string& programPath) {
  if (!given.empty()) return given;
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) self = fs::absolute(programPath, error);
  const fs::path beside = self.parent_path() / name;
  const fs::path installed = (self.parent_path() / LODRUN_PROGRAMS_BELOW / name).lexically_normal();
  return (fs::exists(beside, error) || !fs::exists(installed, error) ? beside : installed).string();
}

// The bytes that the build compresses: every file's, the uninstall program's included.
uint64_t ContentBytes(const Manifest& manifest, const BuildOptions& options) {
  uint64_t total = manifest.builtUninstaller ? options.uninstallImage.size() : 0;
  for (const FileInput& input : manifest.files) total += input.source.empty() ? input.content.size() : input.sourceSize;
  return total;
}

int Build(BuildArguments parsed, const std::string& programPath) {
  if (!CheckArguments(&parsed)) return EXIT_USAGE;
  Manifest manifest;
  std::vector<ManifestProblem> problems;
  ReadManifest(parsed.manifest, &manifest, &problems, parsed.defines);
  for (const ManifestProblem& problem : StoredDataAreaProblems(manifest, parsed.level)) problems.push_back(problem);
  const std::string stubPath = ProgramBesideTool(parsed.stub, STUB_NAME, programPath);
  std::vector<std::string> programs = {stubPath};
  if (manifest.builtUninstaller) programs.push_back(ProgramBesideTool(parsed.uninstaller, UNINSTALLER_NAME, programPath));
  // Every problem is told before anything is compressed.
  const std::vector<std::string> outputProblems = OutputProblems(parsed.output, BuildInputs(manifest, programs));
  if (!problems.empty() || !outputProblems.empty()) {
    for (const ManifestProblem& problem : problems) {
      std::fprintf(stderr, "%s\n", FormatProblem(parsed.manifest, problem).c_str());
    }
    for (const std::string& problem : outputProblems) Complain(problem);
    const size_t count = problems.size() + outputProblems.size();
    std::fprintf(stderr, "lodrun: %zu problem%s in %s; nothing written\n", count, count == 1 ? "" : "s",
                 parsed.manifest.c_str());
    return EXIT_USAGE;
  }
  std::vector<uint8_t> stub = ReadFileBytes(stubPath);
  if (stub.empty()) {
    Complain("cannot read the setup program " + stubPath + " (give one with --stub)");
    return EXIT_USAGE;
  }
  BuildOptions options;
  if (manifest.builtUninstaller) {
    options.uninstallImage = ReadFileBytes(programs.back());
    if (options.uninstallImage.empty()) {
      Complain("cannot read the uninstall program " + programs.back() + " (give one with --uninstaller)");
      return EXIT_USAGE;
    }
  }
  const CodePageText codePage(manifest.codePage);
  const Verbosity verbosity = parsed.quiet ? Verbosity::QUIET : parsed.verbose ? Verbosity::VERBOSE : Verbosity::NORMAL;
  BuildProgress progress(stderr, isatty(STDERR_FILENO) != 0, verbosity, manifest.files.size(),
                         ContentBytes(manifest, options));
  options.level = parsed.level;
  options.volumeSize = parsed.volumeSize;
  options.jobs = parsed.jobs;
  options.progress = [&](size_t done, const FileRecord& record) {
    progress.FileDone(done, codePage.Decode(record.name), record.size, record.packedSize);
  };
  try {
    // The data area waits beside the output, so that the setup's files are made from it by
    // copies within one file system.
    const fs::path outputPath(parsed.output);
    DataSpool spool(outputPath.has_parent_path() ? outputPath.parent_path().string() : ".");
    const BuiltSetup built = BuildSetup(manifest, std::move(stub), options, spool);
    const uint64_t total = WriteSetup(parsed.output, built, spool);
    const size_t volumes = built.volumeDataSizes.size() - 1;
    char result[256];
    std::snprintf(result, sizeof result, " (%llu bytes%s): %zu files, %llu bytes packed into %llu (%.1f%%), %.1f s",
                  static_cast<unsigned long long>(total),
                  volumes > 0 ? (", " + std::to_string(volumes) + " volumes").c_str() : "", built.records.size(),
                  static_cast<unsigned long long>(built.contentBytes), static_cast<unsigned long long>(built.packedBytes),
                  built.contentBytes > 0 ? 100.0 * double(built.packedBytes) / double(built.contentBytes) : 100.0,
                  progress.Seconds());
    progress.Finish("wrote " + parsed.output + result);
  } catch (const std::exception& error) {
    Complain(error.what());
    return EXIT_FAULT;
  }
  return EXIT_OK;
}

}  // namespace

Command AddBuildCommand(CLI::App& lodrun, const std::string& programPath) {
  auto parsed = std::make_shared<BuildArguments>();
  CLI::App* build = AddSubcommand(lodrun, "build", "make the setup file that the manifest describes");
  build->add_option("manifest", parsed->positionals, "the manifest");
  build->add_option("-o,--output", parsed->output, "the setup file to write");
  build->add_option("-D,--define", parsed->defineTexts, "NAME=VALUE for ${NAME}")->allow_extra_args(false);
  build->add_option("--volume-size", parsed->volumeSizeText, "data bytes per volume");
  build->add_option("--level", parsed->levelText, "compression level");
  build->add_option("--jobs", parsed->jobsText, "threads");
  build->add_flag("-q,--quiet", parsed->quiet, "only problems");
  build->add_flag("-v,--verbose", parsed->verbose, "a line per file");
  build->add_option("--stub", parsed->stub, "the setup program");
  build->add_option("--uninstaller", parsed->uninstaller, "the uninstall program");
  return {build, BUILD_HELP, [parsed, programPath] { return Build(*parsed, programPath); }};
}
