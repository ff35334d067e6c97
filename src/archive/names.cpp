// The grammar of stored names (names.h).
#include "archive/names.h"

#include "base/text_format.h"

namespace {

constexpr uint32_t RELATIVE_PREFIX_LENGTH = 2;  // ".\" in front of a subdirectory
constexpr uint32_t DRIVE_LENGTH = 2;            // "C:"
constexpr uint32_t UNC_PREFIX_LENGTH = 2;       // "\\" in front of a server
constexpr uint8_t FIRST_PRINTABLE = 0x20;

// The device names that Windows opens instead of a file of that name, with any extension.
constexpr const char* RESERVED_DEVICES[] = {"CON", "PRN", "AUX", "NUL"};
constexpr const char* NUMBERED_DEVICES[] = {"COM", "LPT"};  // followed by 1 to 9
constexpr uint32_t DEVICE_NAME_LENGTH = 3;

bool IsForbiddenInName(char c) {
  return c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
         c == '|';
}

bool SameFolded(const char* text, const char* upper, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    if (UpperAscii(text[i]) != upper[i]) return false;
  }
  return true;
}

// The name's stem (the part before its first dot) is a device's name.
bool IsReservedDevice(const char* text, uint32_t length) {
  uint32_t stem = 0;
  while (stem < length && text[stem] != '.') ++stem;
  if (stem == DEVICE_NAME_LENGTH) {
    for (const char* device : RESERVED_DEVICES) {
      if (SameFolded(text, device, DEVICE_NAME_LENGTH)) return true;
    }
  }
  if (stem == DEVICE_NAME_LENGTH + 1 && text[DEVICE_NAME_LENGTH] >= '1' && text[DEVICE_NAME_LENGTH] <= '9') {
    for (const char* device : NUMBERED_DEVICES) {
      if (SameFolded(text, device, DEVICE_NAME_LENGTH)) return true;
    }
  }
  return false;
}

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

NameFault CheckNamePart(const char* text, uint32_t length) {
  if (length == 0) return NAME_EMPTY;
  if (text[0] == '.' && (length == 1 || (length == 2 && text[1] == '.'))) return NAME_DOT_PART;
  if (length > NAME_PART_MAX) return NAME_TOO_LONG;
  for (uint32_t i = 0; i < length; ++i) {
    if (uint8_t(text[i]) < FIRST_PRINTABLE) return NAME_CONTROL_CHARACTER;
    if (IsForbiddenInName(text[i])) return NAME_BAD_CHARACTER;
  }
  if (text[length - 1] == '.' || text[length - 1] == ' ') return NAME_TRAILING_DOT_OR_SPACE;
  return IsReservedDevice(text, length) ? NAME_RESERVED_DEVICE : NAME_OK;
}

NameFault CheckNamePath(const char* text, uint32_t length) {
  uint32_t start = 0;
  for (uint32_t i = 0; i <= length; ++i) {
    if (i < length && text[i] != '\\') continue;
    const NameFault fault = CheckNamePart(text + start, i - start);
    if (fault != NAME_OK) return fault;
    start = i + 1;
  }
  return NAME_OK;
}

NameFault CheckKeyName(const char* text, uint32_t length) {
  if (length == 0) return NAME_EMPTY;
  if (length > KEY_NAME_MAX) return NAME_TOO_LONG;
  for (uint32_t i = 0; i < length; ++i) {
    if (uint8_t(text[i]) < FIRST_PRINTABLE) return NAME_CONTROL_CHARACTER;
    if (text[i] == '\\') return NAME_BAD_CHARACTER;
  }
  return NAME_OK;
}

uint32_t NormaliseNamePath(char* text) {
  // Parts are copied down one at a time; out never passes in, so the copy is safe in place.
  uint32_t out = 0;
  uint32_t in = 0;
  for (;;) {
    while (text[in] == '\\' || text[in] == '/') ++in;  // separators before a part
    if (text[in] == '\0') break;
    uint32_t end = in;
    while (text[end] != '\0' && text[end] != '\\' && text[end] != '/') ++end;
    const bool dot = end - in == 1 && text[in] == '.';
    if (!dot) {
      if (out != 0) text[out++] = '\\';
      while (in < end) text[out++] = text[in++];
    }
    in = end;
  }
  text[out] = '\0';
  return out;
}

bool IsRelativeRecordDirectory(const char* text, uint32_t length) {
  if (length == 1) return text[0] == '.';
  return length > RELATIVE_PREFIX_LENGTH && text[0] == '.' && text[1] == '\\' &&
         CheckNamePath(text + RELATIVE_PREFIX_LENGTH, length - RELATIVE_PREFIX_LENGTH) == NAME_OK;
}

bool IsAbsoluteRecordDirectory(const char* text, uint32_t length) {
  if (length >= DRIVE_LENGTH && IsDriveLetter(text[0]) && text[1] == ':') {
    return length == DRIVE_LENGTH ||
           (text[DRIVE_LENGTH] == '\\' &&
            CheckNamePath(text + DRIVE_LENGTH + 1, length - DRIVE_LENGTH - 1) == NAME_OK);
  }
  return length > UNC_PREFIX_LENGTH && text[0] == '\\' && text[1] == '\\' &&
         CheckNamePath(text + UNC_PREFIX_LENGTH, length - UNC_PREFIX_LENGTH) == NAME_OK;
}

bool UninstallTakesFileRecord(const char* directory, uint32_t directoryLength, const char* name,
                              uint32_t nameLength) {
  return (IsRelativeRecordDirectory(directory, directoryLength) ||
          IsAbsoluteRecordDirectory(directory, directoryLength)) &&
         CheckNamePart(name, nameLength) == NAME_OK;
}

bool UninstallTakesShortcutRecord(const char* folder, uint32_t folderLength, const char* link,
                                  uint32_t linkLength) {
  if (!IsAbsoluteRecordDirectory(folder, folderLength) || CheckNamePart(link, linkLength) != NAME_OK ||
      linkLength <= SHORTCUT_SUFFIX_LENGTH) {
    return false;
  }
  const char* suffix = link + linkLength - SHORTCUT_SUFFIX_LENGTH;
  for (uint32_t i = 0; i < SHORTCUT_SUFFIX_LENGTH; ++i) {
    if (UpperAscii(suffix[i]) != UpperAscii(SHORTCUT_SUFFIX[i])) return false;
  }
  return true;
}
