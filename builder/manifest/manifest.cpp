// Reading a setup manifest with toml++: the top of the file, the [setup] table with its
// pictures and directory lookups, and the texts. The file records are read in
// manifest_files.cpp.
#include "builder/manifest/manifest.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "builder/manifest/manifest_defines.h"
#include "builder/manifest/manifest_reader.h"
#include "builder/manifest/text_names.h"
#include "builder/setup/default_texts.h"
#include "builder/setup/file_records.h"
#include "builder/win32/picture_check.h"
#include "builder/win32/picture_convert.h"

namespace manifest_reading {

namespace {

const std::vector<std::string> TOP_KEYS = {"setup", "texts", "files"};
const std::vector<std::string> SETUP_KEYS = {
    "app_name",         "code_page",      "default_dir",    "change_dir",         "full_screen",
    "background_title", "wizard_picture", "background_picture", "start_page",
    "information",      "directory_from_registry", "directory_from_ini", "uninstaller",
    "install_slice_ms", "install_gap_ms", "app_version", "publisher", "url", "display_icon"};
const std::vector<std::string> REGISTRY_KEYS = {"root", "key", "value"};
const std::vector<std::string> INI_KEYS = {"file", "section", "key"};


// The directory macros the program expands: "#name#rest", the name in any case.
const std::vector<std::string> DIRECTORY_MACROS = {"Windows", "System", "Program Files"};

// Lines of a paragraph are joined with a space (the information box wraps them); a blank
// line parts paragraphs; line breaks become the edit box's CR LF.
std::string InformationText(const std::string& text) {
  std::string joined, line;
  bool paragraphEnded = false;  // a blank line came since the last text
  std::istringstream lines(text);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      paragraphEnded = !joined.empty();
      continue;
    }
    if (!joined.empty()) joined += paragraphEnded ? "\r\n\r\n" : " ";
    joined += line;
    paragraphEnded = false;
  }
  return joined;
}

}  // namespace

size_t SourceOffset(const std::string& source, uint32_t line, uint32_t column) {
  size_t offset = 0;
  for (uint32_t n = 1; n < line; ++n) {
    offset = source.find('\n', offset);
    if (offset == std::string::npos) return offset;
    ++offset;
  }
  // One character per column: its lead byte and its continuation bytes.
  for (uint32_t n = 1; n < column && offset < source.size(); ++n) {
    ++offset;
    while (offset < source.size() && (uint8_t(source[offset]) & 0xC0) == 0x80) ++offset;
  }
  return offset;
}

std::pair<uint32_t, uint32_t> SourcePlace(const std::string& source, size_t offset) {
  const size_t lineStart = source.rfind('\n', offset == 0 ? 0 : offset - 1);
  const size_t start = lineStart == std::string::npos || offset == 0 ? 0 : lineStart + 1;
  const uint32_t line = uint32_t(std::count(source.begin(), source.begin() + long(start), '\n')) + 1;
  return {line, Utf8Length(source.substr(start, offset - start)) + 1};
}

std::string Lowered(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}


bool ManifestReader::Encoded(const toml::node& node, const std::string& key, const std::string& utf8,
                             std::string* out) {
  TextFault fault;
  if (codePage.Encode(utf8, out, &fault)) return true;
  const std::string page = std::to_string(codePage.CodePage());
  if (fault.invalidUtf8) {
    Problem(node, key, "is not UTF-8 text; expected the text in UTF-8, which the build writes in code page " + page);
    return false;
  }
  const std::string expected = "; expected characters that code page " + page +
                               " holds, or [setup] code_page naming one that holds it";
  // The character where the manifest has it; a character written as an escape, or one from
  // another file, is reported at its text.
  const toml::source_region& where = node.source();
  const size_t from = SourceOffset(source, uint32_t(where.begin.line), uint32_t(where.begin.column));
  const size_t to = SourceOffset(source, uint32_t(where.end.line), uint32_t(where.end.column));
  const size_t at = from == std::string::npos ? from : source.find(fault.character, from);
  if (at == std::string::npos || (to != std::string::npos && at >= to)) {
    Problem(node, key, "'" + fault.character + "' (character " + std::to_string(fault.index + 1) +
                           " of \"" + utf8 + "\") cannot be written in code page " + page + expected);
    return false;
  }
  const auto [line, column] = SourcePlace(source, at);
  problems.push_back({line, column, key, "'" + fault.character + "' at column " + std::to_string(column) +
                                             " cannot be written in code page " + page + expected});
  return false;
}

