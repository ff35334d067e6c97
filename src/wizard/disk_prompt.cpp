// The disk prompt: message boxes of the wizard, handed to the data area's reader.
#include "wizard/disk_prompt.h"

#include <windows.h>

#include "archive/page_texts.h"
#include "engine/install_state.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_state.h"
#include "wizard/wizard.h"

namespace {

// The decimal digits of a u32.
constexpr uint32_t NUMBER_DIGITS = 10;

// Whether every '%' of text is "%%" or the one "%d".
bool IsDiskFormat(const char* text) {
  int numbers = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
    } else if (p[1] == 'd' && numbers++ == 0) {
      ++p;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

void FormatDiskPrompt(char* buffer, uint32_t diskNumber) {
  const char* message = PageText(MESSAGE_LIST, MESSAGE_INSERT_DISK);
  const bool format = IsDiskFormat(message);
  char digits[NUMBER_DIGITS];
  uint32_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + diskNumber % 10);
    diskNumber /= 10;
  } while (diskNumber != 0);
  uint32_t used = 0;
  // The text stays below DISK_PROMPT_SIZE bytes: every write checks the room left.
  for (const char* p = message; *p != '\0' && used < DISK_PROMPT_SIZE - 1; ++p) {
    if (format && p[0] == '%' && p[1] == 'd') {
      for (uint32_t i = count; i > 0 && used < DISK_PROMPT_SIZE - 1; --i) buffer[used++] = digits[i - 1];
      ++p;
      continue;
    }
    if (format && p[0] == '%' && p[1] == '%') ++p;
    buffer[used++] = *p;
  }
  buffer[used] = '\0';
}

bool AskForNextDisk(uint32_t diskNumber) {
  char prompt[DISK_PROMPT_SIZE];
  FormatDiskPrompt(prompt, diskNumber);
  if (ShowMessage(prompt, DISK_PROMPT_STYLE) == IDOK) return true;
  if (ShowMessage(PageText(MESSAGE_LIST, MESSAGE_STOP_QUESTION), QUESTION_STYLE) != IDYES) return true;
  ShowMessage(PageText(MESSAGE_LIST, MESSAGE_ABORTED_NOTICE), NOTICE_STYLE);
  EndPage(BUTTON_CANCEL);
  ScreenSaverEntry = nullptr;
  RunAtEndEntry = nullptr;
  OpenAtEndEntry = nullptr;
  return false;
}
