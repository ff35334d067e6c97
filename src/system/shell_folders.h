// The shell's folders (Programs, Desktop, Fonts) and the paths of links in them, as both
// programs find them.
#pragma once

#include "archive/names.h"  // SHORTCUT_SUFFIX

// The path of the folder that the shell names by csidl, in a PATH_BUFFER_SIZE buffer; false,
// leaving it empty, when the shell names none.
bool ShellFolderPath(int csidl, char* path);

// Appends "\", name and SHORTCUT_SUFFIX to path (no backslash behind an empty path or one
// that ends with it); false, leaving the path unchanged, when it would not fit.
bool AppendLinkName(char* path, const char* name);

// Writes the path of the desktop shortcut name + SHORTCUT_SUFFIX into linkPath
// (PATH_BUFFER_SIZE bytes). False, leaving linkPath empty, when the shell names no desktop
// folder or the path would not fit.
bool DesktopShortcutPath(const char* name, char* linkPath);