void ManifestReader::ReadCodePage(const toml::table& top) {
  const toml::node* node = top.at_path("setup.code_page").node();
  if (node == nullptr) return;
  const int64_t number = node->value<int64_t>().value_or(-1);
  if (node->is_integer() && IsSetupCodePage(uint32_t(number)) && number <= 0xFFFF) {
    codePage = CodePageText(uint16_t(number));
    manifest.codePage = uint16_t(number);
    return;
  }
  std::vector<std::string> known;
  for (uint16_t page : SetupCodePages()) known.push_back(std::to_string(page));
  const bool doubleByte = number == 932 || number == 936 || number == 949 || number == 950;
  Problem(*node, "setup.code_page",
          (doubleByte ? std::to_string(number) + " is a double-byte code page, whose characters the program's "
                                                 "paths cannot hold; expected "
                      : std::string("is not a Windows code page a setup can be written in; expected ")) +
              "one of " + Quoted(known) + " (a number)");
}

void ManifestReader::Read(const toml::table& top) {
  CheckKeys(top, "", TOP_KEYS);
  ReadCodePage(top);
  if (const toml::node* setup = top.get("setup")) {
    if (const toml::table* table = Table(*setup, "setup")) ReadSetup(*table);
  }
  if (const toml::node* texts = top.get("texts")) {
    if (const toml::table* table = Table(*texts, "texts")) ReadTexts(*table);
  }
  if (const toml::node* files = top.get("files")) ReadFiles(*files);
  AddUninstaller(top);
  CheckFileSet();
  ResolveDisplayIcon();
}

void ManifestReader::ReadSetup(const toml::table& setup) {
  CheckKeys(setup, "setup", SETUP_KEYS);
  if (String(setup, "app_name", "setup", &manifest.appName)) CheckAppName(*setup.get("app_name"));
  if (String(setup, "default_dir", "setup", &manifest.defaultDir)) {
    NotTooLong(setup, "default_dir", "setup", manifest.defaultDir);
    CheckDirectoryMacro(*setup.get("default_dir"));
  }
  String(setup, "background_title", "setup", &manifest.backgroundTitle);
  bool flag = true;
  if (Boolean(setup, "change_dir", "setup", &flag) && !flag) manifest.setupFlags &= ~SETUP_FLAG_CHANGE_DIR;
  flag = false;
  if (Boolean(setup, "full_screen", "setup", &flag) && flag) manifest.setupFlags |= SETUP_FLAG_FULL_SCREEN;
  ReadPicture(setup, "wizard_picture", &manifest.wizardPicture);
  ReadPicture(setup, "background_picture", &manifest.backgroundPicture);
  ReadStartPage(setup);
  ReadMilliseconds(setup, "install_slice_ms", 0, MAX_INSTALL_SLICE_MS, &manifest.installSliceMs);
  ReadMilliseconds(setup, "install_gap_ms", 0, MAX_INSTALL_GAP_MS, &manifest.installGapMs);
  std::vector<uint8_t> information;
  std::string text;
  if (SourceFile(setup, "information", "setup", &information) &&
      Encoded(*setup.get("information"), "setup.information",
              InformationText(std::string(information.begin(), information.end())), &text)) {
    manifest.texts.push_back({INFORMATION_TEXTS, INFORMATION_TEXT, text});
  }
  ReadLookups(setup);
  ReadAppEntry(setup);
}

void ManifestReader::CheckAppName(const toml::node& node) {
  // It names the application's Uninstall key.
  const NameFault fault = CheckKeyName(manifest.appName.c_str(), uint32_t(manifest.appName.size()));
  if (fault == NAME_TOO_LONG) {
    Problem(node, "setup.app_name", "is " + std::to_string(manifest.appName.size()) +
                                        " characters long; expected at most " +
                                        std::to_string(KEY_NAME_MAX) + ", the longest name of a registry key");
  } else if (fault == NAME_BAD_CHARACTER) {
    Problem(node, "setup.app_name", "holds a backslash, which would nest the application's Uninstall key; expected a name without one");
  } else if (fault == NAME_CONTROL_CHARACTER) {
    Problem(node, "setup.app_name", "holds a control character; expected printable characters");
  }
}

