// Opening the data area: the run's state starts over at the first record.
#include "engine/open_data_area.h"

#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"

bool OpenDataArea(DiskPrompt prompt) {
  InstallError = 0;
  EntryIndex = ENTRY_INDEX_NONE;
  EntryCursor = FirstEntry();
  if (OpenFirstVolume(prompt)) return true;
  InstallError = ERROR_DATA_AREA;
  SetErrorPath(VolumePath);
  return false;
}
