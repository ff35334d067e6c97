// Message boxes and message formatting.
#include "wizard/messages.h"

#include <cstring>

#include "archive/page_texts.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "wizard/wizard.h"

int ShowMessage(const char* text, UINT style) {
  HWND owner = FrameDialog != nullptr ? FrameDialog : MainWindow;
  return MessageBoxA(owner, text, PageText(MESSAGE_LIST, TITLE_MESSAGE), style);
}

void FormatWithText(char* buffer, const char* format, const char* text) {
  FormatText(buffer, MESSAGE_BUFFER_SIZE, format, text);
}

void FormatMessageText(char* buffer, uint32_t n) {
  FormatWithText(buffer, PageText(MESSAGE_LIST, n), ErrorPath);
}
