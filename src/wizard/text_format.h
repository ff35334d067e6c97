// Texts of the setup composed in fixed buffers: never written past their end.
#pragma once

#include <cstdint>

// Writes format into buffer (size bytes, at least 1) with its "%d" replaced by number and
// each "%%" by "%". A format with any other '%' sequence, or with more than one "%d", is
// copied as it stands. A longer text is cut and stays terminated.
void FormatNumber(char* buffer, uint32_t size, const char* format, uint32_t number);

// Appends text behind the terminated text in buffer (size bytes), cutting what does not fit.
void AppendCutText(char* buffer, uint32_t size, const char* text);
