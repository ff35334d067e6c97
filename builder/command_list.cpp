// lodrun list: a setup's settings and a table of its files, as text or as JSON.
#include <cstdio>

#include "builder/commands.h"
#include "builder/data_area_writer.h"
#include "builder/record_words.h"
#include "builder/setup_reader.h"

const char LIST_HELP[] =
    "Usage: lodrun list SETUP.exe [--json]\n"
    "Shows a setup's settings and its files: name, destination, mode, size, packed size,\n"
    "ratio, flags and shortcuts.\n"
    "\n"
    "  --json    one JSON object, for scripts\n";

namespace {

std::string Version(uint32_t ms, uint32_t ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) +
         "." + std::to_string(ls & 0xFFFF);
}

std::string Flags(const FileRecord& record) {
  std::string flags;
  auto add = [&](const std::string& flag) { flags += (flags.empty() ? "" : ",") + flag; };
  if (record.shared == 1) add("shared");
  if (record.flags & FE_UNINSTALLER) add("uninstaller");
  if (record.flags & FE_VERSION_CHECK) add("version " + Version(record.fileVersionMS, record.fileVersionLS));
  if (record.flags & FE_LANGUAGE_CHECK) add("language " + std::to_string(record.language));
  if (record.registration != REGISTER_NONE) add(WordOf(REGISTRATION_WORDS, record.registration, REGISTER_NONE));
  if (record.endAction != END_NONE) add(std::string("at-end ") + WordOf(END_ACTION_WORDS, record.endAction, END_NONE));
  return flags.empty() ? "-" : flags;
}

std::string Shortcuts(const FileRecord& record) {
  std::string shortcuts;
  if (!record.groupShortcut.empty()) shortcuts = "group " + record.groupFolder + "\\" + record.groupShortcut;
  if (!record.desktopShortcut.empty()) {
    shortcuts += (shortcuts.empty() ? "" : "; ") + std::string("desktop ") + record.desktopShortcut;
  }
  return shortcuts;
}

// "60 ms slices, 5 ms apart"; a slice of 0 is the program's one file per tick.
std::string PacingText(uint32_t pacing) {
  const std::string gap = std::to_string(PacingGapMs(pacing)) + " ms apart";
  if (PacingSliceMs(pacing) == 0) return "one file per tick, " + gap;
  return std::to_string(PacingSliceMs(pacing)) + " ms slices, " + gap;
}

double Ratio(const FileRecord& record) {
  return record.size == 0 ? 100.0 : 100.0 * double(record.packedSize) / double(record.size);
}

std::string Json(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += char(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += char(c);  // UTF-8 passes as it is
    }
  }
  return quoted + "\"";
}

void PrintText(const SetupSummary& s) {
  std::printf("application:       %s\n", s.appName.empty() ? "(none)" : s.appName.c_str());
  std::printf("default directory: %s\n", s.defaultDir.c_str());
  std::printf("code page:         %u\n", s.codePage);
  std::printf("directory:         %s\n", s.setupFlags & SETUP_FLAG_CHANGE_DIR ? "may change" : "fixed");
  std::printf("background:        %s\n", s.setupFlags & SETUP_FLAG_FULL_SCREEN ? "full screen" : "windowed");
  if (!s.backgroundTitle.empty()) std::printf("background title:  %s\n", s.backgroundTitle.c_str());
  std::printf("pictures:          wizard %s, background %s\n", s.wizardPicture ? "yes" : "no",
              s.backgroundPicture ? "yes" : "no");
  std::printf("start page:        %s\n", s.startPage == START_PAGE_ALL ? "all" : WordOf(PAGE_WORDS, s.startPage, 0));
  std::printf("install pacing:    %s\n", PacingText(s.installPacing).c_str());
  if (!s.dirRegKey.empty()) {
    std::printf("directory lookup:  registry %s\\%s [%s]\n", WordOf(REGISTRY_ROOT_WORDS, s.dirRegRoot, DIR_REG_CURRENT_USER),
                s.dirRegKey.c_str(), s.dirRegValue.c_str());
  }
  if (!s.dirIniFile.empty()) {
    std::printf("directory lookup:  %s [%s] %s\n", s.dirIniFile.c_str(), s.dirIniSection.c_str(), s.dirIniKey.c_str());
  }
  std::printf("size:              %llu bytes (program %u), %zu volume file%s\n",
              static_cast<unsigned long long>(s.fileSize), s.imageSize, s.volumes.size(), s.volumes.size() == 1 ? "" : "s");
  std::printf("\n%-40s %-8s %-8s %10s %10s %6s  %s\n", "name", "dest", "mode", "size", "packed", "ratio", "flags / shortcuts");
  for (const FileRecord& r : s.records) {
    const std::string shortcuts = Shortcuts(r);
    std::printf("%-40s %-8s %-8s %10u %10u %5.1f%%  %s%s%s\n", r.name.c_str(), WordOf(DESTINATION_WORDS, r.dirCode, DIR_INSTALL),
                WordOf(MODE_WORDS, r.installMode, MODE_KEEP), r.size, r.packedSize, Ratio(r), Flags(r).c_str(),
                shortcuts.empty() ? "" : "; ", shortcuts.c_str());
  }
}

