// The check made when the file table is loaded: every later walk over the table trusts
// recordLength, the record count and the strings' terminators.
#pragma once

#include <cstdint>

// True when the table (u32 count, then the records) lies wholly inside its block of `size`
// bytes: each record holds its fixed fields, its version block when its flags call for one,
// and six strings terminated inside the record, and ends inside the block.
bool FileTableFits(const uint8_t* table, uint32_t size);
