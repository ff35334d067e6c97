// Shortening a path for a line of limited width.
#pragma once

#include <cstdint>

// Shortens path in place to about limit characters: the leading folders that fit, then
// "...", then the last backslash and the file name, which is never cut (so the result may
// exceed limit by up to three characters). A path without two backslashes at least four
// characters apart stays as it is.
void ShortenPath(char* path, uint32_t limit);
