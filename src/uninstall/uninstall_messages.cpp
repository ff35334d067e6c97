// The uninstall program's messages. Its texts come from its own archive; when that is
// missing (a program run without the data a setup gives it), one fallback says so.
#include "uninstall/uninstall_messages.h"

#include <windows.h>

#include "base/memory.h"
#include "base/text_format.h"
#include "uninstall/uninstall.h"

namespace {

constexpr uint32_t MESSAGE_SIZE = 2 * REPORT_SIZE;
constexpr char FALLBACK_TITLE[] = "Uninstall";
constexpr char FALLBACK_DAMAGED[] = "The uninstall information is missing or damaged. Nothing was removed.";

// Text n of the archive into buffer (MESSAGE_SIZE bytes); empty when the archive lacks it.
void UninstallTextInto(UninstallText n, char* buffer) {
  if (!CopyCounted(Removal.texts[n], buffer, MESSAGE_SIZE)) buffer[0] = '\0';
}

// The message's three texts take a block of the heap: on the stack they would be a frame
// larger than the guard page. Without memory nothing is shown and 0 answered, as by a
// message box that fails: no question is taken as a yes.
int Show(UninstallText n, const char* path, UINT style) {
  char* format = nullptr;
  if (!MemAlloc(3 * MESSAGE_SIZE, &format)) return 0;
  char* text = format + MESSAGE_SIZE;
  char* title = text + MESSAGE_SIZE;
  UninstallTextInto(n, format);
  FormatText(text, MESSAGE_SIZE, format, path);
  UninstallTextInto(UNINSTALL_TITLE, title);
  const int answer = MessageBoxA(nullptr, text, title[0] != '\0' ? title : FALLBACK_TITLE,
                                 style | MB_SETFOREGROUND);
  MemFree(format);
  return answer;
}

}  // namespace

bool ConfirmRemoval() {
  return SilentRemoval || Show(UNINSTALL_CONFIRM, "", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskRemoveSharedFile(const char* path) {
  return SilentRemoval ||
         Show(UNINSTALL_SHARED_QUESTION, path, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

int ReportResult(const RemovalReport& report) {
  if (report.notRemovedCount != 0) {
    if (!SilentRemoval) Show(UNINSTALL_NOT_REMOVED, report.notRemoved, MB_OK | MB_ICONWARNING);
    return EXIT_NOT_ALL_REMOVED;
  }
  if (report.atRestartCount != 0) {
    if (!SilentRemoval) Show(UNINSTALL_DONE_AT_RESTART, report.atRestart, MB_OK | MB_ICONINFORMATION);
    return EXIT_DONE_AT_RESTART;
  }
  if (!SilentRemoval) Show(UNINSTALL_DONE, "", MB_OK | MB_ICONINFORMATION);
  return EXIT_DONE;
}

int ReportNothingRemoved() {
  if (SilentRemoval) return EXIT_NOTHING_REMOVED;
  if (Removal.texts[UNINSTALL_DAMAGED].length != 0) {
    Show(UNINSTALL_DAMAGED, "", MB_OK | MB_ICONSTOP);
  } else {
    MessageBoxA(nullptr, FALLBACK_DAMAGED, FALLBACK_TITLE, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
  }
  return EXIT_NOTHING_REMOVED;
}
