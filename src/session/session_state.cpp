// The definitions of the session's state.
#include "session/session.h"

bool DeleteSelfFlag = false;
int ScreenWidth = 0;
int ScreenHeight = 0;
