// The installed programs' entry block: written from its fields, read back and checked.
#include "builder/setup/app_entry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/byte_order.h"
#include "builder/io/put_fields.h"

namespace {

const char* const TEXT_NAMES[APP_ENTRY_TEXT_COUNT] = {"version", "publisher", "web address"};

}  // namespace

std::vector<uint8_t> AppEntryBlock(const AppEntry& entry) {
  std::vector<uint8_t> payload;
  PutU16(payload, entry.iconRecord);
  PutU16(payload, uint16_t(entry.iconIndex));
  for (const std::string& text : entry.texts) {
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
  }
  return payload;
}

bool ReadAppEntry(const std::vector<uint8_t>& payload, size_t recordCount, AppEntry* entry, std::string* fault) {
  *entry = AppEntry{};
  entry->present = true;
  if (payload.size() < APP_ENTRY_TEXTS) {
    *fault = "the installed programs' entry block is " + std::to_string(payload.size()) +
             " bytes long, shorter than its icon fields";
    return false;
  }
  entry->iconRecord = LoadU16LE(payload.data() + APP_ENTRY_ICON_RECORD);
  entry->iconIndex = int16_t(LoadU16LE(payload.data() + APP_ENTRY_ICON_INDEX));
  size_t at = APP_ENTRY_TEXTS;
  for (uint32_t i = 0; i < APP_ENTRY_TEXT_COUNT; ++i) {
    const void* end = at < payload.size() ? std::memchr(payload.data() + at, 0, payload.size() - at) : nullptr;
    if (end == nullptr) {
      *fault = std::string("the installed programs' entry's ") + TEXT_NAMES[i] + " is not ended inside its block";
      return false;
    }
    const size_t length = size_t(static_cast<const uint8_t*>(end) - payload.data()) - at;
    entry->texts[i].assign(reinterpret_cast<const char*>(payload.data() + at), length);
    if (length > MAX_APP_ENTRY_TEXT) {
      *fault = std::string("the installed programs' entry's ") + TEXT_NAMES[i] + " is " + std::to_string(length) +
               " bytes long; the program holds at most " + std::to_string(MAX_APP_ENTRY_TEXT);
      return false;
    }
    at += length + 1;
  }
  if (entry->iconRecord != APP_ENTRY_NO_ICON && entry->iconRecord >= recordCount) {
    *fault = "the installed programs' entry takes its icon from file record " + std::to_string(entry->iconRecord + 1) +
             " of " + std::to_string(recordCount);
    return false;
  }
  return true;
}

bool SplitDisplayIcon(const std::string& text, std::string* target, int16_t* index) {
  *target = text;
  *index = 0;
  const size_t comma = text.rfind(',');
  if (comma == std::string::npos) return true;
  const std::string number = text.substr(comma + 1);
  const size_t digits = number.find_first_not_of(' ');
  const bool signedNumber = digits != std::string::npos &&
                            number.find_first_not_of("0123456789", number[digits] == '-' ? digits + 1 : digits) ==
                                std::string::npos &&
                            number.size() > digits + (number[digits] == '-' ? 1 : 0);
  if (!signedNumber) return true;  // a comma of the file's name
  errno = 0;
  const long value = std::strtol(number.c_str(), nullptr, 10);
  if (errno == ERANGE || value < INT16_MIN || value > INT16_MAX) return false;
  *target = text.substr(0, comma);
  *index = int16_t(value);
  return true;
}
