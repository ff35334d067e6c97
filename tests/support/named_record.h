// A file record of a name and a destination, every other field at its default: what the
// tests of the records' checks start from.
#pragma once

#include <string>

#include "builder/setup/file_records.h"

inline FileRecord Named(const std::string& name, uint8_t dirCode = DIR_INSTALL) {
  FileRecord record;
  record.name = name;
  record.dirCode = dirCode;
  return record;
}
