// The installation's state that outlives the wizard: what is started after the last page.
#pragma once

struct FileEntry;

// After-wizard actions, set during installation and cleared by a failure or an abort.
extern FileEntry* ScreenSaverEntry;
extern FileEntry* RunAtEndEntry;
extern FileEntry* OpenAtEndEntry;
extern bool RunAtEndChecked;  // the user's consent to start RunAtEndEntry; initially true
