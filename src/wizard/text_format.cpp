// Texts of the setup composed in fixed buffers: a number through the setup's own format,
// and texts appended with cutting.
#include "wizard/text_format.h"

#include <cstring>

namespace {

constexpr uint32_t MAX_DIGITS = 10;  // of a u32

// Whether every '%' of format starts "%%" or the one "%d".
bool IsNumberFormat(const char* format) {
  bool number = false;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
    } else if (p[1] == 'd' && !number) {
      number = true;
      ++p;
    } else {
      return false;
    }
  }
  return true;
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
  const bool substitute = IsNumberFormat(format);
  buffer[0] = '\0';
  char one[2] = {0, 0};
  for (const char* p = format; *p != '\0'; ++p) {
    if (substitute && p[0] == '%') {
      ++p;  // "%d" or "%%"
      if (*p == 'd') {
        AppendCutText(buffer, size, first);
        continue;
      }
    }
    one[0] = *p;
    AppendCutText(buffer, size, one);
  }
}

void AppendCutText(char* buffer, uint32_t size, const char* text) {
  const size_t used = std::strlen(buffer);
  if (used + 1 >= size) return;
  size_t length = std::strlen(text);
  if (length > size - 1 - used) length = size - 1 - used;
  std::memcpy(buffer + used, text, length);
  buffer[used + length] = '\0';
}
