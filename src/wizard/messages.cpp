// Message boxes and message formatting.
#include "wizard/messages.h"

#include <cstring>

#include "archive/page_texts.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/install_state.h"
#include "wizard/page_runner.h"
#include "wizard/wizard.h"

namespace {

// Between a message and the system's reason for it.
constexpr char REASON_SEPARATOR[] = "\r\n\r\n";

}  // namespace

int ShowMessage(const char* text, UINT style) {
  HWND owner = FrameDialog != nullptr ? FrameDialog : MainWindow;
  return MessageBoxA(owner, text, PageText(MESSAGE_LIST, TITLE_MESSAGE), style);
}

int ShowListMessage(uint32_t n, UINT style) { return ShowMessage(PageText(MESSAGE_LIST, n), style); }

bool ConfirmStop(uint32_t question) {
  if (ShowListMessage(question, QUESTION_STYLE) != IDYES) return false;
  ShowListMessage(MESSAGE_NOT_COMPLETED, NOTICE_STYLE);
  EndPage(BUTTON_CANCEL);
  ClearAfterWizardActions();
  return true;
}

void FormatWithText(char* buffer, const char* format, const char* text) {
  FormatText(buffer, MESSAGE_BUFFER_SIZE, format, text);
}

void FormatMessageText(char* buffer, uint32_t n) {
  // A message without "%s" is no format: it is copied as it stands, "%" signs and all.
  const char* message = PageText(MESSAGE_LIST, n);
  if (std::strstr(message, "%s") != nullptr) {
    FormatWithText(buffer, message, ErrorPath);
  } else {
    buffer[0] = '\0';
    AppendCutText(buffer, MESSAGE_BUFFER_SIZE, message);
  }
}

void FormatInstallError(char* buffer) {
  FormatMessageText(buffer, InstallError);
  if (InstallErrorReason == 0) return;
  // The system's words for the reason, below the message.
  char reason[MESSAGE_BUFFER_SIZE];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      InstallErrorReason, 0, reason, sizeof reason, nullptr);
  if (length == 0) return;
  AppendCutText(buffer, MESSAGE_BUFFER_SIZE, REASON_SEPARATOR);
  AppendCutText(buffer, MESSAGE_BUFFER_SIZE, reason);
}
