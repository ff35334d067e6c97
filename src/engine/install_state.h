// The installation's state: the walk over the file table, the run's error, what the disk
// check found, and what is started after the last page.
#pragma once

#include <cstdint>

#include "archive/text_numbers.h"  // the messages the errors are numbers of

struct FileEntry;

// The walk of the installation run (reset when the data area opens).
constexpr uint32_t ENTRY_INDEX_NONE = 0xFFFFFFFFu;  // before the first step
extern FileEntry* EntryCursor;  // the record that the next file step takes
extern uint32_t EntryIndex;     // index of the record being installed
// Takes the next record for a file step: raises EntryIndex and returns EntryCursor, moving
// the cursor on; null once the table is exhausted.
FileEntry* TakeNextEntry();

// The run's errors, each the index of its message in the message list, whose "%s" names
// ErrorPath.
enum InstallErrorNumber : uint32_t {
  INSTALL_OK = 0,
  INSTALL_ERROR_PROTECTED = MESSAGE_NOT_WRITABLE,      // an existing target cannot be made writable
  INSTALL_ERROR_IN_USE = MESSAGE_IN_USE_DIFFERENT,     // a shared file in use differs from the one to install
  INSTALL_ERROR_NO_SPACE = MESSAGE_LOW_DISK_SPACE,     // not enough free space on the target drive
  INSTALL_ERROR_OPEN = MESSAGE_CANNOT_READ,            // a file cannot be opened for reading
  INSTALL_ERROR_CREATE = MESSAGE_NO_TEMPORARY_FILE,    // the temporary file cannot be created or written
  INSTALL_ERROR_CHECKSUM = MESSAGE_DAMAGED_COPY,       // the written file differs from the record
  INSTALL_ERROR_NOT_PLACED = MESSAGE_CANNOT_REPLACE,   // a file could not be moved into place
};
extern uint32_t InstallError;  // 0, or the InstallErrorNumber that stopped the run
// The system's error code behind InstallError (a write that failed: the disk is full), told
// below the message; 0 when there is none.
extern uint32_t InstallErrorReason;
// Set when a run has gone through FinishInstallation, failed or not: an installation that
// never ran is never reported as done.
extern bool InstallRunFinished;

// What the run did for each record of the file table beyond its status, one byte of
// ENTRY_MARK_* bits per record; null when the memory could not be had, and then nothing is
// marked (and so nothing recorded that needs a mark). Made when the data area opens.
constexpr uint8_t ENTRY_MARK_DESKTOP_LINK = 1;  // its desktop shortcut was saved
constexpr uint8_t ENTRY_MARK_COUNT_RAISED = 2;  // its "SharedDLLs" count was raised
constexpr uint8_t ENTRY_MARK_COUNT_LISTED = 4;  // a file record with UNINSTALL_SHARED lists it
extern uint8_t* EntryMarks;
void MarkEntry(uint32_t index, uint8_t mark);
bool EntryMarked(uint32_t index, uint8_t mark);

// What the installation shows, handed in by the wizard's progress page (the engine lies
// below the wizard). Any of them may be null: nothing is shown then, and a question is
// answered by its default (Ignore, No).
struct InstallDisplay {
  void (*showCurrentFile)(const char* path);
  void (*setProgress)(uint32_t percent);
  // Shows message n of the message list (a "%s" in it names ErrorPath) in a box of the given
  // style; the button pressed (IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE).
  int (*askMessage)(uint32_t n, uint32_t style);
  // The run has finished (the whole wizard runs): the wizard moves on to what follows.
  void (*finished)();
};
extern InstallDisplay Display;

// Set by CheckTargets when an existing target had the read-only attribute.
extern bool ProtectedFilesFound;

// After-wizard actions, set during installation and cleared by a failure or an abort.
extern FileEntry* ScreenSaverEntry;
extern FileEntry* RunAtEndEntry;
extern FileEntry* OpenAtEndEntry;
extern bool RunAtEndChecked;  // the user's consent to start RunAtEndEntry; initially true
// A failure or an abort: nothing runs after the wizard.
void ClearAfterWizardActions();

// Sets ErrorPath to path (cut to its buffer).
void SetErrorPath(const char* path);
// Stops the run with error number about path, and the system's reason when it is not 0.
void SetInstallError(uint32_t number, const char* path, uint32_t reason);
