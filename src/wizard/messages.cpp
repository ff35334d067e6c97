// Message boxes and message formatting.
#include "wizard/messages.h"

#include <cstring>

#include "archive/page_texts.h"
#include "base/session_paths.h"
#include "wizard/wizard.h"

namespace {

// A message is a format for the one path it gets when it holds "%s" and every other '%'
// starts "%%". A message with other conversions would make wsprintfA read arguments that
// were never passed; it is shown as it stands.
bool IsPathFormat(const char* message) {
  bool path = false;
  for (const char* p = message; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
    } else if (p[1] == 's' && !path) {
      path = true;
      ++p;
    } else {
      return false;
    }
  }
  return path;
}

}  // namespace

int ShowMessage(const char* text, UINT style) {
  HWND owner = FrameDialog != nullptr ? FrameDialog : MainWindow;
  return MessageBoxA(owner, text, PageText(MESSAGE_LIST, TITLE_MESSAGE), style);
}

void FormatWithText(char* buffer, const char* format, const char* text) {
  if (IsPathFormat(format)) {
    // wsprintfA writes at most MESSAGE_BUFFER_SIZE bytes, terminator included.
    wsprintfA(buffer, format, text);
    return;
  }
  size_t length = std::strlen(format);
  if (length > MESSAGE_BUFFER_SIZE - 1) length = MESSAGE_BUFFER_SIZE - 1;
  std::memcpy(buffer, format, length);
  buffer[length] = '\0';
}

void FormatMessageText(char* buffer, uint32_t n) {
  FormatWithText(buffer, PageText(MESSAGE_LIST, n), ErrorPath);
}
