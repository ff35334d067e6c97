// Opening the data area: the run's state starts over at the first record.
#include "engine/open_data_area.h"

#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"

bool OpenDataArea(DiskPrompt prompt) {
  InstallError = INSTALL_OK;
  InstallErrorReason = 0;
  InstallRunFinished = false;
  MemFree(EntryMarks);
  if (EntryCount() != 0) MemAllocZero(EntryCount(), &EntryMarks);  // none, and nothing is marked
  EntryIndex = ENTRY_INDEX_NONE;
  EntryCursor = FirstEntry();
  if (OpenFirstVolume(prompt)) return true;
  InstallError = INSTALL_ERROR_OPEN;
  SetErrorPath(VolumePath);
  return false;
}
