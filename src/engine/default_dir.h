// The default installation directory, resolved once at start-up from the archive's lookups
// and macros.
#pragma once

// Rewrites InstallDir (the default from the archive) by the registry lookup, else the INI
// lookup, trimmed to a directory that exists and spelt as stored; or, without a lookup, by
// a leading "#Windows#", "#System#" or "#Program Files#" macro. ScratchPath holds the INI
// lookup's default on the way.
void ResolveDefaultDir();

// Rewrites an existing directory path with the names and letter case that the file system
// stores, without a trailing backslash; a path whose components are not all found (a UNC
// path, a root) stays as it is.
void MatchStoredNames(char* path);