void PrintJson(const SetupSummary& s) {
  std::printf("{\"application\": %s, \"default_dir\": %s, \"code_page\": %u, \"change_dir\": %s, \"full_screen\": %s,\n",
              Json(s.appName).c_str(), Json(s.defaultDir).c_str(), s.codePage, s.setupFlags & SETUP_FLAG_CHANGE_DIR ? "true" : "false",
              s.setupFlags & SETUP_FLAG_FULL_SCREEN ? "true" : "false");
  std::printf(" \"background_title\": %s, \"wizard_picture\": %s, \"background_picture\": %s, \"start_page\": %s,\n",
              Json(s.backgroundTitle).c_str(), s.wizardPicture ? "true" : "false", s.backgroundPicture ? "true" : "false",
              Json(s.startPage == START_PAGE_ALL ? "all" : WordOf(PAGE_WORDS, s.startPage, 0)).c_str());
  std::printf(" \"install_slice_ms\": %u, \"install_gap_ms\": %u,\n", PacingSliceMs(s.installPacing),
              PacingGapMs(s.installPacing));
  std::printf(" \"size\": %llu, \"program_size\": %u, \"volumes\": %zu,\n \"files\": [",
              static_cast<unsigned long long>(s.fileSize), s.imageSize, s.volumes.size());
  for (size_t i = 0; i < s.records.size(); ++i) {
    const FileRecord& r = s.records[i];
    std::printf("%s\n  {\"name\": %s, \"destination\": %s, \"mode\": %s, \"size\": %u, \"packed_size\": %u,"
                " \"checksum\": %u, \"shared\": %s, \"uninstaller\": %s, \"check_version\": %s,"
                " \"check_language\": %s, \"register\": %s, \"at_end\": %s, \"icon_index\": %u,",
                i == 0 ? "" : ",", Json(r.name).c_str(), Json(WordOf(DESTINATION_WORDS, r.dirCode, DIR_INSTALL)).c_str(),
                Json(WordOf(MODE_WORDS, r.installMode, MODE_KEEP)).c_str(), r.size, r.packedSize, r.checksum,
                r.shared == 1 ? "true" : "false", r.flags & FE_UNINSTALLER ? "true" : "false",
                r.flags & FE_VERSION_CHECK ? "true" : "false", r.flags & FE_LANGUAGE_CHECK ? "true" : "false",
                Json(WordOf(REGISTRATION_WORDS, r.registration, REGISTER_NONE)).c_str(), Json(WordOf(END_ACTION_WORDS, r.endAction, END_NONE)).c_str(),
                r.iconIndex);
    if (HasVersionBlock(r)) {
      std::printf(" \"file_version\": %s, \"product_version\": %s, \"language\": %u,",
                  Json(Version(r.fileVersionMS, r.fileVersionLS)).c_str(),
                  Json(Version(r.productVersionMS, r.productVersionLS)).c_str(), r.language);
    }
    std::printf(" \"program_group\": {\"folder\": %s, \"shortcut\": %s, \"arguments\": %s},"
                " \"desktop\": {\"shortcut\": %s, \"arguments\": %s}}",
                Json(r.groupFolder).c_str(), Json(r.groupShortcut).c_str(), Json(r.groupArguments).c_str(),
                Json(r.desktopShortcut).c_str(), Json(r.desktopArguments).c_str());
  }
  std::printf("\n ]}\n");
}

}  // namespace

int ListCommand(const Arguments& arguments) {
  std::string setup;
  bool json = false;
  for (const std::string& argument : arguments) {
    if (argument == "--json") {
      json = true;
    } else if (!argument.empty() && argument[0] == '-') {
      Complain("unknown option " + argument + " (see lodrun list --help)");
      return EXIT_USAGE;
    } else if (setup.empty()) {
      setup = argument;
    } else {
      Complain("one setup only; \"" + argument + "\" is one too many");
      return EXIT_USAGE;
    }
  }
  if (setup.empty()) {
    Complain("list needs a setup file (see lodrun list --help)");
    return EXIT_USAGE;
  }
  SetupSummary summary;
  if (!ReadSetupOrComplain(setup, &summary)) return EXIT_FAULT;
  if (json) {
    PrintJson(AsWritten(summary));
  } else {
    PrintText(AsWritten(summary));
  }
  return EXIT_OK;
}
