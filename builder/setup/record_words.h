// The words a manifest writes for the program's numbered settings, and that `lodrun list`
// shows for them: one table per setting, so that the reader and the lister cannot drift.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct NamedValue {
  const char* word;
  uint32_t value;
};
// Where a value has several words (a registry root's short name), the first is the one shown.
using WordTable = std::vector<NamedValue>;

extern const WordTable DESTINATION_WORDS;
extern const WordTable MODE_WORDS;
extern const WordTable REGISTRATION_WORDS;
extern const WordTable END_ACTION_WORDS;
extern const WordTable PAGE_WORDS;
extern const WordTable REGISTRY_ROOT_WORDS;

// The word shown for a value; a value the program reads as another is shown as that one.
const char* WordOf(const WordTable& table, uint32_t value, uint32_t otherwise);

// Whether the value is one of the table's (the program reads any other as a default).
bool HasValue(const WordTable& table, uint32_t value);

// Whether the word is one of the table's; its value goes to *value.
bool ValueOf(const WordTable& table, const std::string& word, uint32_t* value);

// The table's words, in order.
std::vector<std::string> WordsOf(const WordTable& table);

// "\"a\", \"b\" or \"c\"": the words for a message.
std::string Quoted(const std::vector<std::string>& words);
