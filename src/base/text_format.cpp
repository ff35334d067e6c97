// Texts composed in fixed buffers: a number or a text through the setup's own format, and
// texts appended with cutting.
#include "base/text_format.h"

#include <cstring>

namespace {

constexpr uint32_t MAX_DIGITS = 10;  // of a u32
constexpr int NOT_A_FORMAT = -1;

// How often "%<conversion>" stands in format (0 or 1) when every other '%' starts "%%";
// NOT_A_FORMAT for any other '%' sequence or a second conversion.
int CountConversions(const char* format, char conversion) {
  int count = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
    } else if (p[1] == conversion && count == 0) {
      count = 1;
      ++p;
    } else {
      return NOT_A_FORMAT;
    }
  }
  return count;
}

// Copies format into buffer with its "%<conversion>" replaced by value and "%%" by "%".
void Substitute(char* buffer, uint32_t size, const char* format, char conversion, const char* value) {
  buffer[0] = '\0';
  char one[2] = {0, 0};
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%') {
      ++p;  // the conversion or "%%"
      if (*p == conversion) {
        AppendCutText(buffer, size, value);
        continue;
      }
    }
    one[0] = *p;
    AppendCutText(buffer, size, one);
  }
}

void CopyAsItStands(char* buffer, uint32_t size, const char* format) {
  buffer[0] = '\0';
  AppendCutText(buffer, size, format);
}

}  // namespace

void FormatNumber(char* buffer, uint32_t size, const char* format, uint32_t number) {
  char digits[MAX_DIGITS + 1];
  char* first = digits + MAX_DIGITS;
  *first = '\0';
  do {
    *--first = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  if (CountConversions(format, 'd') == NOT_A_FORMAT) {
    CopyAsItStands(buffer, size, format);
  } else {
    Substitute(buffer, size, format, 'd', first);
  }
}

void FormatText(char* buffer, uint32_t size, const char* format, const char* text) {
  // As the system's formatting would: "%%" gives "%" with or without a "%s".
  if (CountConversions(format, 's') != NOT_A_FORMAT) {
    Substitute(buffer, size, format, 's', text);
  } else {
    CopyAsItStands(buffer, size, format);
  }
}

bool AppendText(char* buffer, uint32_t size, const char* text) {
  const size_t used = std::strlen(buffer);
  const size_t added = std::strlen(text);
  if (used + added >= size) return false;
  std::memcpy(buffer + used, text, added + 1);
  return true;
}

void AppendCutText(char* buffer, uint32_t size, const char* text) {
  const size_t used = std::strlen(buffer);
  if (used + 1 >= size) return;
  size_t length = std::strlen(text);
  if (length > size - 1 - used) length = size - 1 - used;
  std::memcpy(buffer + used, text, length);
  buffer[used + length] = '\0';
}