void ManifestReader::CheckDirectoryMacro(const toml::node& node) {
  if (manifest.defaultDir.empty() || manifest.defaultDir[0] != '#') return;
  const size_t second = manifest.defaultDir.find('#', 1);
  if (second == std::string::npos) return;  // no macro: the text is the directory
  const std::string macro = manifest.defaultDir.substr(1, second - 1);
  for (const std::string& known : DIRECTORY_MACROS) {
    if (Lowered(macro) == Lowered(known)) return;
  }
  std::vector<std::string> spelt;
  for (const std::string& known : DIRECTORY_MACROS) spelt.push_back("#" + known + "#");
  const std::string nearest = NearestWord("#" + macro + "#", spelt);
  Problem(node, "setup.default_dir",
          "\"#" + macro + "#\" is not a directory macro; expected " + Quoted(spelt) +
              (nearest.empty() ? "" : " (did you mean \"" + nearest + "\"?)"));
}

void ManifestReader::ReadPicture(const toml::table& setup, const char* name,
                                 std::vector<uint8_t>* picture) {
  if (!SourceFile(setup, name, "setup", picture)) return;
  std::string refusal;
  if (IsPng(*picture)) {
    std::vector<uint8_t> bmp;
    if (ConvertPngToBmp(*picture, &bmp, &refusal)) picture->swap(bmp);
  } else {
    refusal = ValidatePicture(*picture);
  }
  if (refusal.empty()) return;
  Problem(*setup.get(name), Join("setup", name),
          refusal + "; expected a PNG file or a BMP file the program can show (1, 4, 8 or 24 bits, uncompressed)");
  picture->clear();
}

void ManifestReader::ReadStartPage(const toml::table& setup) {
  const toml::node* node = setup.get("start_page");
  if (node == nullptr) return;
  const std::string expected = "expected \"all\", a page name (" + Quoted(WordsOf(PAGE_WORDS)) +
                               ") or its number 0 to " + std::to_string(LAST_PAGE);
  if (node->is_integer()) {
    const int64_t page = node->value<int64_t>().value_or(-1);
    if (page >= 0 && page <= LAST_PAGE) {
      manifest.startPage = uint16_t(page);
    } else {
      Problem(*node, "setup.start_page", std::to_string(page) + " is out of range; " + expected);
    }
    return;
  }
  const std::string word = node->value<std::string>().value_or("");
  if (node->is_string() && word == "all") return;
  uint32_t page = 0;
  if (node->is_string() && ValueOf(PAGE_WORDS, word, &page)) {
    manifest.startPage = uint16_t(page);
    return;
  }
  Problem(*node, "setup.start_page", (node->is_string() ? "\"" + word + "\" is not a page; " : "is not a page; ") + expected);
}

void ManifestReader::ReadMilliseconds(const toml::table& setup, const char* name, uint16_t least,
                                      uint16_t most, uint16_t* out) {
  const toml::node* node = setup.get(name);
  if (node == nullptr) return;
  const int64_t value = node->value<int64_t>().value_or(-1);
  if (node->is_integer() && value >= least && value <= most) {
    *out = uint16_t(value);
    return;
  }
  const std::string expected = "expected a whole number of milliseconds from " + std::to_string(least) +
                               " to " + std::to_string(most);
  Problem(*node, Join("setup", name),
          (node->is_integer() ? std::to_string(value) + " is out of range; " : "is not a number; ") + expected);
}

void ManifestReader::ReadLookups(const toml::table& setup) {
  if (const toml::table* registry = SubTable(setup, "directory_from_registry", "setup", REGISTRY_KEYS)) {
    const std::string prefix = "setup.directory_from_registry";
    std::string root = "HKEY_LOCAL_MACHINE";
    String(*registry, "root", prefix, &root);
    uint32_t rootIndex = 0;
    if (!ValueOf(REGISTRY_ROOT_WORDS, root, &rootIndex)) {
      Problem(registry->get("root")->source(), prefix + ".root",
              "\"" + root + "\" is not a registry root; expected " + Quoted(WordsOf(REGISTRY_ROOT_WORDS)));
    }
    manifest.registryLookup.present = true;
    manifest.registryLookup.root = rootIndex;
    if (!String(*registry, "key", prefix, &manifest.registryLookup.key)) {
      Problem(*registry, prefix + ".key", "is missing; expected the key's path, such as \"Software\\\\Vendor\\\\Program\"");
    }
    String(*registry, "value", prefix, &manifest.registryLookup.value);  // empty: the key's default value
  }
  if (const toml::table* ini = SubTable(setup, "directory_from_ini", "setup", INI_KEYS)) {
    const std::string prefix = "setup.directory_from_ini";
    manifest.iniLookup.present = true;
    const char* names[] = {"file", "section", "key"};
    std::string* fields[] = {&manifest.iniLookup.file, &manifest.iniLookup.section, &manifest.iniLookup.key};
    for (int i = 0; i < 3; ++i) {
      if (!String(*ini, names[i], prefix, fields[i]) || fields[i]->empty()) {
        Problem(*ini, Join(prefix, names[i]), "is missing; expected a non-empty string");
      }
    }
  }
}

