// Message boxes of the setup, and the texts of the message list that they show.
#pragma once

#include <windows.h>

#include <cstdint>

#include "archive/text_numbers.h"  // the messages by number

// Styles in use: questions, notices, and the disk prompt.
constexpr UINT QUESTION_STYLE = MB_YESNO | MB_ICONQUESTION;
constexpr UINT NOTICE_STYLE = MB_OK | MB_ICONINFORMATION;
constexpr UINT DISK_PROMPT_STYLE = MB_OKCANCEL | MB_ICONINFORMATION;
constexpr UINT FAILURE_STYLE = MB_OK | MB_ICONSTOP;  // a single progress page's failed run

// The room that FormatMessageText's callers provide, terminator included (the system's
// formatting of the setup's texts writes at most this much).
constexpr uint32_t MESSAGE_BUFFER_SIZE = 1024;

// A message box owned by the frame dialog (the main window when there is none), captioned
// with the setup title; the button the user pressed (IDOK, IDYES, IDNO, ...).
int ShowMessage(const char* text, UINT style);

// Message n of the message list, as it stands, in a box of style; the button pressed.
int ShowListMessage(uint32_t n, UINT style);

// Message question of the message list asked; Yes tells that the setup was not completed,
// ends the open page as cancelled and drops what was planned for after the wizard. True
// after Yes.
bool ConfirmStop(uint32_t question);

// Message n of the message list into buffer (MESSAGE_BUFFER_SIZE bytes). A message that
// holds "%s" is a format for ErrorPath; any other message is copied as it is. A longer text
// is cut and stays terminated.
void FormatMessageText(char* buffer, uint32_t n);

// The message of InstallError into buffer (MESSAGE_BUFFER_SIZE bytes), and below it the
// system's words for InstallErrorReason when there is one.
void FormatInstallError(char* buffer);

// format with its "%s" filled with text and each "%%" giving "%" (also without a "%s") into
// buffer (MESSAGE_BUFFER_SIZE bytes); a format with any other conversion is copied as it is:
// the texts come from the setup, and none may read an argument it was not given. Cut to the
// buffer.
void FormatWithText(char* buffer, const char* format, const char* text);
