// The uninstall program's archive read into what it removes: its texts, the files and
// shortcuts the setups recorded and the Uninstall keys. Every count and every string is
// checked against the bytes before anything is taken from them, so that damaged data are
// refused as a whole and nothing is removed on their word.
#pragma once

#include <cstdint>

#include "archive/archive_format.h"

// A counted string of the archive, in place in the loaded bytes (not terminated).
struct CountedText {
  const char* text = nullptr;
  uint32_t length = 0;
};

struct RemovalFile {
  CountedText directory;  // "." or ".\sub" below the installation directory, else absolute
  CountedText name;
  uint8_t flags = 0;      // UNINSTALL_SHARED, UNINSTALL_FONT, UNINSTALL_SELF_REGISTERED
  bool created = false;   // an UNINSTALL_CREATED block says the setup created the file
};

struct RemovalShortcut {
  CountedText folder;  // the program group's folder, absolute
  CountedText link;    // its file name, ending in SHORTCUT_SUFFIX
};

// Everything in installation order: the records of every UNINSTALL_FILES block (a setup run
// again over a kept uninstall program appends a second set), and so on.
struct RemovalList {
  CountedText texts[UNINSTALL_TEXTS_KNOWN];
  RemovalFile* files = nullptr;
  uint32_t fileCount = 0;
  RemovalShortcut* shortcuts = nullptr;
  uint32_t shortcutCount = 0;
  CountedText* appKeys = nullptr;  // key paths under HKEY_LOCAL_MACHINE
  uint32_t appKeyCount = 0;
  CountedText* counts = nullptr;   // files whose "SharedDLLs" count goes down once, kept
  uint32_t countCount = 0;
};

enum RemovalListStatus : uint32_t {
  REMOVAL_LIST_OK = 0,
  REMOVAL_LIST_EMPTY = 1,    // the archive ends without uninstall data: nothing was recorded
  REMOVAL_LIST_DAMAGED = 2,  // a count, a string or a block past its end, a name or path
                             // that is not what a setup writes, or no closing end header
  REMOVAL_LIST_NO_MEMORY = 3,
};

// Reads the archive in bytes[0, size) (the first block header at 0) into list, whose
// strings then point into bytes. On any status but REMOVAL_LIST_OK the list holds no
// records, but the texts read before the end or a fault, so that it can be told in the
// setup's own words.
RemovalListStatus ReadRemovalList(const uint8_t* bytes, uint32_t size, RemovalList* list);
void FreeRemovalList(RemovalList* list);

// The text into a terminated buffer of size bytes; false (buffer emptied) when it does not
// fit.
bool CopyCounted(const CountedText& text, char* buffer, uint32_t size);

// The file's full path into a PATH_BUFFER_SIZE buffer: a relative directory below
// installDir (which ends with a backslash), an absolute one as it stands. False when it
// does not fit.
bool RemovalFilePath(const RemovalFile& file, const char* installDir, char* path);

// Whether the file's directory is the installation directory or below it.
bool IsBelowInstallDir(const RemovalFile& file);
