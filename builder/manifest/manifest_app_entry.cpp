// The [setup] keys of the installed programs' entry: app_version, publisher and url as texts
// of the setup, display_icon as one of the setup's files (and an icon index).
#include "builder/manifest/manifest_reader.h"
#include "builder/setup/record_check.h"

namespace manifest_reading {

namespace {

// The keys of the entry's texts, in the block's order (APP_ENTRY_VERSION, ...).
const char* const TEXT_KEYS[APP_ENTRY_TEXT_COUNT] = {"app_version", "publisher", "url"};
constexpr char ICON_KEY[] = "display_icon";

}  // namespace

void ManifestReader::ReadAppEntry(const toml::table& setup) {
  for (uint32_t i = 0; i < APP_ENTRY_TEXT_COUNT; ++i) {
    if (setup.get(TEXT_KEYS[i]) == nullptr) continue;
    manifest.appEntry.present = true;
    if (String(setup, TEXT_KEYS[i], "setup", &manifest.appEntry.texts[i])) {
      NotTooLong(setup, TEXT_KEYS[i], "setup", manifest.appEntry.texts[i]);
    }
  }
  displayIcon = setup.get(ICON_KEY);
  if (displayIcon == nullptr) return;
  manifest.appEntry.present = true;
  std::string text;
  if (!SourceString(setup, ICON_KEY, "setup", &text)) displayIcon = nullptr;
}

void ManifestReader::ResolveDisplayIcon() {
  if (displayIcon == nullptr) return;
  const std::string key = std::string("setup.") + ICON_KEY;
  std::string target, encoded;
  int16_t index = 0;
  if (!SplitDisplayIcon(displayIcon->value<std::string>().value_or(""), &target, &index)) {
    Problem(*displayIcon, key, "the icon index after the last comma is out of range; expected -32768 to 32767");
    return;
  }
  if (!Encoded(*displayIcon, key, target, &encoded)) return;
  // Compared as the program's Windows compares the files' targets.
  FileRecord named;
  named.name = NormalisedPath(encoded);
  for (size_t i = 0; i < manifest.files.size(); ++i) {
    named.dirCode = manifest.files[i].record.dirCode;
    if (TargetKey(named, codePage) != TargetKey(manifest.files[i].record, codePage)) continue;
    if (i >= APP_ENTRY_NO_ICON) {
      Problem(*displayIcon, key, "names file record " + std::to_string(i + 1) + ", beyond the block's icon field; expected one of the first " + std::to_string(APP_ENTRY_NO_ICON) + " files");
      return;
    }
    manifest.appEntry.iconRecord = uint16_t(i);
    manifest.appEntry.iconIndex = index;
    return;
  }
  Problem(*displayIcon, key, "\"" + target + "\" is none of the setup's files; expected the target of one of its " +
                                 "[[files]] (its name in the installation), optionally followed by \",N\", the icon's index");
}

}  // namespace manifest_reading
