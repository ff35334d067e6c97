// Page texts: the nine string lists of the setup archive and their accessor.
#pragma once

#include <cstdint>

#include "archive/text_numbers.h"  // the lists and the strings by number

// String n of list k, valid while the archive is loaded. Never null: a missing list or
// string, or one that the list's block does not hold in full, reads as the empty string.
const char* PageText(uint32_t list, uint32_t n);
