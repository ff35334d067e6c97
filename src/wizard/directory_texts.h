// The directory page's sizes, shown in whole megabytes (through FormatNumber).
#pragma once

#include <cstdint>

// Whole megabytes of kb kilobytes, any remainder counting as a whole megabyte (1 KB and
// 1024 KB are 1 MB, 1025 KB are 2 MB); at most 0xFFFFFFFF.
uint32_t MegabytesFromKB(uint64_t kb);
