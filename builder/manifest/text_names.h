// The names by which a manifest addresses the setup's texts: a section per page (and for
// the messages and the buttons) and a name per text, in place of list and string numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One text a manifest may set: [texts.<section>] <name> = "...".
struct TextName {
  const char* section;
  const char* name;
  uint32_t list;
  uint32_t index;
  // The one conversion the program fills into this text ('s' a path or message, 'd' a
  // number), or 0 for a text shown as it stands.
  char conversion;
};

// Every text a manifest may set, section by section.
const std::vector<TextName>& TextNames();

// The entry of section.name, or null.
const TextName* FindTextName(const std::string& section, const std::string& name);

// The section names, in order.
std::vector<std::string> TextSections();

// Empty when text suits its entry: where the program fills in a conversion, exactly one "%s"
// or "%d" and no other '%' but doubled ones ("%%"); any text elsewhere, which is shown as it
// stands. Otherwise what is wrong.
std::string CheckTextConversion(const TextName& entry, const std::string& text);
