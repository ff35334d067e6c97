// The command line's defines and ${NAME} in a manifest's string values, expanded in the
// parsed tree before the manifest is read, so that every key's checks see the values.
#include "builder/manifest/manifest_defines.h"

#include "builder/manifest/manifest_reader.h"

namespace {

constexpr char REFERENCE_START[] = "${";
constexpr char LITERAL_START[] = "$${";

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameCharacter(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

}  // namespace

bool IsDefineName(const std::string& name) {
  if (name.empty() || !IsNameStart(name[0])) return false;
  for (char c : name) {
    if (!IsNameCharacter(c)) return false;
  }
  return true;
}

bool ParseDefine(const std::string& text, Defines* defines, std::string* error) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) {
    *error = "-D " + text + ": expected NAME=VALUE";
    return false;
  }
  const std::string name = text.substr(0, equals);
  if (!IsDefineName(name)) {
    *error = "-D " + text + ": \"" + name + "\" is not a name; expected letters, digits and _, not starting with a digit";
    return false;
  }
  (*defines)[name] = text.substr(equals + 1);
  return true;
}

bool ExpandText(const std::string& text, const Defines& defines, std::string* expanded, std::string* fault,
                size_t* at) {
  expanded->clear();
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, sizeof LITERAL_START - 1, LITERAL_START) == 0) {
      *expanded += REFERENCE_START;
      i += sizeof LITERAL_START - 1;
      continue;
    }
    if (text.compare(i, sizeof REFERENCE_START - 1, REFERENCE_START) != 0) {
      *expanded += text[i++];
      continue;
    }
    const size_t nameStart = i + sizeof REFERENCE_START - 1;
    const size_t close = text.find('}', nameStart);
    const std::string name = close == std::string::npos ? "" : text.substr(nameStart, close - nameStart);
    *at = i;
    if (!IsDefineName(name)) {
      *fault = "\"" + text.substr(i, close == std::string::npos ? std::string::npos : close + 1 - i) +
               "\" is not a define's use; expected ${NAME} (letters, digits and _), or $${ for a literal ${";
      return false;
    }
    const auto define = defines.find(name);
    if (define == defines.end()) {
      *fault = "${" + name + "} is not defined; expected -D " + name + "=VALUE on the command line";
      return false;
    }
    *expanded += define->second;
    i = close + 1;
  }
  return true;
}

namespace manifest_reading {

void ExpandDefines(toml::node& node, const std::string& key, const Defines& defines, const std::string& source,
                   std::vector<ManifestProblem>* problems) {
  if (toml::table* table = node.as_table()) {
    for (auto&& [name, value] : *table) {
      ExpandDefines(value, key.empty() ? std::string(name.str()) : key + "." + std::string(name.str()), defines,
                    source, problems);
    }
    return;
  }
  if (toml::array* array = node.as_array()) {
    for (size_t i = 0; i < array->size(); ++i) {
      ExpandDefines(*array->get(i), key + "[" + std::to_string(i) + "]", defines, source, problems);
    }
    return;
  }
  toml::value<std::string>* text = node.as_string();
  if (text == nullptr || text->get().find('$') == std::string::npos) return;
  std::string expanded, fault;
  size_t at = 0;
  if (ExpandText(text->get(), defines, &expanded, &fault, &at)) {
    text->get() = expanded;
    return;
  }
  // Where the manifest has the use, when it is written there as it reads (no escapes).
  const toml::source_region& where = node.source();
  const size_t from = SourceOffset(source, uint32_t(where.begin.line), uint32_t(where.begin.column));
  const size_t to = SourceOffset(source, uint32_t(where.end.line), uint32_t(where.end.column));
  const size_t close = text->get().find('}', at);
  const std::string use = text->get().substr(at, close == std::string::npos ? std::string::npos : close + 1 - at);
  const size_t found = from == std::string::npos ? from : source.find(use, from);
  if (found == std::string::npos || (to != std::string::npos && found >= to)) {
    problems->push_back({uint32_t(where.begin.line), uint32_t(where.begin.column), key, fault});
    return;
  }
  const auto [line, column] = SourcePlace(source, found);
  problems->push_back({line, column, key, fault});
}

}  // namespace manifest_reading