void ManifestReader::ReadTexts(const toml::table& texts) {
  const std::vector<std::string> sections = TextSections();
  CheckKeys(texts, "texts", sections);
  for (const std::string& section : sections) {
    const toml::node* node = texts.get(section);
    if (node == nullptr) continue;
    const std::string prefix = "texts." + section;
    const toml::table* table = Table(*node, prefix);
    if (table == nullptr) continue;
    std::vector<std::string> names;
    for (const TextName& entry : TextNames()) {
      if (section == entry.section) names.push_back(entry.name);
    }
    CheckKeys(*table, prefix, names);
    for (const std::string& name : names) {
      std::string text;
      if (!String(*table, name.c_str(), prefix, &text)) continue;
      const TextName* entry = FindTextName(section, name);
      const std::string fault = CheckTextConversion(*entry, text);
      if (!fault.empty()) {
        Problem(*table->get(name), Join(prefix, name), fault);
        continue;
      }
      manifest.texts.push_back({entry->list, entry->index, text});
    }
  }
}

}  // namespace manifest_reading

bool ReadManifest(const std::string& path, Manifest* manifest,
                  std::vector<ManifestProblem>* problems, const Defines& defines) {
  *manifest = Manifest{};
  manifest->path = path;
  problems->clear();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    problems->push_back({1, 1, "", "cannot be read; expected the path of a manifest file"});
    return false;
  }
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  const std::string source(bytes.begin(), bytes.end());
  toml::table top;
  try {
    top = toml::parse(source, path);
  } catch (const toml::parse_error& error) {
    const toml::source_region& where = error.source();
    problems->push_back({uint32_t(where.begin.line), uint32_t(where.begin.column), "",
                         std::string(error.description()) + "; expected a valid TOML file"});
    return false;
  }
  std::vector<ManifestProblem> defineProblems;
  manifest_reading::ExpandDefines(top, "", defines, source, &defineProblems);
  manifest_reading::ManifestReader(*manifest, *problems, source).Read(top);
  // A value whose define is wrong is not the value meant: its own problems say nothing more.
  problems->erase(std::remove_if(problems->begin(), problems->end(),
                                 [&](const ManifestProblem& problem) {
                                   return std::any_of(defineProblems.begin(), defineProblems.end(),
                                                      [&](const ManifestProblem& define) { return define.key == problem.key; });
                                 }),
                  problems->end());
  problems->insert(problems->end(), defineProblems.begin(), defineProblems.end());
  std::stable_sort(problems->begin(), problems->end(), [](const ManifestProblem& a, const ManifestProblem& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return problems->empty();
}

std::string FormatProblem(const std::string& file, const ManifestProblem& problem) {
  std::string text = file + ":" + std::to_string(problem.line) + ":" + std::to_string(problem.column) + ": ";
  if (!problem.key.empty()) text += problem.key + ": ";
  return text + problem.message;
}

std::string NearestWord(const std::string& word, const std::vector<std::string>& known) {
  std::string nearest;
  // More differences than a third of the word (two for short words) is no likeness.
  size_t best = std::max<size_t>(2, word.size() / 3) + 1;
  for (const std::string& candidate : known) {
    // Levenshtein distance, one row at a time.
    std::vector<size_t> row(candidate.size() + 1);
    for (size_t j = 0; j <= candidate.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= word.size(); ++i) {
      size_t diagonal = row[0];
      row[0] = i;
      for (size_t j = 1; j <= candidate.size(); ++j) {
        const size_t above = row[j];
        row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (word[i - 1] == candidate[j - 1] ? 0 : 1)});
        diagonal = above;
      }
    }
    if (row[candidate.size()] < best) {
      best = row[candidate.size()];
      nearest = candidate;
    }
  }
  return nearest;
}
