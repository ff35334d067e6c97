// The texts of the directory page that are composed in fixed buffers: sizes in whole
// megabytes through the setup's own format, and a notice made of a heading and a reason.
#pragma once

#include <cstdint>

// Whole megabytes of kb kilobytes, any remainder counting as a whole megabyte (1 KB and
// 1024 KB are 1 MB, 1025 KB are 2 MB); at most 0xFFFFFFFF.
uint32_t MegabytesFromKB(uint64_t kb);

// Writes format into buffer (size bytes, at least 1) with its "%d" replaced by megabytes and
// each "%%" by "%". A format with any other '%' sequence, or with more than one "%d", is
// copied as it stands. A longer text is cut and stays terminated.
void FormatMegabytes(char* buffer, uint32_t size, const char* format, uint32_t megabytes);

// Appends text behind the terminated text in buffer (size bytes), cutting what does not fit.
void AppendCutText(char* buffer, uint32_t size, const char* text);
