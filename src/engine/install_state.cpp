// The definitions of the installation's state.
#include "engine/install_state.h"

FileEntry* ScreenSaverEntry = nullptr;
FileEntry* RunAtEndEntry = nullptr;
FileEntry* OpenAtEndEntry = nullptr;
bool RunAtEndChecked = true;
