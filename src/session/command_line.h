// The program's command line: /S <path> names the file that holds the setup archive,
// /DEL marks the program's own file for deletion at the next system start, /Q installs
// without the wizard, and /D=<folder>, last on the line, names the installation folder.
#pragma once

// Parses text into SourcePath, DeleteSelfFlag, QuietInstall and InstallDirSwitch. Switches
// start with '-' or '/', letters in either case; unknown letters are ignored. text must
// outlive the session: InstallDirSwitch points into it.
void ParseCommandLine(const char* text);

// The folder of /D= into InstallDir, blanks at its end left out and quotes around it
// removed. False, InstallDir unchanged, for an empty folder or one too long for the
// installation's paths; true without the switch.
bool ApplyInstallDirSwitch();
