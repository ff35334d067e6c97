#include "builder/setup/record_words.h"

#include "archive/archive_format.h"

const WordTable DESTINATION_WORDS = {
    {"install", DIR_INSTALL}, {"windows", DIR_WINDOWS}, {"system", DIR_SYSTEM}, {"fonts", DIR_FONTS}};
const WordTable MODE_WORDS = {{"remove", MODE_REMOVE}, {"keep", MODE_KEEP}, {"external", MODE_EXTERNAL}};
const WordTable REGISTRATION_WORDS = {
    {"none", REGISTER_NONE}, {"screen-saver", REGISTER_SCREEN_SAVER}, {"com-server", REGISTER_COM_SERVER}};
const WordTable END_ACTION_WORDS = {{"none", END_NONE}, {"open", END_OPEN}, {"run", END_RUN}};
// start_page's words: the pages in the order the program shows them.
const WordTable PAGE_WORDS = {{"welcome", 0}, {"information", 1}, {"directory", 2}, {"confirmation", 3},
                              {"progress", 4},  {"finish", 5},      {"closing", 6}};
static_assert(LAST_PAGE == 6, "one word per page");
const WordTable REGISTRY_ROOT_WORDS = {
    {"HKEY_CLASSES_ROOT", DIR_REG_CLASSES_ROOT}, {"HKEY_CURRENT_USER", DIR_REG_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", DIR_REG_LOCAL_MACHINE}, {"HKEY_USERS", DIR_REG_USERS},
    {"HKCR", DIR_REG_CLASSES_ROOT}, {"HKCU", DIR_REG_CURRENT_USER},
    {"HKLM", DIR_REG_LOCAL_MACHINE}, {"HKU", DIR_REG_USERS}};

const char* WordOf(const WordTable& table, uint32_t value, uint32_t otherwise) {
  for (const NamedValue& named : table) {
    if (named.value == value) return named.word;
  }
  for (const NamedValue& named : table) {
    if (named.value == otherwise) return named.word;
  }
  return "?";
}

bool HasValue(const WordTable& table, uint32_t value) {
  for (const NamedValue& named : table) {
    if (named.value == value) return true;
  }
  return false;
}

bool ValueOf(const WordTable& table, const std::string& word, uint32_t* value) {
  for (const NamedValue& named : table) {
    if (word == named.word) {
      *value = named.value;
      return true;
    }
  }
  return false;
}

std::vector<std::string> WordsOf(const WordTable& table) {
  std::vector<std::string> words;
  for (const NamedValue& named : table) words.push_back(named.word);
  return words;
}

std::string Quoted(const std::vector<std::string>& words) {
  std::string list;
  for (size_t i = 0; i < words.size(); ++i) {
    list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + ("\"" + words[i] + "\"");
  }
  return list;
}
