// The setup manifest: a TOML file that says what a setup holds (its settings, texts,
// pictures and files), read into what the archive writer needs. Every problem found is
// collected with its place in the file; see docs/manifest.md for the format.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "builder/io/code_page.h"
#include "builder/setup/app_entry.h"
#include "builder/setup/file_input.h"

// A problem of a manifest, reported as "FILE:LINE:COLUMN: key: message".
struct ManifestProblem {
  uint32_t line = 0;
  uint32_t column = 0;
  std::string key;      // the dotted key, e.g. "files[2].mode"
  std::string message;  // what is wrong, what is expected
};

// One text of the page-text lists set by the manifest.
struct TextOverride {
  uint32_t list = 0;
  uint32_t index = 0;
  std::string text;
};

// The directory looked up in the registry when the setup starts: the value (empty: the
// key's default value) of the key below the root (DIR_REG_...).
struct RegistryLookup {
  bool present = false;
  uint32_t root = 0;
  std::string key, value;
};

// The directory looked up in an INI file when the setup starts: the key of its section.
struct IniLookup {
  bool present = false;
  std::string file, section, key;
};

// The progress page's pacing that a build writes unless [setup] install_slice_ms and
// install_gap_ms change it: measured under Wine, the bar and Cancel still answer within
// about 100 ms. A gap of 0 starts the next slice at once unless the window has input or
// painting waiting (any timer waits at least 10 ms). The keys take 0 to MAX_INSTALL_SLICE_MS
// and 0 to MAX_INSTALL_GAP_MS.
constexpr uint16_t INSTALL_SLICE_MS = 60;
constexpr uint16_t INSTALL_GAP_MS = 0;
constexpr uint16_t MAX_INSTALL_SLICE_MS = 1000;
constexpr uint16_t MAX_INSTALL_GAP_MS = 1000;

struct Manifest {
  std::string path;  // the manifest file, as given
  uint16_t codePage = DEFAULT_CODE_PAGE;  // of every text and name below
  uint32_t setupFlags = SETUP_FLAG_CHANGE_DIR;
  std::string appName;
  std::string defaultDir;
  std::string backgroundTitle;
  std::vector<uint8_t> wizardPicture;      // BMP file bytes, or empty
  std::vector<uint8_t> backgroundPicture;  // BMP file bytes, or empty
  uint16_t startPage = START_PAGE_ALL;
  uint16_t installSliceMs = INSTALL_SLICE_MS;  // BLOCK_INSTALL_PACING, always written
  uint16_t installGapMs = INSTALL_GAP_MS;
  RegistryLookup registryLookup;
  IniLookup iniLookup;
  AppEntry appEntry;  // [setup] app_version, publisher, url, display_icon
  std::vector<TextOverride> texts;  // section by section, on top of the default texts
  std::vector<FileInput> files;     // one per file, directories and globs expanded; a file's
                                    // source is looked at, not read (its path and size)
  std::vector<ManifestProblem> fileOrigins;  // where files[i] was named: line, column, key
  std::vector<std::string> otherInputs;      // the texts and pictures read from files
  // files[0] is lodrun's own uninstall program ([setup] uninstaller), whose content the
  // build fills in from the uninstall program beside the tool.
  bool builtUninstaller = false;
};

// The uninstall program's name in the installation folder with [setup] uninstaller = true.
constexpr char DEFAULT_UNINSTALLER_NAME[] = "uninst.exe";

// The command line's -D NAME=VALUE defines, which ${NAME} in a manifest's strings uses.
using Defines = std::map<std::string, std::string>;

// Reads the manifest at path, its strings' ${NAME} taken from defines. Returns true when no
// problem was found; problems holds every one found (a manifest that is not valid TOML
// gives the parser's one problem).
bool ReadManifest(const std::string& path, Manifest* manifest,
                  std::vector<ManifestProblem>* problems, const Defines& defines = {});

// "FILE:LINE:COLUMN: key: message".
std::string FormatProblem(const std::string& file, const ManifestProblem& problem);

// The known word nearest to word by edit distance, or empty when none is close (at most a
// third of the word's letters differ, or two of a short word).
std::string NearestWord(const std::string& word, const std::vector<std::string>& known);
