// Page texts: the nine string lists of the setup archive and their accessor.
#pragma once

#include <cstdint>

// List k of 0 to 5 holds the texts of wizard page k; list 6 is the message list, whose
// string 0 is the program's title; list 7 holds the button labels.
constexpr uint32_t MESSAGE_LIST = 6;
constexpr uint32_t BUTTON_TEXTS = 7;
constexpr uint32_t TITLE_MESSAGE = 0;

// String n of list k, valid while the archive is loaded. Never null: a missing list or
// string, or one that the list's block does not hold in full, reads as the empty string.
const char* PageText(uint32_t list, uint32_t n);
