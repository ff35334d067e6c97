// The checksum with which the installation verifies the files it wrote.
#pragma once

#include <cstdint>

#include "base/file_io.h"

// ChecksumUpdate over the bytes from the file's current position to its end (callers pass a
// freshly opened file), starting from 0. 0 when no memory for the read buffer can be had.
uint32_t FileChecksum(FileHandle file);
