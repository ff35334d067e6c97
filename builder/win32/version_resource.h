// The version resource of a Windows program or DLL, read natively from the file's bytes: the
// builder fills a file record's version block from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/io/file_bytes.h"

// The numbers of VS_FIXEDFILEINFO and the first translation of the file's version resource.
struct FileVersionInfo {
  uint32_t fileVersionMS = 0, fileVersionLS = 0, productVersionMS = 0, productVersionLS = 0;
  // The language id of the first entry of VarFileInfo\Translation (its first 16-bit word;
  // the code page beside it is not kept), as the program compares it. 0 when the resource
  // has no translation.
  uint32_t language = 0;
};

// Reads the version resource (type 16, its first name, that name's first language) of a PE32
// or PE32+ file. On success fills *info and returns true; otherwise leaves *info as it was,
// sets *error to the reason in a sentence and returns false. Any bytes may be given: every
// offset is checked against the file, and a missing VarFileInfo or Translation gives language
// 0 (the file claims no language), not an error.
bool ReadVersionInfo(ByteView file, FileVersionInfo* info, std::string* error);
