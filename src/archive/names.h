// The grammar of the names a setup stores: file and folder names, the paths they form, the
// application's key name, and the directories of the uninstall data. One grammar for the
// builder (which refuses or normalises a manifest's names), the engine (which writes only
// records that the uninstall program reads) and the uninstall program (which refuses data
// that a setup would not write). Texts are ANSI bytes; bytes from 0x80 up are characters
// of the code page and pass.
#pragma once

#include <cstdint>

// The extension a shortcut's name gets as a file, which the engine saves it under, the
// uninstall program removes and the builder measures.
constexpr char SHORTCUT_SUFFIX[] = ".lnk";
constexpr uint32_t SHORTCUT_SUFFIX_LENGTH = sizeof(SHORTCUT_SUFFIX) - 1;

// The longest name of one file, folder or registry key that Windows stores.
constexpr uint32_t NAME_PART_MAX = 255;
constexpr uint32_t KEY_NAME_MAX = 255;

// What is wrong with a name; NAME_OK when nothing is.
enum NameFault : uint32_t {
  NAME_OK = 0,
  NAME_EMPTY = 1,              // an empty name, or an empty part between separators
  NAME_DOT_PART = 2,           // a part "." or ".."
  NAME_BAD_CHARACTER = 3,      // one of \ / : * ? " < > | where it cannot stand
  NAME_CONTROL_CHARACTER = 4,  // a byte below 0x20
  NAME_TRAILING_DOT_OR_SPACE = 5,  // Windows drops them, so two names would meet in one
  NAME_RESERVED_DEVICE = 6,    // CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, any extension
  NAME_TOO_LONG = 7,           // a part or key name over its maximum
};

// One file or folder name.
NameFault CheckNamePart(const char* text, uint32_t length);
// Names parted by single backslashes (a file name below its folder, a group folder).
NameFault CheckNamePath(const char* text, uint32_t length);
// One registry key name: anything but a backslash or a control character.
NameFault CheckKeyName(const char* text, uint32_t length);

// Rewrites a relative path in place into the form the grammar reads: slashes become
// backslashes, doubled separators one, and "." parts go. The new length.
uint32_t NormaliseNamePath(char* text);

// The directories of the uninstall data's records: "." or ".\" and a path (below the
// installation folder), or an absolute one: "C:" (a drive's root), "C:\" and a path, or
// "\\" and a path (a server's share). Never with a trailing backslash.
bool IsRelativeRecordDirectory(const char* text, uint32_t length);
bool IsAbsoluteRecordDirectory(const char* text, uint32_t length);

// The records that the uninstall program takes. One that it would refuse voids all the
// data: the engine writes no other, and the uninstall program reads no other.
// A file record: a record directory of either kind and one file name.
bool UninstallTakesFileRecord(const char* directory, uint32_t directoryLength, const char* name,
                              uint32_t nameLength);
// A shortcut record: an absolute folder and one file name that ends in SHORTCUT_SUFFIX
// (letters compared without their case) behind at least one character.
bool UninstallTakesShortcutRecord(const char* folder, uint32_t folderLength, const char* link,
                                  uint32_t linkLength);
