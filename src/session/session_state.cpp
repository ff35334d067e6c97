// The definitions of the session's state.
#include "session/session.h"

bool DeleteSelfFlag = false;
bool QuietInstall = false;
const char* InstallDirSwitch = nullptr;
int ScreenWidth = 0;
int ScreenHeight = 0;
