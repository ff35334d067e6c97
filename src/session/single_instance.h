// One setup at a time: a second start brings the running one to the front and ends.
#pragma once

// When a main window of this program already exists: brings it (or its last active pop-up)
// to the front, restored if minimised, and returns true.
bool ActivateRunningInstance();
