// The disk prompt: message boxes of the wizard, handed to the data area's reader.
#include "wizard/disk_prompt.h"

#include <windows.h>

#include "archive/page_texts.h"
#include "wizard/messages.h"
#include "base/text_format.h"
#include "wizard/wizard.h"

void FormatDiskPrompt(char* buffer, uint32_t diskNumber) {
  FormatNumber(buffer, DISK_PROMPT_SIZE, PageText(MESSAGE_LIST, MESSAGE_INSERT_DISK), diskNumber);
}

bool AskForNextDisk(uint32_t diskNumber) {
  char prompt[DISK_PROMPT_SIZE];
  FormatDiskPrompt(prompt, diskNumber);
  if (ShowMessage(prompt, DISK_PROMPT_STYLE) == IDOK) return true;
  return !ConfirmStop(MESSAGE_STOP_INSTALLATION);
}
