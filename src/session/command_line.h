// The program's command line: /S <path> names the file that holds the setup archive,
// /DEL marks the program's own file for deletion at the next system start.
#pragma once

// Parses text into SourcePath and DeleteSelfFlag. Switches start with '-' or '/', letters
// in either case; unknown letters are ignored.
void ParseCommandLine(const char* text);
