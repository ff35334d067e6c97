// lodrun list: a setup's settings and a table of its files, as text or as JSON.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

#include "builder/setup/data_area_writer.h"
#include "builder/setup/record_words.h"
#include "builder/setup/setup_reader.h"
#include "builder/tool/commands.h"

const char LIST_HELP[] =
    "Usage: lodrun list SETUP.exe [--json]\n"
    "Shows a setup's settings and its files: name, destination, mode, size, packed size,\n"
    "ratio, flags and shortcuts.\n"
    "\n"
    "  --json    one JSON object, for scripts\n";

namespace {

// list --json's layout; a change that scripts reading it would notice counts it up.
constexpr int LIST_JSON_FORMAT = 1;
// The file records' checksum, as the program and the builder name its function.
constexpr char CHECKSUM_KIND[] = "FileChecksum";

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

// "60 ms slices, 5 ms apart", or "back to back" for a gap of 0; a slice of 0 is the
// program's one file per tick.
std::string PacingText(uint32_t pacing) {
  const std::string gap =
      PacingGapMs(pacing) == 0 ? "back to back" : std::to_string(PacingGapMs(pacing)) + " ms apart";
  if (PacingSliceMs(pacing) == 0) return "one file per tick, " + gap;
  return std::to_string(PacingSliceMs(pacing)) + " ms slices, " + gap;
}

// [setup] display_icon as the manifest writes it: the icon's file and index; empty for none.
std::string DisplayIcon(const SetupSummary& s) {
  const AppEntry& entry = s.appEntry;
  if (!entry.present || entry.iconRecord == APP_ENTRY_NO_ICON || entry.iconRecord >= s.records.size()) return "";
  return s.records[entry.iconRecord].name + "," + std::to_string(entry.iconIndex);
}

double Ratio(const FileRecord& record) {
  return record.size == 0 ? 100.0 : 100.0 * double(record.packedSize) / double(record.size);
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
  if (s.appEntry.present) {
    const std::string icon = DisplayIcon(s);
    std::printf("app version:       %s\n", s.appEntry.texts[APP_ENTRY_VERSION].c_str());
    std::printf("publisher:         %s\n", s.appEntry.texts[APP_ENTRY_PUBLISHER].c_str());
    std::printf("url:               %s\n", s.appEntry.texts[APP_ENTRY_URL].c_str());
    std::printf("display icon:      %s\n", icon.empty() ? "(none)" : icon.c_str());
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
  using Json = nlohmann::ordered_json;
  Json top = {{"format", LIST_JSON_FORMAT},
              {"application", s.appName},
              {"default_dir", s.defaultDir},
              {"code_page", s.codePage},
              {"change_dir", (s.setupFlags & SETUP_FLAG_CHANGE_DIR) != 0},
              {"full_screen", (s.setupFlags & SETUP_FLAG_FULL_SCREEN) != 0},
              {"background_title", s.backgroundTitle},
              {"wizard_picture", s.wizardPicture},
              {"background_picture", s.backgroundPicture},
              {"start_page", s.startPage == START_PAGE_ALL ? "all" : WordOf(PAGE_WORDS, s.startPage, 0)},
              {"install_slice_ms", PacingSliceMs(s.installPacing)},
              {"install_gap_ms", PacingGapMs(s.installPacing)},
              {"app_version", s.appEntry.texts[APP_ENTRY_VERSION]},
              {"publisher", s.appEntry.texts[APP_ENTRY_PUBLISHER]},
              {"url", s.appEntry.texts[APP_ENTRY_URL]},
              {"display_icon", DisplayIcon(s).empty() ? Json() : Json(DisplayIcon(s))},
              {"size", s.fileSize},
              {"program_size", s.imageSize},
              {"volumes", s.volumes.size()},
              {"files", Json::array()}};
  for (const FileRecord& r : s.records) {
    Json file = {{"name", r.name},
                 {"destination", WordOf(DESTINATION_WORDS, r.dirCode, DIR_INSTALL)},
                 {"mode", WordOf(MODE_WORDS, r.installMode, MODE_KEEP)},
                 {"size", r.size},
                 {"packed_size", r.packedSize},
                 {"checksum", r.checksum},
                 {"checksum_kind", CHECKSUM_KIND},
                 {"shared", r.shared == 1},
                 {"uninstaller", (r.flags & FE_UNINSTALLER) != 0},
                 {"check_version", (r.flags & FE_VERSION_CHECK) != 0},
                 {"check_language", (r.flags & FE_LANGUAGE_CHECK) != 0},
                 {"register", WordOf(REGISTRATION_WORDS, r.registration, REGISTER_NONE)},
                 {"at_end", WordOf(END_ACTION_WORDS, r.endAction, END_NONE)},
                 {"icon_index", r.iconIndex}};
    if (HasVersionBlock(r)) {
      file["file_version"] = Version(r.fileVersionMS, r.fileVersionLS);
      file["product_version"] = Version(r.productVersionMS, r.productVersionLS);
      file["language"] = r.language;
    }
    file["program_group"] = {{"folder", r.groupFolder}, {"shortcut", r.groupShortcut}, {"arguments", r.groupArguments}};
    file["desktop"] = {{"shortcut", r.desktopShortcut}, {"arguments", r.desktopArguments}};
    top["files"].push_back(std::move(file));
  }
  // Texts a code page leaves undefined come out as U+FFFD rather than stopping the output.
  std::printf("%s\n", top.dump(1, ' ', false, Json::error_handler_t::replace).c_str());
}

}  // namespace

Command AddListCommand(CLI::App& lodrun) {
  struct ListArguments {
    Arguments positionals;
    bool json = false;
  };
  auto parsed = std::make_shared<ListArguments>();
  CLI::App* list = AddSubcommand(lodrun, "list", "show a setup's settings and files");
  list->add_option("setup", parsed->positionals, "the setup file");
  list->add_flag("--json", parsed->json, "one JSON object");
  return {list, LIST_HELP, [parsed] {
            std::string setup;
            if (!OnePositional(parsed->positionals, "setup", &setup)) return EXIT_USAGE;
            if (setup.empty()) {
              Complain("list needs a setup file (see lodrun list --help)");
              return EXIT_USAGE;
            }
            SetupSummary summary;
            if (!ReadSetupOrComplain(setup, &summary)) return EXIT_FAULT;
            if (parsed->json) {
              PrintJson(AsWritten(summary));
            } else {
              PrintText(AsWritten(summary));
            }
            return EXIT_OK;
          }};
}
